#pragma once

#include <QColor>
#include <QWidget>

// A band filled with a vertical gradient, the background of a button row.
class GradientBand : public QWidget
{
    Q_OBJECT
public:
    GradientBand(const QColor &top, const QColor &bottom, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor top;
    QColor bottom;
};
