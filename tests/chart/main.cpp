#include "ChartAxesTest.h"
#include "ChartPointListTest.h"
#include "ChartWindowTest.h"
#include "PopupPlacementTest.h"

#include <QApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    int failures = 0;
    ChartAxesTest axes;
    failures += QTest::qExec(&axes, argc, argv);
    ChartPointListTest points;
    failures += QTest::qExec(&points, argc, argv);
    PopupPlacementTest popup;
    failures += QTest::qExec(&popup, argc, argv);
    ChartWindowTest window;
    failures += QTest::qExec(&window, argc, argv);
    return failures == 0 ? 0 : 1;
}
