#pragma once

#include "GridColumn.h"

#include <QList>
#include <QTableView>

#include <functional>

class DatasetModel;
class FormStorage;

namespace store
{
class Dataset;
} // namespace store

// A read-only grid over one dataset: whole rows selected, the current row
// following the dataset's, titles that act as buttons, hints with the full
// text of a cell, columns the user may move and resize.
//
// A click on a title first asks OnUserSort to sort by that column (a photo
// column only beeps); the direction is ascending on the first click on a
// column and flips on each further click on the same column while the sorts
// are accepted. Then, in every case, OnTitleBtnClick reports the column's
// display position (0 for the leftmost). A click on a cell makes its row
// current, then OnCellClick reports the display position of its column.
class DbGrid : public QTableView
{
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);
    ~DbGrid() override;

    void setColumns(const QList<GridColumn> &columns);
    void setDataset(store::Dataset *dataset);
    store::Dataset *dataset() const;

    const QList<GridColumn> &columns() const;
    // The column shown at a display position, or null outside the grid.
    const GridColumn *columnAtPosition(int position) const;

    // Re-reads every row after the dataset was opened, closed or changed
    // row by row (a deletion), and selects the dataset's current row.
    void reload();
    // Redraws the current row after it was posted.
    void refreshCurrentRow();

    // The columns' display positions and widths, under the keys
    // "<grid name>.<field name>" with the value "<position>,<width>".
    void saveLayout(FormStorage &storage) const;
    void restoreLayout(const FormStorage &storage);

    std::function<bool(const QString &fieldName, bool ascending)> OnUserSort;
    std::function<void(int position)> OnTitleBtnClick;
    std::function<void(int position)> OnCellClick;
    std::function<bool(const QString &fieldName)> OnCheckIfBooleanField;
    std::function<void(QPainter &painter, const QRect &cell, int row, const GridColumn &column)>
        OnDrawColumnCell;

private:
    void titleClicked(int logicalIndex);
    void requestSort(const GridColumn &column);
    void cellClicked(const QModelIndex &index);
    void currentRowChanged(const QModelIndex &current);
    void followDatasetRow();
    void applyDesignWidths();
    void moveToPositions(const QList<int> &positions);

    DatasetModel *m_model;
    QString m_sortField;
    bool m_ascending = true;
    bool m_followingDataset = false;
};
