#include "GradientPanel.h"

#include <QLinearGradient>
#include <QPainter>

GradientPanel::GradientPanel(QWidget *parent) : QWidget(parent) {}

void GradientPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, m_top);
    gradient.setColorAt(1, m_bottom);
    painter.fillRect(rect(), gradient);
}
