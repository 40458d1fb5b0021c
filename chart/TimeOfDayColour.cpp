#include "TimeOfDayColour.h"

QColor timeOfDayColour(const QTime &time)
{
    static constexpr int noon = 12 * 60 * 60 * 1000;
    return time.msecsSinceStartOfDay() >= noon ? QColor(0, 128, 0) : QColor(0, 0, 255);
}
