#pragma once

#include "DataRows.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace report
{

// The workbook stream of an Excel 97-2003 file (BIFF8): one worksheet per
// sheet given, texts in the shared string table, numbers as numbers and
// date-times as date-formatted serial numbers. A sheet longer than the
// format's 65536 rows continues on further sheets.
class Biff8Workbook
{
public:
    // Numeric and date-time values are written as such, anything else as
    // the cell's text.
    using Cell = DataCell;
    using Row = DataRow;
    struct Sheet {
        QString name;
        std::vector<Row> rows;
    };

    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    static QByteArray build(const std::vector<Sheet> &sheets);
};

} // namespace report
