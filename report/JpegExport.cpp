#include "JpegExport.h"

#include "PageRenderer.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

namespace report
{

QImage JpegExport::render(const PreparedReport &report) const
{
    const double scale = resolution / UnitsPerInch;
    const QSizeF paper = report.page.paperUnits() * scale;
    const int pageWidth = qCeil(paper.width());
    const int pageHeight = qCeil(paper.height());
    const int pages = std::max<int>(1, static_cast<int>(report.pages.size()));
    QImage image(pageWidth, pageHeight * pages, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(resolution / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (int page = 0; page < static_cast<int>(report.pages.size()); ++page) {
        painter.save();
        painter.translate(0, page * pageHeight);
        PageRenderer::scaleToUnits(painter, resolution);
        PageRenderer::drawPage(painter, report, page);
        painter.restore();
    }
    return image;
}

void JpegExport::exportReport(const PreparedReport &report)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(render(report)))
        failWriting(writer.errorString());
    writeFile(bytes);
}

} // namespace report
