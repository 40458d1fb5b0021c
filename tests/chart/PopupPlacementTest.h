#pragma once

#include <QObject>

class PopupPlacementTest : public QObject
{
    Q_OBJECT
private slots:
    void staysOnTheScreen_data();
    void staysOnTheScreen();
};
