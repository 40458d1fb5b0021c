#include "ActionPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace
{

constexpr int pictureSize = 24;

void drawChart(QPainter &painter)
{
    painter.setPen(QPen(QColor(90, 90, 90), 1.5));
    painter.drawLine(QPointF(3, 3), QPointF(3, 21));
    painter.drawLine(QPointF(3, 21), QPointF(21, 21));
    painter.setPen(QPen(QColor(30, 110, 200), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF points[] = {{5, 17}, {9, 11}, {13, 14}, {19, 5}};
    painter.drawPolyline(points, 4);
    painter.setBrush(QColor(230, 60, 60));
    painter.setPen(Qt::NoPen);
    for (const QPointF &point : points)
        painter.drawRect(QRectF(point.x() - 1.5, point.y() - 1.5, 3, 3));
}

void drawEdit(QPainter &painter)
{
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 4.5, 13, 16));
    painter.setPen(QPen(QColor(150, 150, 150), 1));
    for (int y = 8; y <= 17; y += 3)
        painter.drawLine(6, y, 14, y);
    QPainterPath pencil;
    pencil.moveTo(21, 6);
    pencil.lineTo(11, 16);
    pencil.lineTo(9.5, 19.5);
    pencil.lineTo(13, 18);
    pencil.lineTo(23, 8);
    pencil.closeSubpath();
    painter.setPen(QPen(QColor(120, 70, 10), 1));
    painter.setBrush(QColor(250, 190, 60));
    painter.drawPath(pencil);
}

void drawDelete(QPainter &painter)
{
    painter.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6, 6), QPointF(18, 18));
    painter.drawLine(QPointF(18, 6), QPointF(6, 18));
}

} // namespace

QIcon actionPicture(int index)
{
    QPixmap pixmap(pictureSize, pictureSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case 0:
        drawChart(painter);
        break;
    case 1:
        drawEdit(painter);
        break;
    default:
        drawDelete(painter);
        break;
    }
    painter.end();
    return QIcon(pixmap);
}
