#pragma once

#include <QObject>

class TestMainWindowLists : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void sortIsRememberedAcrossRefreshes();
    void markTitleSetsAllMarksInTurnAndNeverSorts_data();
    void markTitleSetsAllMarksInTurnAndNeverSorts();
    void titleButtonsGoByDisplayPosition();
    void markCellClickFlipsMark_data();
    void markCellClickFlipsMark();
    void cancelledPhotoDialogLeavesRowUntouched();
    void chosenPhotoIsStoredUnchangedAndDrawnAnew();
    void photoCellShowsPlaceholder_data();
    void photoCellShowsPlaceholder();
    void emptyObjectListGivesEmptyResultList();
    void movingInObjectListReloadsResults();
};
