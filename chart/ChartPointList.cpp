#include "ChartPointList.h"

#include <algorithm>
#include <cmath>

qsizetype ChartPointList::add(const ChartPoint &point)
{
    const auto place = std::upper_bound(points.cbegin(), points.cend(), point.x,
                                        [](double x, const ChartPoint &p) { return x < p.x; });
    const qsizetype index = place - points.cbegin();
    points.insert(index, point);
    return index;
}

qsizetype ChartPointList::indexNear(double x, double y, double toleranceX, double toleranceY) const
{
    auto candidate = std::lower_bound(points.cbegin(), points.cend(), x - toleranceX,
                                      [](const ChartPoint &p, double lowest) { return p.x < lowest; });
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
    QList<QPointF> result;
    result.reserve(points.size());
    for (const ChartPoint &point : points)
        result.append({point.x, point.y});
    return result;
}
