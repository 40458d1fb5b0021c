#include "PopupPlacement.h"

QPoint popupTopLeft(const QPoint &cursor, const QSize &popupSize, const QRect &screen)
{
    QPoint topLeft = cursor;
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    if (cursor.x() + popupSize.width() > screenRight)
        topLeft.setX(screenRight - popupSize.width());
    if (cursor.y() + popupSize.height() > screenBottom)
        topLeft.setY(screenBottom - popupSize.height());
    return topLeft;
}
