#pragma once

#include <QObject>

class TestMainWindowStartUp : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpFindsItsFilesInFolderWithBlanks();
    void failedStartUpLeavesWindowUsable_data();
    void failedStartUpLeavesWindowUsable();
    void deviceTableWithoutRow3_data();
    void deviceTableWithoutRow3();
    void firstRunUsesDesignValues();
    void windowStateComesBack();
    void damagedLayoutKeepsDesignColumns();
};
