#pragma once

#include "ReportExport.h"

namespace report
{

// Semicolon-separated text of the data bands, one line per band instance,
// in a Windows ANSI code page. Control characters inside values are left
// out; a value is quoted only when it holds the separator or a quote.
class CsvExport : public ReportExport
{
public:
    CsvExport();

    void setCodePage(int codePage) { page = codePage; }
    int codePage() const { return page; }
    void setSeparator(QChar separator) { delimiter = separator; }

    void exportReport(const PreparedReport &report) override;
    QString text(const PreparedReport &report) const;

private:
    int page;
    QChar delimiter = u';';

    QString cell(const QString &value) const;
};

} // namespace report
