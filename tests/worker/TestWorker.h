#pragma once

#include "FTDIchip.h"
#include "FTDIthread.h"

#include <QObject>

#include <memory>

// The receive-event worker of a chip and the dispatch of its messages to
// the handlers on the GUI thread, against the scripted fake library.
class TestWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startTwiceKeepsOneWorker();
    void stopWithoutWorkerLeavesTheRegistryAlone();
    void receivedBytesReachTheHandlerOnTheGuiThread();
    void receiveMessageQueuedBeforeTheStopIsDropped();
    void receiveMessageFindingTheQueueReadCallsNothing();
    void clearedChipHandlerIsNotCalled();
    void emptyHandlerCopyPostsNothing();
    void handlerMayClearTheHandlersWhileItRuns();
    void writesSinceTheLastMessageGiveOneSendQueueEmpty();
    void waitingDataDefersTheSendQueueCheck();
    void failingStatusQueryPostsErrorsPassAfterPass();
    void failedSendQueueQueryEndsTheWorker();
    void missingLibraryEventKeepsThePace();
    void endingTheEventsLeavesNothingBehind_data();
    void endingTheEventsLeavesNothingBehind();
    void moduleTeardownStopsRunningWorkers();

private:
    std::unique_ptr<ftdiThreadModule> module_;
    std::unique_ptr<tftdichip> chip_;
};
