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

// The points of the measurement series, in ascending x whatever order they
// are added in, so that the line joins them in time order and the point
// under the mouse is found by a binary search. Points with the same x keep
// the order in which they were added. Adding only appends; the order is
// restored once, when the points are next read, so that filling the chart
// from a list in any order takes n log n.
class ChartPointList
{
public:
    void clear();
    void add(const ChartPoint &point);

    qsizetype count() const { return points.size(); }
    bool isEmpty() const { return points.isEmpty(); }
    const ChartPoint &at(qsizetype index) const;
    double latestX() const;
    // The index of the first point whose x is `x` or more; count() if none.
    qsizetype firstIndexFrom(double x) const;

    // The point nearest to (x, y) whose distance in each direction is within
    // the tolerance, or -1. Only the points within the x tolerance are looked
    // at; among equally near points the first in time order wins.
    qsizetype indexNear(double x, double y, double toleranceX, double toleranceY) const;

    QList<QPointF> positions() const;

private:
    void sortIfNeeded() const;

    mutable QList<ChartPoint> points;
    mutable bool sorted = true;
};
