#pragma once

#include "ReportDataSource.h"

#include <vector>

namespace report
{

// Rows held in memory: feeds the engine without a database (tests,
// benchmarks, and any list the program builds itself).
class MemoryDataSource : public ReportDataSource
{
public:
    explicit MemoryDataSource(QStringList fields);

    void setRows(std::vector<QVariantList> rows);
    void addRow(QVariantList row);
    void setActive(bool active) { activeFlag = active; }
    int currentRow() const { return row; }

    bool isActive() const override { return activeFlag; }
    void first() override { row = 0; }
    void next() override;
    bool eof() const override { return row >= static_cast<int>(rows.size()); }
    QStringList fieldNames() const override { return fields; }
    QVariant value(const QString &field) const override;

private:
    QStringList fields;
    std::vector<QVariantList> rows;
    int row = 0;
    bool activeFlag = true;
};

} // namespace report
