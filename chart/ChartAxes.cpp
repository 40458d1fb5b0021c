#include "ChartAxes.h"

#include <algorithm>

void ChartAxes::reset(double latestX, double bottomSpan)
{
    left = {LeftFloor, LeftCeiling};
    bottom = {latestX - bottomSpan, latestX};
}

void ChartAxes::zoomPercent(double percent)
{
    for (AxisRange *range : {&left, &bottom}) {
        const double c = range->span() * (percent - 100) / 100;
        range->minimum += c;
        range->maximum -= c;
    }
}

void ChartAxes::panLeft()
{
    const double d = tenth(bottom);
    bottom.minimum += d;
    bottom.maximum += d;
}

void ChartAxes::panRight()
{
    const double d = tenth(bottom);
    bottom.minimum -= d;
    bottom.maximum -= d;
}

void ChartAxes::panUp()
{
    const double d = tenth(left);
    if (left.minimum - d < LeftFloor) {
        left.minimum = LeftFloor;
        return;
    }
    left.maximum -= d;
    left.minimum -= d;
}

void ChartAxes::panDown()
{
    const double d = tenth(left);
    if (left.maximum + d > LeftCeiling) {
        left.maximum = LeftCeiling;
        return;
    }
    left.maximum += d;
    left.minimum += d;
}

void ChartAxes::scroll(double bottomDelta, double leftDelta)
{
    bottom.minimum += bottomDelta;
    bottom.maximum += bottomDelta;
    left.minimum += leftDelta;
    left.maximum += leftDelta;
}

void ChartAxes::clampLeft()
{
    const double span = left.span();
    if (left.minimum >= LeftCeiling) {
        left.maximum = LeftCeiling;
        left.minimum = std::max(LeftFloor, LeftCeiling - span);
    } else if (left.maximum <= LeftFloor) {
        left.minimum = LeftFloor;
        left.maximum = std::min(LeftCeiling, LeftFloor + span);
    } else {
        left.maximum = std::min(left.maximum, LeftCeiling);
        left.minimum = std::max(left.minimum, LeftFloor);
    }
}
