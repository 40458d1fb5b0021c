#pragma once

#include <QObject>

class ChartAxesTest : public QObject
{
    Q_OBJECT
private slots:
    void resetShowsAllReadingsOverTheLastDays();
    void panArrows_data();
    void panArrows();
    void zoomButtons_data();
    void zoomButtons();
    void clampAfterScroll_data();
    void clampAfterScroll();
};
