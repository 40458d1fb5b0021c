#pragma once

#include <QColor>
#include <QWidget>

// A panel painted with a vertical colour gradient, from white at the top to
// a light blue at the bottom: the band across the top of the main window.
class GradientPanel : public QWidget
{
    Q_OBJECT
public:
    explicit GradientPanel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_top{Qt::white};
    QColor m_bottom{162, 221, 255};
};
