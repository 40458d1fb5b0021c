#pragma once

#include <QObject>

class TestErrorDisplay : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void errorLeavingHandlerIsShownAndProgramGoesOn_data();
    void errorLeavingHandlerIsShownAndProgramGoesOn();
};
