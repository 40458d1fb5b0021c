#include "DbGrid.h"

#include "Dataset.h"
#include "DatasetModel.h"
#include "FormStorage.h"
#include "GridCellDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QPalette>

#include <algorithm>
#include <numeric>

namespace
{
constexpr int designRowHeight = 27;
constexpr int titleHeight = 23;
constexpr int widestColumn = 4000;
constexpr int narrowestColumn = 12;
} // namespace

DbGrid::DbGrid(QWidget *parent) : QTableView(parent), m_model(new DatasetModel(this))
{
    setModel(m_model);
    setItemDelegate(new GridCellDelegate(*this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setWordWrap(false);
    setAlternatingRowColors(false);

    // The selection stays as visible when another control has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(designRowHeight);
    verticalHeader()->setDefaultSectionSize(designRowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView *titles = horizontalHeader();
    titles->setFixedHeight(titleHeight);
    titles->setMinimumSectionSize(narrowestColumn);
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(true);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setHighlightSections(false);
    titles->setSortIndicatorShown(false);
    titles->setStretchLastSection(false);

    connect(titles, &QHeaderView::sectionClicked, this, &DbGrid::titleClicked);
    connect(this, &QTableView::clicked, this, &DbGrid::cellClicked);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { currentRowChanged(current); });
}

DbGrid::~DbGrid() = default;

void DbGrid::setColumns(const QList<GridColumn> &columns)
{
    m_model->setColumns(columns);
    applyDesignWidths();
}

void DbGrid::applyDesignWidths()
{
    const auto &columns = m_model->columns();
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns.at(i).width);
}

void DbGrid::setDataset(store::Dataset *dataset)
{
    if (m_model->dataset())
        disconnect(m_model->dataset(), nullptr, this, nullptr);
    m_model->setDataset(dataset);
    if (dataset)
        connect(dataset, &store::Dataset::afterScroll, this, &DbGrid::followDatasetRow);
    followDatasetRow();
}

store::Dataset *DbGrid::dataset() const
{
    return m_model->dataset();
}

const QList<GridColumn> &DbGrid::columns() const
{
    return m_model->columns();
}

const GridColumn *DbGrid::columnAtPosition(int position) const
{
    const int logical = horizontalHeader()->logicalIndex(position);
    if (logical < 0 || logical >= m_model->columns().size())
        return nullptr;
    return &m_model->columns().at(logical);
}

void DbGrid::reload()
{
    m_model->reload();
    followDatasetRow();
}

void DbGrid::refreshCurrentRow()
{
    if (store::Dataset *data = m_model->dataset(); data && data->isActive())
        m_model->refreshRow(data->recNo());
    viewport()->update();
}

void DbGrid::titleClicked(int logicalIndex)
{
    if (logicalIndex < 0 || logicalIndex >= m_model->columns().size())
        return;
    requestSort(m_model->columns().at(logicalIndex));
    if (OnTitleBtnClick)
        OnTitleBtnClick(horizontalHeader()->visualIndex(logicalIndex));
}

void DbGrid::requestSort(const GridColumn &column)
{
    if (column.kind == GridColumn::Kind::Photo) {
        QApplication::beep();
        return;
    }
    const bool ascending = column.field == m_sortField ? !m_ascending : true;
    if (!OnUserSort || !OnUserSort(column.field, ascending))
        return;
    m_sortField = column.field;
    m_ascending = ascending;
    const auto &columns = m_model->columns();
    const auto sorted = std::find_if(columns.begin(), columns.end(),
                                     [&](const GridColumn &c) { return c.field == m_sortField; });
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(static_cast<int>(sorted - columns.begin()),
                                         ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void DbGrid::cellClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    if (store::Dataset *data = m_model->dataset(); data && data->isActive() && data->recNo() != index.row())
        data->setRecNo(index.row());
    if (OnCellClick)
        OnCellClick(horizontalHeader()->visualIndex(index.column()));
}

void DbGrid::currentRowChanged(const QModelIndex &current)
{
    store::Dataset *data = m_model->dataset();
    if (m_followingDataset || !current.isValid() || !data || !data->isActive())
        return;
    if (data->recNo() != current.row())
        data->setRecNo(current.row());
}

// Selects the dataset's current row, without moving the dataset again.
void DbGrid::followDatasetRow()
{
    store::Dataset *data = m_model->dataset();
    m_followingDataset = true;
    if (data && data->isActive() && !data->isEmpty() && data->recNo() < m_model->rowCount()) {
        const QModelIndex current = currentIndex();
        const int column = current.isValid() ? current.column() : horizontalHeader()->logicalIndex(0);
        setCurrentIndex(m_model->index(data->recNo(), column));
    } else {
        selectionModel()->clear();
    }
    m_followingDataset = false;
}

void DbGrid::saveLayout(FormStorage &storage) const
{
    const auto &columns = m_model->columns();
    for (int logical = 0; logical < columns.size(); ++logical) {
        storage.setValue(
            objectName() + u'.' + columns.at(logical).field,
            QStringLiteral("%1,%2").arg(horizontalHeader()->visualIndex(logical)).arg(columnWidth(logical)));
    }
}

// A stored entry that cannot be read keeps its column's design position and
// width, so a damaged file never loses a column.
void DbGrid::restoreLayout(const FormStorage &storage)
{
    const auto &columns = m_model->columns();
    QList<int> positions(columns.size());
    for (int logical = 0; logical < columns.size(); ++logical) {
        positions[logical] = logical;
        const QString key = objectName() + u'.' + columns.at(logical).field;
        const QStringList parts = storage.value(key).toString().split(u',');
        if (parts.size() != 2)
            continue;
        bool positionOk = false;
        bool widthOk = false;
        const int position = parts.at(0).trimmed().toInt(&positionOk);
        const int width = parts.at(1).trimmed().toInt(&widthOk);
        if (positionOk && position >= 0 && position < columns.size())
            positions[logical] = position;
        if (widthOk && width > 0 && width <= widestColumn)
            setColumnWidth(logical, width);
    }
    moveToPositions(positions);
}

// Places the columns in the order of their wanted positions; two columns
// that want the same position keep their design order.
void DbGrid::moveToPositions(const QList<int> &positions)
{
    QList<int> order(positions.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return positions[a] < positions[b]; });
    QHeaderView *titles = horizontalHeader();
    for (int position = 0; position < order.size(); ++position)
        titles->moveSection(titles->visualIndex(order[position]), position);
}
