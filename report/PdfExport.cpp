#include "PdfExport.h"

#include "PageRenderer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace report
{

namespace
{
constexpr int PdfResolution = 1200;
}

void PdfExport::exportReport(const PreparedReport &report)
{
    if (fileName().isEmpty())
        failWriting(QStringLiteral("no file name was given"));
    QSaveFile out(fileName());
    if (!out.open(QIODevice::WriteOnly))
        failWriting(out.errorString());
    {
        QPdfWriter writer(&out);
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_1_6);
        writer.setCreator(QStringLiteral("QEV Data"));
        writer.setTitle(title);
        writer.setResolution(PdfResolution);
        QPageLayout layout = report.page.pageLayout();
        layout.setMinimumMargins(QMarginsF());
        layout.setMargins(QMarginsF());
        writer.setPageLayout(layout);

        QPainter painter(&writer);
        PageRenderer::scaleToUnits(painter, PdfResolution);
        for (int page = 0; page < static_cast<int>(report.pages.size()); ++page) {
            if (page > 0)
                writer.newPage();
            PageRenderer::drawPage(painter, report, page);
        }
    }
    if (!out.commit())
        failWriting(out.errorString());
}

} // namespace report
