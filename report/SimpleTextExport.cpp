#include "SimpleTextExport.h"

#include "AnsiCodePage.h"

#include <QLocale>
#include <map>

namespace report
{

namespace
{

// One character cell of the grid, in report units: the width of an average
// character and the height of a line of small print.
constexpr double CellWidth = 7.0;
constexpr double CellHeight = 16.0;

using Grid = std::map<int, QString>; // line number -> text

void put(Grid &grid, int line, int column, const QString &text)
{
    // A text that would start inside its left neighbour starts after it.
    QString &row = grid[line];
    if (row.size() < column)
        row = row.leftJustified(column, u' ');
    else if (!row.isEmpty())
        row += u' ';
    row += text;
}

Grid gridOf(const PreparedPage &page)
{
    Grid grid;
    for (const PreparedBand &band : page.bands) {
        for (const PreparedItem &item : band.items) {
            if (item.object.kind != ObjectKind::Text || item.object.text.trimmed().isEmpty())
                continue;
            const int line = qRound(item.object.rect.top() / CellHeight);
            const int column = qRound(item.object.rect.left() / CellWidth);
            const QStringList lines = item.object.text.split(u'\n');
            for (int index = 0; index < lines.size(); ++index)
                put(grid, line + index, column, lines[index].simplified());
        }
    }
    return grid;
}

// Columns blank on every line shrink to one, so the text keeps its layout
// without the wide gaps of the page; the margin before the first text goes.
QStringList withoutEmptyColumns(const QStringList &lines)
{
    qsizetype width = 0;
    for (const QString &line : lines)
        width = std::max(width, line.size());
    std::vector<bool> blank(width, true);
    for (const QString &line : lines)
        for (qsizetype column = 0; column < line.size(); ++column)
            if (line[column] != u' ')
                blank[column] = false;
    const auto firstUsed = std::find(blank.begin(), blank.end(), false) - blank.begin();
    QStringList result;
    for (const QString &line : lines) {
        QString kept;
        for (qsizetype column = 0; column < line.size(); ++column)
            if (!blank[column] || (column > firstUsed && !blank[column - 1]))
                kept += line[column];
        result << kept;
    }
    return result;
}

} // namespace

SimpleTextExport::SimpleTextExport() : page(AnsiCodePage::forLanguage(QLocale::system().language())) {}

QString SimpleTextExport::text(const PreparedReport &report) const
{
    QStringList pages;
    for (const PreparedPage &preparedPage : report.pages) {
        QStringList lines;
        for (const auto &[line, text] : gridOf(preparedPage))
            if (!text.trimmed().isEmpty())
                lines << text;
        pages << withoutEmptyColumns(lines).join(QStringLiteral("\r\n"));
    }
    return pages.join(QStringLiteral("\r\n\f"));
}

void SimpleTextExport::exportReport(const PreparedReport &report)
{
    writeFile(AnsiCodePage::encode(text(report) + QStringLiteral("\r\n"), page));
}

} // namespace report
