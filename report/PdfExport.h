#pragma once

#include "ReportExport.h"

namespace report
{

// Vector PDF of whole pages. Qt embeds the subset of every font used, so
// Polish and Cyrillic letters print right on any machine.
class PdfExport : public ReportExport
{
public:
    void setTitle(const QString &text) { title = text; }
    void exportReport(const PreparedReport &report) override;

private:
    QString title;
};

} // namespace report
