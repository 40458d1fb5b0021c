#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the hover pop-up opens: its top-left corner at the cursor, moved
// inwards where it would stick out past the right or bottom edge of the
// screen the cursor is on.
QPoint popupTopLeft(const QPoint &cursor, const QSize &popupSize, const QRect &screen);
