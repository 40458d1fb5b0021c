#pragma once

#include <QObject>

class ChartPointListTest : public QObject
{
    Q_OBJECT
private slots:
    void keepsTimeOrderWhateverTheAddingOrder();
    void equalMomentsKeepTheirAddingOrder();
    void findsThePointNearTheMouse_data();
    void findsThePointNearTheMouse();
};
