#include "ReportPrinter.h"

#include "PageRenderer.h"
#include "ReportError.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace report
{

bool ReportPrinter::print(const PreparedReport &report, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(report.page.pageLayout());
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, static_cast<int>(report.pages.size())));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printTo(printer, report);
    return true;
}

void ReportPrinter::printTo(QPrinter &printer, const PreparedReport &report)
{
    // The pages are drawn from the paper's corner: the template's margins
    // are already in the page.
    printer.setFullPage(true);
    const int count = static_cast<int>(report.pages.size());
    int from = 1;
    int to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage());
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("The printer \"%1\" cannot be used.").arg(printer.printerName()));
    PageRenderer::scaleToUnits(painter, printer.resolution());
    for (int page = from; page <= to; ++page) {
        if (page > from)
            printer.newPage();
        PageRenderer::drawPage(painter, report, page - 1);
    }
}

} // namespace report
