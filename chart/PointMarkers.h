#pragma once

#include <QGraphicsItem>

class ChartPointList;
class QChart;
class QXYSeries;

// The points of the measurement series: a square in each point's own colour,
// drawn by one item for all of them. A chart item per point would make the
// opening of an animal with thousands of results slow; this item only walks
// the points inside the visible dates.
class PointMarkers : public QGraphicsItem
{
public:
    // `series` gives the axes the points are placed by; `halfSize` is the
    // distance from a point's centre to the sides of its square.
    PointMarkers(QChart &chart, QXYSeries &series, const ChartPointList &points, int halfSize);

    // Call after the plot area or the axes' ranges change.
    void plotAreaChanged();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    QChart &chart;
    QXYSeries &series;
    const ChartPointList &points;
    const int halfSize;
    QRectF area;
};
