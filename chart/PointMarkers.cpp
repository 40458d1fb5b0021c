#include "PointMarkers.h"

#include "ChartPointList.h"

#include <QChart>
#include <QPainter>
#include <QXYSeries>

PointMarkers::PointMarkers(QChart &chart, QXYSeries &series, const ChartPointList &points, int halfSize)
    : QGraphicsItem(&chart), chart(chart), series(series), points(points), halfSize(halfSize)
{
}

void PointMarkers::plotAreaChanged()
{
    prepareGeometryChange();
    area = chart.plotArea();
    update();
}

QRectF PointMarkers::boundingRect() const
{
    return area.adjusted(-halfSize, -halfSize, halfSize, halfSize);
}

void PointMarkers::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (area.isEmpty() || points.isEmpty())
        return;
    // Squares stay crisp; the line beneath them is the one that needs
    // smoothing.
    painter->setRenderHint(QPainter::Antialiasing, false);
    // The latest measurement sits on the right edge when the chart opens:
    // its square is drawn whole, reaching past the edge.
    painter->setClipRect(boundingRect());
    painter->setPen(QPen(Qt::black, 0));
    const double firstX = chart.mapToValue(area.topLeft() - QPointF(halfSize, 0), &series).x();
    const double lastX = chart.mapToValue(area.topRight() + QPointF(halfSize, 0), &series).x();
    const QSizeF square(2 * halfSize, 2 * halfSize);
    for (qsizetype index = points.firstIndexFrom(firstX); index < points.count(); ++index) {
        const ChartPoint &point = points.at(index);
        if (point.x > lastX)
            break;
        const QPointF centre = chart.mapToPosition({point.x, point.y}, &series);
        painter->setBrush(point.colour);
        painter->drawRect(QRectF(centre - QPointF(halfSize, halfSize), square));
    }
}
