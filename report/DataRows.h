#pragma once

#include "PreparedReport.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace report
{

struct DataCell {
    QString text;
    QVariant value; // the field's own value when the text shows one field
};

using DataRow = std::vector<DataCell>;

// What the data exports write: one row per data band instance, in the
// order of the report, its texts as columns in reading order (top to
// bottom, then left to right). Titles, headers, footers and pictures are
// left out.
namespace DataRows
{
std::vector<DataRow> ofPage(const PreparedPage &page);
std::vector<DataRow> ofReport(const PreparedReport &report);
} // namespace DataRows

} // namespace report
