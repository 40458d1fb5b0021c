#include "MemoryDataSource.h"

namespace report
{

MemoryDataSource::MemoryDataSource(QStringList fields) : fields(std::move(fields)) {}

void MemoryDataSource::setRows(std::vector<QVariantList> newRows)
{
    rows = std::move(newRows);
    row = 0;
}

void MemoryDataSource::addRow(QVariantList newRow)
{
    rows.push_back(std::move(newRow));
}

void MemoryDataSource::next()
{
    if (!eof())
        ++row;
}

QVariant MemoryDataSource::value(const QString &field) const
{
    const qsizetype column = fields.indexOf(field);
    if (eof() || column < 0 || column >= rows[row].size())
        return {};
    return rows[row].at(column);
}

} // namespace report
