#pragma once

#include "ReportExport.h"

namespace report
{

// An Excel 97-2003 workbook of the data bands: one row per band instance,
// one worksheet for the whole report.
class XlsExport : public ReportExport
{
public:
    void setSheetName(const QString &name) { sheetName = name; }
    void exportReport(const PreparedReport &report) override;

private:
    QString sheetName = QStringLiteral("Report");
};

} // namespace report
