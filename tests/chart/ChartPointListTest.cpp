#include "ChartPointListTest.h"

#include "ChartPointList.h"

#include <QTest>

namespace
{

ChartPoint point(double x, double y)
{
    return {x, y, Qt::blue, {}};
}

// Points at x = 10, 20, ..., 100 with y = 10 * x, added last to first.
ChartPointList tenPoints()
{
    ChartPointList list;
    for (int i = 10; i >= 1; --i)
        list.add(point(10 * i, 100 * i));
    return list;
}

} // namespace

void ChartPointListTest::keepsTimeOrderWhateverTheAddingOrder()
{
    ChartPointList list;
    for (double x : {30.0, 10.0, 50.0, 20.0, 40.0})
        list.add(point(x, 1000 - x));
    QCOMPARE(list.count(), 5);
    QCOMPARE(list.positions(), (QList<QPointF>{{10, 990}, {20, 980}, {30, 970}, {40, 960}, {50, 950}}));
    QCOMPARE(list.latestX(), 50.0);
}

void ChartPointListTest::equalMomentsKeepTheirAddingOrder()
{
    ChartPointList list;
    for (const QPointF &added :
         {QPointF(20, 1), QPointF(10, 2), QPointF(20, 3), QPointF(10, 4), QPointF(5, 5)})
        list.add(point(added.x(), added.y()));
    QCOMPARE(list.positions(), (QList<QPointF>{{5, 5}, {10, 2}, {10, 4}, {20, 1}, {20, 3}}));
    // Adding after a read keeps the order too.
    list.add(point(15, 6));
    QCOMPARE(list.at(3).y, 6.0);
    QCOMPARE(list.latestX(), 20.0);
}

void ChartPointListTest::findsThePointNearTheMouse_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("reach");
    QTest::addColumn<int>("expected");

    QTest::newRow("on a point") << 50.0 << 500.0 << 3.0 << 4;
    QTest::newRow("within reach") << 52.0 << 520.0 << 3.0 << 4;
    QTest::newRow("right moment, reading out of reach") << 50.0 << 540.0 << 3.0 << -1;
    QTest::newRow("between two points") << 55.0 << 550.0 << 3.0 << -1;
    QTest::newRow("the nearer of two in reach") << 16.0 << 160.0 << 6.0 << 1;
    QTest::newRow("equally near: the earlier") << 15.0 << 150.0 << 6.0 << 0;
    QTest::newRow("before the first") << 0.0 << 0.0 << 3.0 << -1;
    QTest::newRow("just after the last") << 103.0 << 1000.0 << 3.0 << 9;
}

void ChartPointListTest::findsThePointNearTheMouse()
{
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(double, reach);
    QFETCH(int, expected);
    QCOMPARE(tenPoints().indexNear(x, y, reach, 10 * reach), expected);
}
