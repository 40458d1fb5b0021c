#include "GridCellDelegate.h"

#include "DbGrid.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

GridCellDelegate::GridCellDelegate(DbGrid &grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

bool GridCellDelegate::drawsCheckBox(const QModelIndex &index) const
{
    const GridColumn &column = m_grid.columns().at(index.column());
    return m_grid.OnCheckIfBooleanField && m_grid.OnCheckIfBooleanField(column.field);
}

void GridCellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const GridColumn &column = m_grid.columns().at(index.column());
    if (column.kind == GridColumn::Kind::SmallText)
        option->font.setPixelSize(qMax(8, option->font.pixelSize() - 2));
    if (column.kind == GridColumn::Kind::Photo || drawsCheckBox(index))
        option->text.clear();
}

void GridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (drawsCheckBox(index))
        paintCheckBox(painter, option, index.data(Qt::EditRole));
    if (m_grid.OnDrawColumnCell) {
        const GridColumn &column = m_grid.columns().at(index.column());
        painter->save();
        m_grid.OnDrawColumnCell(*painter, option.rect, index.row(), column);
        painter->restore();
    }
}

// Ticked for a non-zero value, empty for 0, nothing at all for null.
void GridCellDelegate::paintCheckBox(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QVariant &value) const
{
    if (value.isNull())
        return;
    QStyleOptionButton box;
    const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
    const QRect indicator = style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, option.widget);
    box.rect = QRect(QPoint(0, 0), indicator.size());
    box.rect.moveCenter(option.rect.center());
    box.state = QStyle::State_Enabled | (value.toInt() != 0 ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
}
