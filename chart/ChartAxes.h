#pragma once

// The visible ranges of the chart's two axes and every change the user can
// make to them. Plain values, so that the arithmetic can be checked without a
// window; the chart window copies the ranges into its axes after each step.

struct AxisRange {
    double minimum = 0;
    double maximum = 0;

    double span() const { return maximum - minimum; }
    bool operator==(const AxisRange &) const = default;
};

class ChartAxes
{
public:
    // The readings of the instrument lie between these bounds; the left
    // axis never shows anything outside them once the user has moved it.
    static constexpr double LeftFloor = 0;
    static constexpr double LeftCeiling = 2000;

    AxisRange left;
    AxisRange bottom;

    // The left axis over all readings, the bottom axis over the `bottomSpan`
    // up to `latestX`.
    void reset(double latestX, double bottomSpan);

    // Replaces [a, b] of every axis by [a + c, b - c], c = (b - a) * (percent
    // - 100) / 100: above 100 % the view narrows, below it widens.
    void zoomPercent(double percent);

    // The arrows move the plotted curve in their own direction, by a tenth
    // of the visible span.
    void panLeft();
    void panRight();
    void panUp();
    void panDown();

    // Moves the view by the given amounts in axis units, as a mouse drag does.
    void scroll(double bottomDelta, double leftDelta);

    // Keeps the left axis inside LeftFloor..LeftCeiling after a zoom, a
    // scroll or a wheel turn. A range only partly outside is cut at the
    // bound; a range wholly outside is moved back inside with its span.
    void clampLeft();

private:
    static double tenth(const AxisRange &range) { return range.span() / 10; }
};
