#pragma once

#include <QChartView>
#include <QPoint>

class QRubberBand;

// The view of the measurement chart. It turns the mouse into requests that
// the chart window carries out on its axes: dragging a rectangle with the
// left button zooms into it, dragging with the right button scrolls, the
// wheel scrolls the left axis, and plain moves report where the mouse is so
// that the window can tell when it comes over a point.
class ChartView : public QChartView
{
    Q_OBJECT
public:
    explicit ChartView(QChart *chart, QWidget *parent = nullptr);

signals:
    // A rectangle in chart coordinates, at least a few pixels in each
    // direction: a click without a drag zooms nothing.
    void zoomRequested(const QRectF &area);
    // The mouse moved this many pixels with the right button held.
    void scrollRequested(const QPointF &pixels);
    // Wheel notches, positive away from the user.
    void wheelTurned(double notches);
    void mouseMovedTo(const QPointF &chartPosition, const QPoint &globalPosition);
    void mouseLeft();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPointF toChart(const QPoint &viewportPosition) const;

    QRubberBand *rubberBand;
    QPoint rubberBandOrigin;
    bool zooming = false;
    bool scrolling = false;
    QPoint lastScrollPosition;
};
