#pragma once

#include <QColor>
#include <QTime>

// The colour of a charted result: green for a measurement taken at noon or
// later, blue for one taken in the morning, so that the breeder tells the
// two daily readings apart at a glance.
QColor timeOfDayColour(const QTime &time);
