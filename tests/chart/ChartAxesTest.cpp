#include "ChartAxesTest.h"

#include "ChartAxes.h"

#include <QTest>

namespace
{

enum class Arrow { Left, Right, Up, Down };

ChartAxes axesAt(AxisRange bottom, AxisRange left)
{
    ChartAxes axes;
    axes.bottom = bottom;
    axes.left = left;
    return axes;
}

} // namespace

Q_DECLARE_METATYPE(AxisRange)
Q_DECLARE_METATYPE(Arrow)

namespace QTest
{
template <> char *toString(const AxisRange &range)
{
    return qstrdup(QByteArray::number(range.minimum) + ".." + QByteArray::number(range.maximum));
}
} // namespace QTest

void ChartAxesTest::resetShowsAllReadingsOverTheLastDays()
{
    ChartAxes axes = axesAt({-5, 3}, {1900, 1950});
    axes.reset(100, 15);
    QCOMPARE(axes.left, (AxisRange{0, 2000}));
    QCOMPARE(axes.bottom, (AxisRange{85, 100}));
}

void ChartAxesTest::panArrows_data()
{
    QTest::addColumn<Arrow>("arrow");
    QTest::addColumn<AxisRange>("bottom");
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<AxisRange>("expectedBottom");
    QTest::addColumn<AxisRange>("expectedLeft");

    const AxisRange days{100, 200};
    const AxisRange middle{500, 1500};
    QTest::newRow("left arrow shows later dates")
        << Arrow::Left << days << middle << AxisRange{110, 210} << middle;
    QTest::newRow("right arrow shows earlier dates")
        << Arrow::Right << days << middle << AxisRange{90, 190} << middle;
    QTest::newRow("up arrow shows lower readings")
        << Arrow::Up << days << middle << days << AxisRange{400, 1400};
    QTest::newRow("down arrow shows higher readings")
        << Arrow::Down << days << middle << days << AxisRange{600, 1600};
    QTest::newRow("up arrow near 0 only extends the view to 0")
        << Arrow::Up << days << AxisRange{5, 500} << days << AxisRange{0, 500};
    QTest::newRow("down arrow near 2000 only extends the view to 2000")
        << Arrow::Down << days << AxisRange{1900, 1995} << days << AxisRange{1900, 2000};
    QTest::newRow("down arrow just short of 2000 still shifts")
        << Arrow::Down << days << AxisRange{1900, 1990} << days << AxisRange{1909, 1999};
    QTest::newRow("up arrow at the floor changes nothing")
        << Arrow::Up << days << AxisRange{0, 2000} << days << AxisRange{0, 2000};
}

void ChartAxesTest::panArrows()
{
    QFETCH(Arrow, arrow);
    QFETCH(AxisRange, bottom);
    QFETCH(AxisRange, left);
    QFETCH(AxisRange, expectedBottom);
    QFETCH(AxisRange, expectedLeft);

    ChartAxes axes = axesAt(bottom, left);
    switch (arrow) {
    case Arrow::Left:
        axes.panLeft();
        break;
    case Arrow::Right:
        axes.panRight();
        break;
    case Arrow::Up:
        axes.panUp();
        break;
    case Arrow::Down:
        axes.panDown();
        break;
    }
    QCOMPARE(axes.bottom, expectedBottom);
    QCOMPARE(axes.left, expectedLeft);
}

void ChartAxesTest::zoomButtons_data()
{
    QTest::addColumn<double>("percent");
    QTest::addColumn<AxisRange>("bottom");
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<AxisRange>("expectedBottom");
    QTest::addColumn<AxisRange>("expectedLeft");

    QTest::newRow("zoom in narrows each end by a tenth")
        << 110.0 << AxisRange{100, 200} << AxisRange{0, 2000} << AxisRange{110, 190} << AxisRange{200, 1800};
    QTest::newRow("zoom out widens the dates but the readings stay within bounds")
        << 90.0 << AxisRange{100, 200} << AxisRange{0, 2000} << AxisRange{90, 210} << AxisRange{0, 2000};
    QTest::newRow("zoom out inside the bounds widens both")
        << 90.0 << AxisRange{100, 200} << AxisRange{500, 1000} << AxisRange{90, 210} << AxisRange{450, 1050};
    QTest::newRow("zoom out near the top is cut at 2000")
        << 90.0 << AxisRange{100, 200} << AxisRange{1500, 1990} << AxisRange{90, 210}
        << AxisRange{1451, 2000};
}

// A zoom button zooms, then the view keeps the readings within bounds.
void ChartAxesTest::zoomButtons()
{
    QFETCH(double, percent);
    QFETCH(AxisRange, bottom);
    QFETCH(AxisRange, left);
    QFETCH(AxisRange, expectedBottom);
    QFETCH(AxisRange, expectedLeft);

    ChartAxes axes = axesAt(bottom, left);
    axes.zoomPercent(percent);
    axes.clampLeft();
    QCOMPARE(axes.bottom, expectedBottom);
    QCOMPARE(axes.left, expectedLeft);
}

void ChartAxesTest::clampAfterScroll_data()
{
    QTest::addColumn<AxisRange>("left");
    QTest::addColumn<double>("leftDelta");
    QTest::addColumn<AxisRange>("expectedLeft");

    QTest::newRow("inside the bounds") << AxisRange{500, 1000} << 100.0 << AxisRange{600, 1100};
    QTest::newRow("partly above is cut at 2000") << AxisRange{1500, 1900} << 200.0 << AxisRange{1700, 2000};
    QTest::newRow("partly below is cut at 0") << AxisRange{100, 500} << -200.0 << AxisRange{0, 300};
    QTest::newRow("wholly above moves back with its span")
        << AxisRange{1500, 1900} << 600.0 << AxisRange{1600, 2000};
    QTest::newRow("wholly below moves back with its span")
        << AxisRange{100, 500} << -700.0 << AxisRange{0, 400};
    QTest::newRow("wider than the bounds and wholly above")
        << AxisRange{0, 2400} << 2500.0 << AxisRange{0, 2000};
}

void ChartAxesTest::clampAfterScroll()
{
    QFETCH(AxisRange, left);
    QFETCH(double, leftDelta);
    QFETCH(AxisRange, expectedLeft);

    ChartAxes axes = axesAt({10, 20}, left);
    axes.scroll(5, leftDelta);
    axes.clampLeft();
    QCOMPARE(axes.left, expectedLeft);
    QCOMPARE(axes.bottom, (AxisRange{15, 25}));
    QVERIFY(axes.left.minimum < axes.left.maximum);
}
