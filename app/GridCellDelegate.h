#pragma once

#include <QStyledItemDelegate>

class DbGrid;

// Draws the cells of a data grid: text (long free text in a smaller font),
// marks as check boxes where the grid's handler says the field is one, and
// hands every cell to the grid's cell-drawing handler after drawing it.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit GridCellDelegate(DbGrid &grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    bool drawsCheckBox(const QModelIndex &index) const;
    void paintCheckBox(QPainter *painter, const QStyleOptionViewItem &option, const QVariant &value) const;

    DbGrid &m_grid;
};
