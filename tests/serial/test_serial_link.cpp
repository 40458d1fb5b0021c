#include "CommandExchange.h"
#include "DemoHerd.h"
#include "FTDIchip.h"
#include "HerdFile.h"
#include "InstrumentReplies.h"
#include "QevProtocol.h"
#include "VirtualInstrument.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

namespace
{

const QByteArray InstrumentSerial = "PPLINK4711";

// Opens the chip and sets the line up the way the import does.
bool openAsTheImportDoes(tftdichip &chip, const QByteArray &serial)
{
    if (!chip.openDeviceBySerial(serial))
        return false;
    chip.resetDevice();
    const bool configured = chip.setBaudRate(fBaud115200) &&
                            chip.setDataCharacteristics(fBits8, fStopBits1, fParityNone) &&
                            chip.setFlowControl(fFlowNone, 0, 0) && chip.setTimeouts(5, 5);
    // A pseudo-terminal has no latency timer; the import ignores the outcome.
    chip.setLatencyTimer(2);
    FT_SetUSBParameters(chip.fhandle, 16, 16);
    std::this_thread::sleep_for(100ms);
    return configured;
}

QByteArray measurementCommand(std::uint8_t index)
{
    return QevProtocol::measurementCommand(index);
}

} // namespace

// The whole serial path in real time: the chip wrapper and the exchange over
// our D2XX layer, on a pseudo-terminal, against the virtual instrument.
class TestSerialLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void importsFromTheVirtualInstrument();
    void silentInstrumentGivesEmptyReplies();
    void gapsShorterThanASecondKeepTheReplyWhole();
    void gapOfMoreThanASecondCutsTheReply();
    void hungUpInstrumentComesBackOnANewTerminal();
    void programAnswersAsASeparateProcess();
    void eventObjectIsSignalledWhenTheReplyArrives();

private:
    VirtualInstrument &startInstrument(InstrumentOptions options, const Herd &herd);

    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<VirtualInstrument> instrument_;
    std::unique_ptr<tftdichip> chip_;
    QStringList log_;
    std::mutex logMutex_;
};

