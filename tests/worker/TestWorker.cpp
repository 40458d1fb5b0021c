#include "TestWorker.h"

#include "EventObject.h"
#include "FTDIchip.h"
#include "FTDIthread.h"
#include "FakeD2xx.h"
#include "HandOver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace
{

const QByteArray DeviceSerial = "FT4QEV01";
const QByteArray OtherSerial = "FT4QEV02";
constexpr FT_STATUS IoError = 4;
// How long a test waits for the worker before it gives up: far beyond a
// pass, for a loaded machine and the sanitizers.
constexpr int Patience = 10000;

FakeD2xx &fake()
{
    return FakeD2xx::instance();
}

// Every pass of the worker queries the library's status at least once.
qsizetype statusQueries()
{
    return fake().calls("FT_GetStatus").size();
}

// Waits until the worker has queried the status count times, without
// letting the GUI thread handle any message meanwhile.
bool waitForQueriesUnhandled(qsizetype count)
{
    QElapsedTimer waited;
    waited.start();
    while (statusQueries() < count) {
        if (waited.elapsed() > Patience)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

int threadCount()
{
    return static_cast<int>(
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

std::string keyOf(const tftdichip *chip)
{
    return ftdiKey(ftdiIdentity(chip));
}

// The owner of a chip's handlers, bound to its member functions as the main
// window binds its own. It notes every call in order and whether each came
// on the GUI thread with its own chip.
struct Owner {
    explicit Owner(tftdichip &chip) : chip(chip) {}

    tftdichip &chip;
    bool readsData = true;
    QStringList events;
    QByteArray received;
    int misplacedCalls = 0;

    void bind()
    {
        chip.setupCommEvents(std::bind_front(&Owner::onReceiveData, this),
                             std::bind_front(&Owner::onSendQueueEmpty, this),
                             std::bind_front(&Owner::onError, this));
    }

    qsizetype count(const QString &prefix) const
    {
        return std::count_if(events.begin(), events.end(),
                             [&](const QString &e) { return e.startsWith(prefix); });
    }

    void onReceiveData(tftdichip *ftdichip, std::int32_t datalength)
    {
        check(ftdichip);
        events.append(QStringLiteral("receive %1").arg(datalength));
        if (!readsData)
            return;
        QByteArray buffer(datalength, '\0');
        std::int32_t bytesRead = 0;
        if (ftdichip->read(buffer.data(), datalength, bytesRead))
            received.append(buffer.first(bytesRead));
    }

    void onSendQueueEmpty(tftdichip *ftdichip)
    {
        check(ftdichip);
        events.append(QStringLiteral("sent"));
    }

    void onError(tftdichip *ftdichip)
    {
        check(ftdichip);
        events.append(QStringLiteral("error"));
    }

    void check(tftdichip *ftdichip)
    {
        if (ftdichip != &chip || QThread::currentThread() != QCoreApplication::instance()->thread())
            ++misplacedCalls;
    }
};

// The numbers of the messages that reach the dispatch window, in order,
// seen before the window handles them.
class MessageLog : public QObject
{
public:
    MessageLog() { ftdiWindow->installEventFilter(this); }

    QList<int> numbers;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        markHandedOver(event);
        const int number = event->type();
        if (number == ftdiMsgReceiveData || number == ftdiMsgSendQueueEmpty || number == ftdiMsgError)
            numbers.append(number);
        return false;
    }
};

} // namespace

void TestWorker::init()
{
    fake().reset();
    fake().addDevice({DeviceSerial, "QEV USB"});
    fake().addDevice({OtherSerial, "QEV USB"});
    module_ = std::make_unique<ftdiThreadModule>();
    chip_ = std::make_unique<tftdichip>();
    QVERIFY(chip_->openDeviceBySerial(DeviceSerial));
}

// Every event object must be gone once the chip, the dispatch and the
// library's own reference are.
void TestWorker::cleanup()
{
    chip_.reset();
    module_.reset();
    fake().reset();
    QCOMPARE(platform::LiveEventObjectCount(), 0);
}

void TestWorker::startTwiceKeepsOneWorker()
{
    QVERIFY(chip_->startCommEvents());
    tftdithread *worker = chip_->thread;
    QVERIFY(worker);
    QCOMPARE(worker->ftdiclass, chip_.get());
    QVERIFY(!chip_->startCommEvents());
    QCOMPARE(chip_->thread, worker);
    QCOMPARE(hashFind(*ftdiRegistry, keyOf(chip_.get())), chip_.get());

    QVERIFY(chip_->stopCommEvents());
    QCOMPARE(chip_->thread, nullptr);
    // One removal leaves nothing: the second start added no item.
    QCOMPARE(hashFind(*ftdiRegistry, keyOf(chip_.get())), nullptr);
    QCOMPARE(fake().calls("FT_SetEventNotification").size(), 1);
}

void TestWorker::stopWithoutWorkerLeavesTheRegistryAlone()
{
    tftdichip other;
    QVERIFY(other.openDeviceBySerial(OtherSerial));
    QVERIFY(other.startCommEvents());

    QVERIFY(!chip_->stopCommEvents());
    QCOMPARE(hashFind(*ftdiRegistry, keyOf(&other)), &other);
    QVERIFY(other.thread);
    QVERIFY(other.stopCommEvents());
}

void TestWorker::receivedBytesReachTheHandlerOnTheGuiThread()
{
    Owner owner(*chip_);
    owner.bind();
    QVERIFY(chip_->startCommEvents());
    fake().appendReceived("QEV");

    QTRY_COMPARE_WITH_TIMEOUT(owner.received, QByteArray("QEV"), Patience);
    // Later passes find the queue read and call nothing more.
    const qsizetype queries = statusQueries();
    QTRY_VERIFY_WITH_TIMEOUT(statusQueries() >= queries + 3, Patience);
    QCOMPARE(owner.events, QStringList{QStringLiteral("receive 3")});
    QCOMPARE(owner.misplacedCalls, 0);
}

void TestWorker::receiveMessageQueuedBeforeTheStopIsDropped()
{
    Owner owner(*chip_);
    owner.bind();
    MessageLog log;
    fake().appendReceived("QEV");
    QVERIFY(chip_->startCommEvents());
    QVERIFY(waitForQueriesUnhandled(3)); // two passes have posted
    QVERIFY(chip_->stopCommEvents());
    fake().clearCalls();

    QCoreApplication::sendPostedEvents();
    QVERIFY(log.numbers.contains(ftdiMsgReceiveData));
    QCOMPARE(owner.events, QStringList());
    QCOMPARE(fake().calls().size(), 0); // the chip was not touched
    QCOMPARE(fake().receiveQueue(), QByteArray("QEV"));
}

void TestWorker::receiveMessageFindingTheQueueReadCallsNothing()
{
    Owner owner(*chip_);
    owner.bind();
    MessageLog log;
    fake().appendReceived("QEV");
    QVERIFY(chip_->startCommEvents());
    QVERIFY(waitForQueriesUnhandled(2)); // the first pass has posted
    char buffer[8];
    std::int32_t bytesRead = 0;
    QVERIFY(chip_->read(buffer, sizeof buffer, bytesRead));
    QCOMPARE(bytesRead, 3);
    fake().clearCalls();

    QCoreApplication::sendPostedEvents();
    QVERIFY(log.numbers.contains(ftdiMsgReceiveData));
    QCOMPARE(owner.events, QStringList());
    // The count was taken anew when the message was handled.
    QVERIFY(!fake().calls("FT_GetQueueStatus").isEmpty());
}

void TestWorker::clearedChipHandlerIsNotCalled()
{
    Owner owner(*chip_);
    owner.bind();
    MessageLog log;
    QVERIFY(chip_->startCommEvents());
    chip_->e_onReceiveData = nullptr;
    fake().appendReceived("QEV");

    QTRY_VERIFY_WITH_TIMEOUT(log.numbers.count(ftdiMsgReceiveData) >= 2, Patience);
    QCOMPARE(owner.events, QStringList());
    QCOMPARE(fake().receiveQueue(), QByteArray("QEV"));
}

void TestWorker::emptyHandlerCopyPostsNothing()
{
    Owner owner(*chip_);
    MessageLog log;
    QVERIFY(chip_->startCommEvents());
    owner.bind(); // too late for the worker's copies
    fake().appendReceived("QEV");

    const qsizetype queries = statusQueries();
    QTRY_VERIFY_WITH_TIMEOUT(statusQueries() >= queries + 5, Patience);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(log.numbers.count(ftdiMsgReceiveData), 0);
    QCOMPARE(owner.events, QStringList());
}

// A handler that replaces the chip's handlers must not pull its own code
// from under itself. The captures are large enough to live on the heap, so
// that a handler freed while it runs shows up under AddressSanitizer.
void TestWorker::handlerMayClearTheHandlersWhileItRuns()
{
    int calls = 0;
    QByteArray received;
    tftdichip *expected = chip_.get();
    chip_->setupCommEvents(
        [&calls, &received, expected](tftdichip *ftdichip, std::int32_t datalength) {
            ftdichip->setupCommEvents({}, {}, {});
            ++calls;
            QByteArray buffer(datalength, '\0');
            std::int32_t bytesRead = 0;
            if (ftdichip == expected && ftdichip->read(buffer.data(), datalength, bytesRead))
                received.append(buffer.first(bytesRead));
        },
        {}, {});
    QVERIFY(chip_->startCommEvents());
    fake().appendReceived("QEV");

    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("QEV"), Patience);
    QCOMPARE(calls, 1);
    QVERIFY(!chip_->e_onReceiveData);
}

void TestWorker::writesSinceTheLastMessageGiveOneSendQueueEmpty()
{
    Owner owner(*chip_);
    owner.bind();
    MessageLog log;
    fake().setSendQueueBytes(4);
    QVERIFY(chip_->startCommEvents());
    std::int32_t written = 0;
    QVERIFY(chip_->write("I\r", 2, written));
    QVERIFY(chip_->write("L\r", 2, written));
    QVERIFY(waitForQueriesUnhandled(statusQueries() + 4)); // passes saw the queue busy
    QVERIFY(chip_->dataHasBeenSent);

    fake().setSendQueueBytes(0);
    QTRY_COMPARE_WITH_TIMEOUT(owner.count(QStringLiteral("sent")), 1, Patience);
    QVERIFY(!chip_->dataHasBeenSent);

    // No write since the message: none, whatever the queue does.
    fake().setSendQueueBytes(3);
    qsizetype queries = statusQueries();
    QTRY_VERIFY_WITH_TIMEOUT(statusQueries() >= queries + 4, Patience);
    fake().setSendQueueBytes(0);
    queries = statusQueries();
    QTRY_VERIFY_WITH_TIMEOUT(statusQueries() >= queries + 6, Patience);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(owner.events, QStringList{QStringLiteral("sent")});
    QCOMPARE(log.numbers.count(ftdiMsgSendQueueEmpty), 1);
    QCOMPARE(owner.misplacedCalls, 0);
}

void TestWorker::waitingDataDefersTheSendQueueCheck()
{
    Owner owner(*chip_);
    owner.readsData = false;
    owner.bind();
    fake().appendReceived("QEV");
    QVERIFY(chip_->startCommEvents());
    std::int32_t written = 0;
    QVERIFY(chip_->write("I\r", 2, written));

    const qsizetype queries = statusQueries();
    QTRY_VERIFY_WITH_TIMEOUT(statusQueries() >= queries + 5, Patience);
    QCoreApplication::sendPostedEvents();
    QVERIFY(owner.count(QStringLiteral("receive 3")) >= 1);
    QCOMPARE(owner.count(QStringLiteral("sent")), 0);
    QVERIFY(chip_->dataHasBeenSent);

    QVERIFY(chip_->purgeQueue(fReceiveQueue));
    QTRY_COMPARE_WITH_TIMEOUT(owner.count(QStringLiteral("sent")), 1, Patience);
    QCOMPARE(owner.events.last(), QStringLiteral("sent"));
    QCOMPARE(owner.count(QStringLiteral("receive 3")), owner.events.size() - 1);
}

void TestWorker::failingStatusQueryPostsErrorsPassAfterPass()
{
    Owner owner(*chip_);
    owner.bind();
    fake().setStatus("FT_GetStatus", IoError);
    fake().appendReceived("QEV");
    fake().setSendQueueBytes(0);
    QVERIFY(chip_->startCommEvents());
    std::int32_t written = 0;
    QVERIFY(chip_->write("I\r", 2, written));

    QTRY_VERIFY_WITH_TIMEOUT(owner.count(QStringLiteral("error")) >= 3, Patience);
    QVERIFY(!chip_->thread->Finished());
    QCOMPARE(owner.count(QStringLiteral("error")), owner.events.size());
    QCOMPARE(owner.misplacedCalls, 0);
}

void TestWorker::failedSendQueueQueryEndsTheWorker()
{
    Owner owner(*chip_);
    owner.bind();
    MessageLog log;
    // The first query, the pass's own, succeeds and finds nothing waiting;
    // the second, the send queue's, fails.
    std::atomic<int> queries{0};
    fake().setHook([&queries](const FakeD2xx::Call &call) {
        if (call.function == "FT_GetStatus" && ++queries == 2)
            fake().setStatus("FT_GetStatus", IoError);
    });
    QVERIFY(chip_->startCommEvents());

    QTRY_VERIFY_WITH_TIMEOUT(chip_->thread->Finished(), Patience);
    QCoreApplication::sendPostedEvents();
    fake().setHook({});
    QCOMPARE(statusQueries(), 2);
    QCOMPARE(log.numbers, QList<int>());
    QCOMPARE(owner.events, QStringList());
    // The chip stays registered, and its worker allocated, until stopped.
    QCOMPARE(hashFind(*ftdiRegistry, keyOf(chip_.get())), chip_.get());
    QVERIFY(chip_->stopCommEvents());
    QCOMPARE(hashFind(*ftdiRegistry, keyOf(chip_.get())), nullptr);
}

// Without the library's event a pass still lasts its 10 ms. The bound is
// five times looser than that; polling flat out would exceed it a
// hundredfold.
void TestWorker::missingLibraryEventKeepsThePace()
{
    Owner owner(*chip_);
    owner.readsData = false;
    owner.bind();
    fake().setStatus("FT_SetEventNotification", IoError);
    fake().appendReceived("QEV");
    QElapsedTimer running;
    running.start();
    QVERIFY(chip_->startCommEvents());
    QTRY_VERIFY_WITH_TIMEOUT(owner.count(QStringLiteral("receive 3")) >= 3, Patience);
    QVERIFY(chip_->stopCommEvents());
    const qint64 elapsedMs = running.elapsed();

    const qsizetype queries = statusQueries();
    QVERIFY2(queries <= elapsedMs / 2 + 10,
             qPrintable(QStringLiteral("%1 status queries in %2 ms").arg(queries).arg(elapsedMs)));
}

void TestWorker::endingTheEventsLeavesNothingBehind_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("closeDevice") << QStringLiteral("closeDevice");
    QTest::newRow("destruction") << QStringLiteral("destruction");
    QTest::newRow("stopCommEvents") << QStringLiteral("stopCommEvents");
}

void TestWorker::endingTheEventsLeavesNothingBehind()
{
    QFETCH(QString, ending);
    const int threadsBefore = threadCount();
    const std::string key = keyOf(chip_.get());
    Owner owner(*chip_);
    owner.bind();
    fake().appendReceived("QEV");
    QVERIFY(chip_->startCommEvents());
    QVERIFY(waitForQueriesUnhandled(3));

    if (ending == QLatin1String("closeDevice")) {
        chip_->closeDevice();
        QVERIFY(!chip_->fconnected);
    } else if (ending == QLatin1String("destruction")) {
        chip_.reset();
    } else {
        QVERIFY(chip_->stopCommEvents());
    }
    if (chip_)
        QCOMPARE(chip_->thread, nullptr);
    QCOMPARE(hashFind(*ftdiRegistry, key), nullptr);

    // The worker made its last call before the handle was closed, and
    // makes none after.
    const QList<QByteArray> names = fake().functionNames();
    const qsizetype lastQuery = names.lastIndexOf("FT_GetStatus");
    if (ending == QLatin1String("closeDevice"))
        QVERIFY(lastQuery < names.indexOf("FT_Close"));
    const qsizetype queries = statusQueries();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QCOMPARE(statusQueries(), queries);

    QCoreApplication::sendPostedEvents(); // the queued messages are dropped
    QCOMPARE(owner.events, QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(threadCount(), threadsBefore, Patience);
    fake().reset();
    QCOMPARE(platform::LiveEventObjectCount(), 0);
}

void TestWorker::moduleTeardownStopsRunningWorkers()
{
    const int threadsBefore = threadCount();
    tftdichip other;
    QVERIFY(other.openDeviceBySerial(OtherSerial));
    QVERIFY(chip_->startCommEvents());
    QVERIFY(other.startCommEvents());
    QVERIFY(waitForQueriesUnhandled(4));

    module_.reset();
    QCOMPARE(chip_->thread, nullptr);
    QCOMPARE(other.thread, nullptr);
    QCOMPARE(ftdiWindow, nullptr);
    QCOMPARE(ftdiRegistry, nullptr);
    QVERIFY(!chip_->startCommEvents()); // no dispatch, no worker
    QCOMPARE(chip_->thread, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(threadCount(), threadsBefore, Patience);
}
