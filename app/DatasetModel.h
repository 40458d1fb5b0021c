#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QList>

namespace store
{
class Dataset;
} // namespace store

// The rows of a dataset as a table of the grid's columns. Values are read
// from the dataset when a cell is shown; blobs are never read here.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DatasetModel(QObject *parent = nullptr);

    void setColumns(const QList<GridColumn> &columns);
    const QList<GridColumn> &columns() const { return m_columns; }
    void setDataset(store::Dataset *dataset);
    store::Dataset *dataset() const { return m_dataset; }

    // Starts over after the dataset was reopened or lost rows.
    void reload();
    void refreshRow(int row);

    // The value of a cell as the dataset holds it (null stays null).
    QVariant fieldValue(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // The user role gives the column's field name.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value, int role) override;

private:
    QString displayText(const QVariant &value, GridColumn::Kind kind) const;

    QList<GridColumn> m_columns;
    store::Dataset *m_dataset = nullptr;
    int m_rowCount = 0;
};
