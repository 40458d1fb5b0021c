#pragma once

#include <QIcon>

// The 24 x 24 pictures of the main window's actions, drawn by the program:
// index 0 the chart, 1 editing a text, 2 deleting.
QIcon actionPicture(int index);