void TestSerialLink::init()
{
    runtime_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime_->isValid());
    ::chmod(QFile::encodeName(runtime_->path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
    chip_ = std::make_unique<tftdichip>();
    log_.clear();
}

void TestSerialLink::cleanup()
{
    if (chip_ && chip_->fconnected)
        chip_->closeDevice();
    chip_.reset();
    instrument_.reset();
    runtime_.reset();
    qunsetenv("XDG_RUNTIME_DIR");
}

VirtualInstrument &TestSerialLink::startInstrument(InstrumentOptions options, const Herd &herd)
{
    options.usbSerial = InstrumentSerial;
    instrument_ = std::make_unique<VirtualInstrument>(options, herd, [this](const QString &line) {
        std::lock_guard lock(logMutex_);
        log_.append(line);
    });
    QString error;
    if (!instrument_->start(error))
        qFatal("cannot start the virtual instrument: %s", qPrintable(error));
    return *instrument_;
}

void TestSerialLink::importsFromTheVirtualInstrument()
{
    const Herd herd = demoHerd(QDate(2026, 12, 11), AnsiText::activeCodePage());
    startInstrument({}, herd);

    // The search finds it by the serial number at byte 16 of its entry.
    std::uint32_t count = 0;
    pftdiDeviceList list = nullptr;
    QVERIFY(chip_->createDeviceInfoList(count, list));
    QStringList serials;
    for (std::uint32_t i = 0; i < count; ++i)
        serials.append(
            QString::fromLatin1(reinterpret_cast<const char *>(list) + i * sizeof(ftdiDeviceNode) + 16));
    chip_->destroyDeviceInfoList(list);
    QVERIFY2(serials.contains(QString::fromLatin1(InstrumentSerial)), qPrintable(serials.join(", ")));

    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    CommandExchange exchange(*chip_);

    const auto identity = QevProtocol::checkIdentify(
        exchange.send(QevProtocol::identifyCommand(), QevProtocol::IdentifyReplyLength));
    QVERIFY(identity);
    QCOMPARE(identity->serialNumber, QStringLiteral("CMNK4711"));
    QCOMPARE(identity->firmwareVersion, QStringLiteral("1.07"));

    const auto objects = QevProtocol::splitObjectList(
        exchange.send(QevProtocol::objectListCommand(), QevProtocol::CollectUntilSilence));
    QVERIFY(objects);
    QCOMPARE(objects->size(), herd.objects.size());
    QCOMPARE(objects->last().index, 13);
    QCOMPARE(objects->first().name, AnsiText::decode(herd.objects.first().name));

    // One dog with readings, then the dog at index 0x0D, which has none.
    const QByteArray readings = exchange.send(measurementCommand(objects->at(1).index), 0);
    QCOMPARE(readings, InstrumentReplies::measurements(herd.objects[1]));
    QCOMPARE(QevProtocol::splitMeasurements(readings).size(), herd.objects[1].measurements.size());
    QCOMPARE(exchange.send(measurementCommand(13), 0), QByteArray());

    std::lock_guard lock(logMutex_);
    QStringList commands;
    for (const QString &line : log_)
        if (line.startsWith(QLatin1String("command ")))
            commands.append(line.section(u':', 0, 0));
    QCOMPARE(commands, (QStringList{"command I", "command L", "command M 1", "command M 13"}));
}

void TestSerialLink::silentInstrumentGivesEmptyReplies()
{
    InstrumentOptions options;
    options.fault = InstrumentFault::Silent;
    startInstrument(options, demoHerd(QDate(2026, 12, 11), AnsiText::activeCodePage()));
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    CommandExchange exchange(*chip_);
    QCOMPARE(exchange.send(QevProtocol::identifyCommand(), 17), QByteArray());
    QCOMPARE(exchange.send(QevProtocol::objectListCommand(), 0), QByteArray());
}

namespace
{

Herd threeDogs()
{
    const auto result = parseHerd("object 1 Ada\nobject 2 Bea\nobject 3 Cid\n", AnsiText::activeCodePage());
    return *result.herd;
}

} // namespace

void TestSerialLink::gapsShorterThanASecondKeepTheReplyWhole()
{
    InstrumentOptions options;
    options.gap = 400ms;
    options.gapEvery = 25;
    const Herd herd = threeDogs();
    startInstrument(options, herd);
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    CommandExchange exchange(*chip_);
    QCOMPARE(exchange.send(QevProtocol::objectListCommand(), 0), InstrumentReplies::objectList(herd));
}

void TestSerialLink::gapOfMoreThanASecondCutsTheReply()
{
    InstrumentOptions options;
    options.gap = 1400ms;
    options.gapEvery = 25;
    const Herd herd = threeDogs();
    startInstrument(options, herd);
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    CommandExchange exchange(*chip_);
    const QByteArray whole = InstrumentReplies::objectList(herd);
    const QByteArray reply = exchange.send(QevProtocol::objectListCommand(), 0);
    QCOMPARE(reply, whole.first(25));
    QVERIFY(!QevProtocol::splitObjectList(reply));
}

void TestSerialLink::hungUpInstrumentComesBackOnANewTerminal()
{
    InstrumentOptions options;
    options.fault = InstrumentFault::HangUp;
    startInstrument(options, demoHerd(QDate(2026, 12, 11), AnsiText::activeCodePage()));
    const QString firstTerminal = instrument_->ttyPath();
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    CommandExchange exchange(*chip_);
    // The hang-up takes away the half reply that was still unread, as an
    // unplugged cable does.
    QCOMPARE(exchange.send(QevProtocol::identifyCommand(), 17), QByteArray());

    // The dead line refuses the next command; the announcement names the
    // new terminal, where the same serial number opens again.
    QTRY_VERIFY_WITH_TIMEOUT(instrument_->ttyPath() != firstTerminal, 5000);
    QCOMPARE(exchange.send(QevProtocol::identifyCommand(), 17), QByteArray());
    chip_->closeDevice();
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    exchange.send(QevProtocol::identifyCommand(), 17);

    std::lock_guard lock(logMutex_);
    QCOMPARE(log_.filter(QStringLiteral("command I:")).size(), 2);
    QCOMPARE(log_.filter(QStringLiteral("hung up on ")).size(), 2);
}

void TestSerialLink::programAnswersAsASeparateProcess()
{
#ifndef QEV_INSTRUMENT_PROGRAM
    QSKIP("this build cannot start a program from a threaded test");
#else
    QProcess program;
    program.start(QStringLiteral(QEV_INSTRUMENT_PROGRAM), {"--serial", "PPPROC0001", "--firmware", "3.01"});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(chip_->isPresentBySerial("PPPROC0001"), 10000);

    QVERIFY(openAsTheImportDoes(*chip_, "PPPROC0001"));
    CommandExchange exchange(*chip_);
    const auto identity = QevProtocol::checkIdentify(exchange.send(QevProtocol::identifyCommand(), 17));
    QVERIFY(identity);
    QCOMPARE(identity->serialNumber, QStringLiteral("CMOC0001"));
    QCOMPARE(identity->firmwareVersion, QStringLiteral("3.01"));
    const auto objects = QevProtocol::splitObjectList(exchange.send(QevProtocol::objectListCommand(), 0));
    QVERIFY(objects);
    QCOMPARE(objects->size(), 12);
    QVERIFY(!QevProtocol::splitMeasurements(exchange.send(measurementCommand(objects->first().index), 0))
                 .isEmpty());
    chip_->closeDevice();

    // SIGTERM ends it cleanly and takes the announcement away.
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(!chip_->isPresentBySerial("PPPROC0001"));
    const QString log = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(log.contains(QLatin1String("command I:")) && log.contains(QLatin1String("command L:")) &&
                 log.contains(QLatin1String("command M 0:")),
             qPrintable(log));
#endif
}

void TestSerialLink::eventObjectIsSignalledWhenTheReplyArrives()
{
    startInstrument({}, demoHerd(QDate(2026, 12, 11), AnsiText::activeCodePage()));
    QVERIFY(openAsTheImportDoes(*chip_, InstrumentSerial));
    platform::EventHandle event = nullptr;
    QVERIFY(chip_->createEventObject(fEventAny, event));
    QCOMPARE(chip_->waitForEventObject(event, 50), fEventTimedOut);

    std::int32_t written = 0;
    QVERIFY(chip_->write("I\r", 2, written));
    // The watcher signals while the reply comes in; the wait then finds the
    // bytes waiting.
    fEvent seen = fEventTimedOut;
    for (int i = 0; i < 100 && seen != fEventRXChar; ++i)
        seen = chip_->waitForEventObject(event, 50);
    QCOMPARE(seen, fEventRXChar);
    chip_->closeEventObject(event);
    QCOMPARE(event, nullptr);

    std::int32_t waiting = 0;
    QTRY_VERIFY_WITH_TIMEOUT(chip_->getReceiveQueueStatus(waiting) && waiting == 17, 5000);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "test_serial_link.moc"
