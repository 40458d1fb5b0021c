#include "ChartPointList.h"

#include <algorithm>
#include <cmath>

void ChartPointList::clear()
{
    points.clear();
    sorted = true;
}

void ChartPointList::add(const ChartPoint &point)
{
    if (!points.isEmpty() && point.x < points.last().x)
        sorted = false;
    points.append(point);
}

void ChartPointList::sortIfNeeded() const
{
    if (sorted)
        return;
    std::stable_sort(points.begin(), points.end(),
                     [](const ChartPoint &a, const ChartPoint &b) { return a.x < b.x; });
    sorted = true;
}

const ChartPoint &ChartPointList::at(qsizetype index) const
{
    sortIfNeeded();
    return points.at(index);
}

double ChartPointList::latestX() const
{
    sortIfNeeded();
    return points.last().x;
}

qsizetype ChartPointList::firstIndexFrom(double x) const
{
    sortIfNeeded();
    const auto first = std::lower_bound(points.cbegin(), points.cend(), x,
                                        [](const ChartPoint &p, double lowest) { return p.x < lowest; });
    return first - points.cbegin();
}

qsizetype ChartPointList::indexNear(double x, double y, double toleranceX, double toleranceY) const
{
    auto candidate = points.cbegin() + firstIndexFrom(x - toleranceX);
    qsizetype best = -1;
    double bestDistance = 1;
    for (; candidate != points.cend() && candidate->x <= x + toleranceX; ++candidate) {
        // Distance in units of the tolerance, so that x and y weigh alike
        // whatever the scales of the two axes.
        const double distance =
            std::max(std::abs(candidate->x - x) / toleranceX, std::abs(candidate->y - y) / toleranceY);
        if (distance <= bestDistance && (best < 0 || distance < bestDistance)) {
            best = candidate - points.cbegin();
            bestDistance = distance;
        }
    }
    return best;
}

QList<QPointF> ChartPointList::positions() const
{
    sortIfNeeded();
    QList<QPointF> result;
    result.reserve(points.size());
    for (const ChartPoint &point : points)
        result.append({point.x, point.y});
    return result;
}
