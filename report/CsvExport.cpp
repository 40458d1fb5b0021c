#include "CsvExport.h"

#include "AnsiCodePage.h"
#include "DataRows.h"

#include <QLocale>

namespace report
{

CsvExport::CsvExport() : page(AnsiCodePage::forLanguage(QLocale::system().language())) {}

QString CsvExport::cell(const QString &value) const
{
    QString clean;
    clean.reserve(value.size());
    for (const QChar character : value) {
        if (character == u'\n')
            clean += u' ';
        else if (character.category() != QChar::Other_Control)
            clean += character;
    }
    if (!clean.contains(delimiter) && !clean.contains(u'"'))
        return clean;
    clean.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + clean + u'"';
}

QString CsvExport::text(const PreparedReport &report) const
{
    QString result;
    for (const DataRow &row : DataRows::ofReport(report)) {
        QStringList cells;
        for (const DataCell &value : row)
            cells << cell(value.text);
        result += cells.join(delimiter);
        result += QStringLiteral("\r\n");
    }
    return result;
}

void CsvExport::exportReport(const PreparedReport &report)
{
    writeFile(AnsiCodePage::encode(text(report), page));
}

} // namespace report
