#include "PopupPlacementTest.h"

#include "PopupPlacement.h"

#include <QTest>

void PopupPlacementTest::staysOnTheScreen_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QPoint>("expected");

    const QRect screen(0, 0, 1280, 1024);
    QTest::newRow("room enough: at the cursor") << screen << QPoint(100, 200) << QPoint(100, 200);
    QTest::newRow("near the right edge") << screen << QPoint(1000, 200) << QPoint(1280 - 414, 200);
    QTest::newRow("near the bottom edge") << screen << QPoint(100, 900) << QPoint(100, 1024 - 172);
    QTest::newRow("in the bottom right corner") << screen << QPoint(1279, 1023) << QPoint(866, 852);
    QTest::newRow("just fits") << screen << QPoint(866, 852) << QPoint(866, 852);
    QTest::newRow("second screen to the right")
        << QRect(1280, 0, 1920, 1080) << QPoint(3100, 1000) << QPoint(3200 - 414, 1080 - 172);
}

void PopupPlacementTest::staysOnTheScreen()
{
    QFETCH(QRect, screen);
    QFETCH(QPoint, cursor);
    QFETCH(QPoint, expected);
    const QSize popup(414, 172);
    const QPoint topLeft = popupTopLeft(cursor, popup, screen);
    QCOMPARE(topLeft, expected);
    QVERIFY(screen.contains(QRect(topLeft, popup)));
}
