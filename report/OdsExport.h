#pragma once

#include "ReportExport.h"

namespace report
{

// An OpenDocument spreadsheet of the data bands: one table per page, one
// row per band instance; numbers and date-times keep their types.
class OdsExport : public ReportExport
{
public:
    void setLanguage(const QString &code) { language = code; }
    void exportReport(const PreparedReport &report) override;

    QByteArray contentXml(const PreparedReport &report) const;

private:
    QString language = QStringLiteral("en");

    QByteArray metaXml() const;
    void writeArchive(const QByteArray &content) const;
};

} // namespace report
