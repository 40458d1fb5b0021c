#include "PageRenderer.h"

#include "TextMetrics.h"

#include <QLinearGradient>
#include <QPainter>

namespace report
{

namespace
{

void drawFrame(QPainter &painter, const QRectF &rect, const FrameLines &frame)
{
    if (!frame.any())
        return;
    painter.setPen(QPen(frame.color, frame.width));
    if (frame.left)
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
    if (frame.top)
        painter.drawLine(rect.topLeft(), rect.topRight());
    if (frame.right)
        painter.drawLine(rect.topRight(), rect.bottomRight());
    if (frame.bottom)
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

void drawText(QPainter &painter, const ReportObject &object)
{
    if (object.fill.isValid())
        painter.fillRect(object.rect, object.fill);
    painter.setFont(object.style.font);
    painter.setPen(object.style.color);
    painter.drawText(TextMetrics::textArea(object.rect), TextMetrics::drawFlags(object), object.text);
    drawFrame(painter, object.rect, object.frame);
}

QRectF fitted(const QSizeF &source, const QRectF &target, bool keepAspectRatio)
{
    if (!keepAspectRatio || source.isEmpty())
        return target;
    const QSizeF size = source.scaled(target.size(), Qt::KeepAspectRatio);
    QRectF result(QPointF(), size);
    result.moveCenter(target.center());
    return result;
}

void drawPicture(QPainter &painter, const ReportObject &object)
{
    if (object.hasVectorPicture) {
        const QRectF source = object.vectorPicture.boundingRect();
        if (!source.isEmpty()) {
            const QRectF target = fitted(source.size(), object.rect, object.keepAspectRatio);
            painter.save();
            painter.setClipRect(object.rect);
            painter.translate(target.topLeft());
            painter.scale(target.width() / source.width(), target.height() / source.height());
            painter.translate(-source.topLeft());
            // Playing a picture scales it from the resolution it was
            // recorded at to the device's; the painter already does that.
            const QPaintDevice *device = painter.device();
            painter.scale(double(object.vectorPicture.logicalDpiX()) / device->logicalDpiX(),
                          double(object.vectorPicture.logicalDpiY()) / device->logicalDpiY());
            painter.drawPicture(0, 0, object.vectorPicture);
            painter.restore();
        }
    } else if (!object.image.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(fitted(object.image.size(), object.rect, object.keepAspectRatio), object.image);
        painter.restore();
    }
    drawFrame(painter, object.rect, object.frame);
}

void drawGradient(QPainter &painter, const ReportObject &object)
{
    const QRectF &rect = object.rect;
    QLinearGradient gradient(rect.topLeft(),
                             object.gradientDirection == Qt::Vertical ? rect.bottomLeft() : rect.topRight());
    gradient.setColorAt(0.0, object.beginColor);
    gradient.setColorAt(1.0, object.endColor);
    painter.fillRect(rect, gradient);
}

void drawObject(QPainter &painter, const ReportObject &object)
{
    switch (object.kind) {
    case ObjectKind::Text:
        drawText(painter, object);
        break;
    case ObjectKind::Picture:
        drawPicture(painter, object);
        break;
    case ObjectKind::Line:
        painter.setPen(QPen(object.penColor, object.penWidth));
        painter.drawLine(object.rect.topLeft(), object.rect.bottomRight());
        break;
    case ObjectKind::Frame:
        painter.setPen(QPen(object.penColor, object.penWidth));
        painter.setBrush(object.fill.isValid() ? QBrush(object.fill) : QBrush(Qt::NoBrush));
        painter.drawRect(object.rect);
        painter.setBrush(Qt::NoBrush);
        break;
    case ObjectKind::Gradient:
        drawGradient(painter, object);
        break;
    }
}

} // namespace

void PageRenderer::drawPage(QPainter &painter, const PreparedReport &report, int pageIndex)
{
    const QSizeF paper = report.page.paperUnits();
    painter.fillRect(QRectF(QPointF(), paper), Qt::white);
    for (const PreparedBand &band : report.pages.at(pageIndex).bands)
        for (const PreparedItem &item : band.items)
            drawObject(painter, item.object);
}

void PageRenderer::scaleToUnits(QPainter &painter, double deviceDotsPerInch)
{
    const double factor = deviceDotsPerInch / UnitsPerInch;
    painter.scale(factor, factor);
}

} // namespace report
