#pragma once

#include "ReportExport.h"

namespace report
{

// Plain text of whole pages: the texts of every band at their places on a
// character grid, without frames, empty lines or empty columns, in a
// Windows ANSI code page. Pages are separated by a form feed.
class SimpleTextExport : public ReportExport
{
public:
    SimpleTextExport();

    void setCodePage(int codePage) { page = codePage; }
    void exportReport(const PreparedReport &report) override;
    QString text(const PreparedReport &report) const;

private:
    int page;
};

} // namespace report
