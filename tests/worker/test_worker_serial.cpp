#include "DemoHerd.h"
#include "FTDIchip.h"
#include "FTDIthread.h"
#include "InstrumentReplies.h"
#include "QevProtocol.h"
#include "VirtualInstrument.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/stat.h>

#include <memory>

namespace
{

const QByteArray InstrumentSerial = "PPWORK0042";
constexpr int Patience = 10000;

// What the receive handler collected, on which thread, in how many calls.
struct Reception {
    QByteArray bytes;
    int calls = 0;
    int offGuiThread = 0;
};

} // namespace

// Characters the virtual instrument sends over a pseudo-terminal wake the
// chip's worker through the real serial layer's event notification and
// reach the receive handler on the GUI thread, whole and in order.
class TestWorkerSerial : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void instrumentRepliesReachTheHandlerOnTheGuiThread();

private:
    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<VirtualInstrument> instrument_;
    std::unique_ptr<ftdiThreadModule> module_;
    std::unique_ptr<tftdichip> chip_;
};

void TestWorkerSerial::init()
{
    runtime_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime_->isValid());
    ::chmod(QFile::encodeName(runtime_->path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
    module_ = std::make_unique<ftdiThreadModule>();
    chip_ = std::make_unique<tftdichip>();
}

void TestWorkerSerial::cleanup()
{
    if (chip_ && chip_->fconnected)
        chip_->closeDevice();
    chip_.reset();
    module_.reset();
    instrument_.reset();
    runtime_.reset();
    qunsetenv("XDG_RUNTIME_DIR");
}

void TestWorkerSerial::instrumentRepliesReachTheHandlerOnTheGuiThread()
{
    const Herd herd = demoHerd(QDate(2026, 12, 11), AnsiText::activeCodePage());
    InstrumentOptions options;
    options.usbSerial = InstrumentSerial;
    // Pauses within the reply make the bytes arrive in several bursts.
    options.gap = std::chrono::milliseconds(30);
    options.gapEvery = 100;
    instrument_ = std::make_unique<VirtualInstrument>(options, herd);
    QString error;
    QVERIFY2(instrument_->start(error), qPrintable(error));

    QVERIFY(chip_->openDeviceBySerial(InstrumentSerial));
    QVERIFY(chip_->setBaudRate(fBaud115200));
    QVERIFY(chip_->setDataCharacteristics(fBits8, fStopBits1, fParityNone));
    QVERIFY(chip_->setTimeouts(5, 5));

    Reception reception;
    chip_->setupCommEvents(
        [&reception](tftdichip *ftdichip, std::int32_t datalength) {
            ++reception.calls;
            if (QThread::currentThread() != QCoreApplication::instance()->thread())
                ++reception.offGuiThread;
            QByteArray buffer(datalength, '\0');
            std::int32_t bytesRead = 0;
            if (ftdichip->read(buffer.data(), datalength, bytesRead))
                reception.bytes.append(buffer.first(bytesRead));
        },
        {}, {});
    QVERIFY(chip_->startCommEvents());

    const QByteArray command = QevProtocol::objectListCommand();
    std::int32_t written = 0;
    QVERIFY(chip_->write(command.constData(), static_cast<std::int32_t>(command.size()), written));
    QCOMPARE(written, command.size());

    const QByteArray expected = InstrumentReplies::objectList(herd);
    QTRY_VERIFY_WITH_TIMEOUT(reception.bytes.size() >= expected.size(), Patience);
    QCOMPARE(reception.bytes, expected);
    QVERIFY2(reception.calls >= 2, "the bursts of the reply came in one call");
    QCOMPARE(reception.offGuiThread, 0);

    chip_->closeDevice();
    QCOMPARE(chip_->thread, nullptr);
}

QTEST_GUILESS_MAIN(TestWorkerSerial)
#include "test_worker_serial.moc"
