#pragma once

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPointF>

// One charted result: where it is drawn, its colour, and the moment it was
// taken exactly as the database holds it (the hover looks the result up by
// that moment).
struct ChartPoint {
    double x = 0;
    double y = 0;
    QColor colour;
    QDateTime when;
};

// The points of the measurement series, kept in ascending x whatever order
// they are added in, so that the line joins them in time order and the
// point under the mouse is found by a binary search.
class ChartPointList
{
public:
    void clear() { points.clear(); }

    // Inserts after every point with the same or a smaller x; returns the
    // index of the new point.
    qsizetype add(const ChartPoint &point);

    qsizetype count() const { return points.size(); }
    bool isEmpty() const { return points.isEmpty(); }
    const ChartPoint &at(qsizetype index) const { return points.at(index); }
    double latestX() const { return points.last().x; }

    // The point nearest to (x, y) whose distance in each direction is within
    // the tolerance, or -1. Only the points within the x tolerance are looked
    // at; among equally near points the first in time order wins.
    qsizetype indexNear(double x, double y, double toleranceX, double toleranceY) const;

    QList<QPointF> positions() const;

private:
    QList<ChartPoint> points;
};
