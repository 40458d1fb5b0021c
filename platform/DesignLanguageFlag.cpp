#include "DesignLanguageFlag.h"

#include <QPainter>

namespace platform
{

QImage designLanguageFlag()
{
    constexpr int size = 16;
    const QRectF field(0, 3, size, 10);
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(field);
    painter.fillRect(field, QColor(1, 33, 105));
    const QLineF diagonals[] = {{field.topLeft(), field.bottomRight()},
                                {field.bottomLeft(), field.topRight()}};
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLines(diagonals, 2);
    painter.setPen(QPen(QColor(200, 16, 46), 1));
    painter.drawLines(diagonals, 2);
    const QPointF centre = field.center();
    painter.fillRect(QRectF(centre.x() - 2.5, field.top(), 5, field.height()), Qt::white);
    painter.fillRect(QRectF(field.left(), centre.y() - 2.5, field.width(), 5), Qt::white);
    painter.fillRect(QRectF(centre.x() - 1.5, field.top(), 3, field.height()), QColor(200, 16, 46));
    painter.fillRect(QRectF(field.left(), centre.y() - 1.5, field.width(), 3), QColor(200, 16, 46));
    return image;
}

} // namespace platform
