#include "GradientBand.h"

#include <QLinearGradient>
#include <QPainter>

GradientBand::GradientBand(const QColor &top, const QColor &bottom, QWidget *parent)
    : QWidget(parent), top(top), bottom(bottom)
{
}

void GradientBand::paintEvent(QPaintEvent *)
{
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    QPainter(this).fillRect(rect(), gradient);
}
