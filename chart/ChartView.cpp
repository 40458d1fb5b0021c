#include "ChartView.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

namespace
{
constexpr int smallestZoomPixels = 4;
}

ChartView::ChartView(QChart *chart, QWidget *parent)
    : QChartView(chart, parent), rubberBand(new QRubberBand(QRubberBand::Rectangle, viewport()))
{
    setRubberBand(NoRubberBand);
    setMouseTracking(true);
    setRenderHint(QPainter::Antialiasing);
}

QPointF ChartView::toChart(const QPoint &viewportPosition) const
{
    return chart()->mapFromScene(mapToScene(viewportPosition));
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && chart()->plotArea().contains(toChart(position))) {
        zooming = true;
        rubberBandOrigin = position;
        rubberBand->setGeometry(QRect(position, QSize()));
        rubberBand->show();
    } else if (event->button() == Qt::RightButton) {
        scrolling = true;
        lastScrollPosition = position;
    }
    event->accept();
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint position = event->position().toPoint();
    if (zooming) {
        rubberBand->setGeometry(QRect(rubberBandOrigin, position).normalized());
    } else if (scrolling) {
        const QPoint moved = position - lastScrollPosition;
        lastScrollPosition = position;
        if (!moved.isNull())
            emit scrollRequested(moved);
    } else {
        emit mouseMovedTo(toChart(position), event->globalPosition().toPoint());
    }
    event->accept();
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && zooming) {
        zooming = false;
        rubberBand->hide();
        const QRect area = QRect(rubberBandOrigin, event->position().toPoint()).normalized();
        if (area.width() >= smallestZoomPixels && area.height() >= smallestZoomPixels)
            emit zoomRequested(QRectF(toChart(area.topLeft()), toChart(area.bottomRight())).normalized());
    } else if (event->button() == Qt::RightButton) {
        scrolling = false;
    }
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        emit wheelTurned(notches);
    event->accept();
}

void ChartView::leaveEvent(QEvent *event)
{
    emit mouseLeft();
    QChartView::leaveEvent(event);
}
