#pragma once

#include <QLabel>

// A label or picture that acts as a link: the hand cursor, and a click
// signal on the release of the left button inside it.
class ClickableLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
