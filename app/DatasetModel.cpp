#include "DatasetModel.h"

#include "Dataset.h"

#include <QDateTime>
#include <QLocale>

DatasetModel::DatasetModel(QObject *parent) : QAbstractTableModel(parent) {}

void DatasetModel::setColumns(const QList<GridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void DatasetModel::setDataset(store::Dataset *dataset)
{
    beginResetModel();
    m_dataset = dataset;
    m_rowCount = 0;
    endResetModel();
    reload();
}

void DatasetModel::reload()
{
    beginResetModel();
    m_rowCount = m_dataset && m_dataset->isActive() ? m_dataset->recordCount() : 0;
    endResetModel();
}

void DatasetModel::refreshRow(int row)
{
    if (row >= 0 && row < m_rowCount)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QVariant DatasetModel::fieldValue(int row, int column) const
{
    if (!m_dataset || !m_dataset->isActive() || row < 0 || row >= m_dataset->recordCount())
        return {};
    return m_dataset->valueAt(row, m_columns.at(column).field);
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QString DatasetModel::displayText(const QVariant &value, GridColumn::Kind kind) const
{
    if (value.isNull())
        return {};
    switch (kind) {
    case GridColumn::Kind::DateTime:
        return QLocale::system().toString(value.toDateTime(), QLocale::ShortFormat);
    case GridColumn::Kind::CenteredNumber:
        return QLocale::system().toString(value.toDouble(), 'g', 7);
    case GridColumn::Kind::Photo:
        return {};
    default:
        return value.toString();
    }
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const GridColumn &column = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return displayText(fieldValue(index.row(), index.column()), column.kind);
    case Qt::ToolTipRole:
        if (column.kind == GridColumn::Kind::Mark)
            return {};
        return displayText(fieldValue(index.row(), index.column()), column.kind);
    case Qt::EditRole:
        return fieldValue(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (column.kind == GridColumn::Kind::CenteredNumber || column.kind == GridColumn::Kind::Mark)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::UserRole)
        return m_columns.at(section).field;
    return {};
}

bool DatasetModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.size())
        return false;
    m_columns[section].title = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
