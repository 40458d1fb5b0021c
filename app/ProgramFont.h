#pragma once

#include <QFont>

// The program's typeface: Tahoma where it is installed, otherwise the
// closest common sans-serif, at the given pixel size.
QFont programFont(int pixelSize, bool bold = false);
