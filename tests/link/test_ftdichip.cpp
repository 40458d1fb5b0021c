#include "FTDIchip.h"
#include "FakeD2xx.h"

#include <QTest>

#include <cstring>
#include <functional>
#include <stdexcept>

namespace
{

using ChipAction = std::function<void(tftdichip &)>;
using Args = QList<std::uint64_t>;

const QByteArray DeviceSerial = "FT4QEV01";
const QByteArray DeviceDescription = "QEV USB";

FakeD2xx &fake()
{
    return FakeD2xx::instance();
}

// What a test can see of the chip's fields.
struct ChipState {
    FT_HANDLE handle;
    bool connected;
    bool dataHasBeenSent;
    bool operator==(const ChipState &) const = default;
};

ChipState stateOf(const tftdichip &chip)
{
    return {chip.fhandle, chip.fconnected, chip.dataHasBeenSent.load()};
}

QString messageOf(const ChipAction &action, tftdichip &chip)
{
    try {
        action(chip);
    } catch (const std::runtime_error &error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

// A handler owner, bound to its member functions as the main window binds
// its own.
struct Receiver {
    tftdichip *chip = nullptr;
    int receivedLength = -1;
    int sendQueueEmptyCalls = 0;
    void onReceiveData(tftdichip *ftdichip, std::int32_t datalength)
    {
        chip = ftdichip;
        receivedLength = datalength;
    }
    void onSendQueueEmpty(tftdichip *ftdichip)
    {
        chip = ftdichip;
        ++sendQueueEmptyCalls;
    }
};

const char *entrySerialNumber(const ftdiDeviceNode *list, std::uint32_t i)
{
    return reinterpret_cast<const char *>(list) + i * sizeof(ftdiDeviceNode) + 16;
}

} // namespace

Q_DECLARE_METATYPE(ChipAction)
Q_DECLARE_METATYPE(fDevice)
Q_DECLARE_METATYPE(fEvent)

class TestFtdiChip : public QObject
{
    Q_OBJECT

    // A chip opened on the fake's one device, with the log emptied.
    void open(tftdichip &chip)
    {
        QVERIFY(chip.openDeviceBySerial(DeviceSerial));
        fake().clearCalls();
    }

private slots:
    void init()
    {
        fake().reset();
        fake().addDevice({DeviceSerial, DeviceDescription});
    }

    void newChipIsCleared()
    {
        const tftdichip chip;
        QCOMPARE(chip.fhandle, nullptr);
        QVERIFY(!chip.fconnected);
        QVERIFY(!chip.e_onReceiveData);
        QVERIFY(!chip.e_onSendQueueEmpty);
        QVERIFY(!chip.e_onError);
        QCOMPARE(chip.thread, nullptr);
        QVERIFY(!chip.dataHasBeenSent);
    }

    void baudRates_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<uint>("rate");
        const uint rates[] = {300,   600,   1200,  2400,   4800,   9600,   14400,
                              19200, 38400, 57600, 115200, 230400, 460800, 921600};
        for (int value = fBaud300; value <= fBaud921600; ++value)
            QTest::addRow("%u", rates[value]) << value << rates[value];
    }
    void baudRates()
    {
        QFETCH(int, value);
        QFETCH(uint, rate);
        tftdichip chip;
        open(chip);
        QVERIFY(chip.setBaudRate(static_cast<fBaudRate>(value)));
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].function, "FT_SetBaudRate");
        QCOMPARE(calls[0].handle, chip.fhandle);
        QCOMPARE(calls[0].args, Args{rate});
    }

    void dataCharacteristics_data()
    {
        QTest::addColumn<int>("wordLength");
        QTest::addColumn<int>("stopBits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<Args>("passed");
        QTest::newRow("8N1") << int(fBits8) << int(fStopBits1) << int(fParityNone) << Args{8, 0, 0};
        QTest::newRow("7, two stop bits, space")
            << int(fBits7) << int(fStopBits2) << int(fParitySpace) << Args{7, 2, 4};
        QTest::newRow("odd") << int(fBits8) << int(fStopBits1) << int(fParityOdd) << Args{8, 0, 1};
        QTest::newRow("even") << int(fBits7) << int(fStopBits1) << int(fParityEven) << Args{7, 0, 2};
        QTest::newRow("mark") << int(fBits8) << int(fStopBits2) << int(fParityMark) << Args{8, 2, 3};
    }
    void dataCharacteristics()
    {
        QFETCH(int, wordLength);
        QFETCH(int, stopBits);
        QFETCH(int, parity);
        QFETCH(Args, passed);
        tftdichip chip;
        open(chip);
        QVERIFY(chip.setDataCharacteristics(static_cast<fWordLength>(wordLength),
                                            static_cast<fStopBits>(stopBits), static_cast<fParity>(parity)));
        QCOMPARE(fake().calls("FT_SetDataCharacteristics").size(), 1);
        QCOMPARE(fake().calls().front().args, passed);
    }

    void flowControl_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("xon");
        QTest::addColumn<int>("xoff");
        QTest::addColumn<Args>("passed");
        QTest::newRow("none") << int(fFlowNone) << 0 << 0 << Args{0x0000, 0, 0};
        QTest::newRow("none keeps the characters")
            << int(fFlowNone) << 0x11 << 0x13 << Args{0x0000, 0x11, 0x13};
        QTest::newRow("RTS/CTS") << int(fFlowRTSCTS) << 0 << 0 << Args{0x0100, 0, 0};
        QTest::newRow("DTR/DSR") << int(fFlowDTRDSR) << 0 << 0 << Args{0x0200, 0, 0};
        QTest::newRow("XON/XOFF") << int(fFlowXONXOFF) << 0x11 << 0x13 << Args{0x0400, 0x11, 0x13};
    }
    void flowControl()
    {
        QFETCH(int, mode);
        QFETCH(int, xon);
        QFETCH(int, xoff);
        QFETCH(Args, passed);
        tftdichip chip;
        open(chip);
        QVERIFY(chip.setFlowControl(static_cast<fFlowControl>(mode), static_cast<std::uint8_t>(xon),
                                    static_cast<std::uint8_t>(xoff)));
        QCOMPARE(fake().calls("FT_SetFlowControl").size(), 1);
        QCOMPARE(fake().calls().front().args, passed);
    }

    void purgeMasks_data()
    {
        QTest::addColumn<int>("queue");
        QTest::addColumn<uint>("mask");
        QTest::newRow("send") << int(fSendQueue) << 2u;
        QTest::newRow("receive") << int(fReceiveQueue) << 1u;
        QTest::newRow("all") << int(fAll) << 3u;
    }
    void purgeMasks()
    {
        QFETCH(int, queue);
        QFETCH(uint, mask);
        tftdichip chip;
        open(chip);
        QVERIFY(chip.purgeQueue(static_cast<fQueue>(queue)));
        QCOMPARE(fake().calls("FT_Purge").size(), 1);
        QCOMPARE(fake().calls().front().args, Args{mask});
    }

    // Operations that hand their arguments to one library call unchanged
    // and report its status.
    void passThrough_data()
    {
        QTest::addColumn<std::function<bool(tftdichip &)>>("operation");
        QTest::addColumn<QByteArray>("function");
        QTest::addColumn<Args>("passed");
        using Op = std::function<bool(tftdichip &)>;
        QTest::newRow("reset") << Op([](tftdichip &c) { return c.resetDevice(); })
                               << QByteArray("FT_ResetDevice") << Args{};
        QTest::newRow("cycle") << Op([](tftdichip &c) { return c.cycleDevice(); })
                               << QByteArray("FT_CyclePort") << Args{};
        QTest::newRow("any baud rate") << Op([](tftdichip &c) { return c.setBaudRateEx(250000); })
                                       << QByteArray("FT_SetBaudRate") << Args{250000};
        QTest::newRow("timeouts") << Op([](tftdichip &c) { return c.setTimeouts(5, 700); })
                                  << QByteArray("FT_SetTimeouts") << Args{5, 700};
        QTest::newRow("latency") << Op([](tftdichip &c) { return c.setLatencyTimer(2); })
                                 << QByteArray("FT_SetLatencyTimer") << Args{2};
        QTest::newRow("set DTR") << Op([](tftdichip &c) { return c.setDTR(); }) << QByteArray("FT_SetDtr")
                                 << Args{};
        QTest::newRow("clear DTR") << Op([](tftdichip &c) { return c.clearDTR(); }) << QByteArray("FT_ClrDtr")
                                   << Args{};
        QTest::newRow("set RTS") << Op([](tftdichip &c) { return c.setRTS(); }) << QByteArray("FT_SetRts")
                                 << Args{};
        QTest::newRow("clear RTS") << Op([](tftdichip &c) { return c.clearRTS(); }) << QByteArray("FT_ClrRts")
                                   << Args{};
    }
    void passThrough()
    {
        QFETCH(std::function<bool(tftdichip &)>, operation);
        QFETCH(QByteArray, function);
        QFETCH(Args, passed);
        tftdichip chip;
        open(chip);
        QVERIFY(operation(chip));
        fake().setStatus(function.constData(), 4);
        QVERIFY(!operation(chip));
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), 2);
        for (const auto &call : calls) {
            QCOMPARE(call.function, function);
            QCOMPARE(call.handle, chip.fhandle);
            QCOMPARE(call.args, passed);
        }
        QVERIFY(chip.fconnected);
    }

    // Misuse throws the exact message before the library is called, and
    // the chip stays as it was.
    void misuseThrowsBeforeTheLibrary_data()
    {
        QTest::addColumn<bool>("opened");
        QTest::addColumn<ChipAction>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("baud rate ordinal 14")
            << true << ChipAction([](tftdichip &c) { c.setBaudRate(static_cast<fBaudRate>(14)); })
            << "tftdichip.setBaudRate: Invalid baud rate";
        QTest::newRow("baud rate ordinal 255")
            << true << ChipAction([](tftdichip &c) { c.setBaudRate(static_cast<fBaudRate>(255)); })
            << "tftdichip.setBaudRate: Invalid baud rate";
        QTest::newRow("word length") << true << ChipAction([](tftdichip &c) {
            c.setDataCharacteristics(static_cast<fWordLength>(2), fStopBits1, fParityNone);
        }) << "tftdichip.setDataCharacteristics: Invalid wordLength";
        QTest::newRow("stop bits") << true << ChipAction([](tftdichip &c) {
            c.setDataCharacteristics(fBits8, static_cast<fStopBits>(2), fParityNone);
        }) << "tftdichip.setDataCharacteristics: Invalid stopBits";
        QTest::newRow("parity") << true << ChipAction([](tftdichip &c) {
            c.setDataCharacteristics(fBits8, fStopBits1, static_cast<fParity>(5));
        }) << "tftdichip.setDataCharacteristics: Invalid parity";
        QTest::newRow("all three bad: word length first") << true << ChipAction([](tftdichip &c) {
            c.setDataCharacteristics(static_cast<fWordLength>(9), static_cast<fStopBits>(9),
                                     static_cast<fParity>(9));
        }) << "tftdichip.setDataCharacteristics: Invalid wordLength";
        QTest::newRow("stop bits and parity bad: stop bits first") << true << ChipAction([](tftdichip &c) {
            c.setDataCharacteristics(fBits7, static_cast<fStopBits>(9), static_cast<fParity>(9));
        }) << "tftdichip.setDataCharacteristics: Invalid stopBits";
        QTest::newRow("flow control")
            << true << ChipAction([](tftdichip &c) { c.setFlowControl(static_cast<fFlowControl>(4), 0, 0); })
            << "tftdichip.setFlowControl: Invalid flowcontrol";
        QTest::newRow("purge") << true
                               << ChipAction([](tftdichip &c) { c.purgeQueue(static_cast<fQueue>(3)); })
                               << "tftdichip.purgeQueue: Invalid queue";
        QTest::newRow("open by serial twice")
            << true << ChipAction([](tftdichip &c) { c.openDeviceBySerial(DeviceSerial); })
            << "tftdichip.openDeviceBySerial: Already open";
        QTest::newRow("open by description when open")
            << true << ChipAction([](tftdichip &c) { c.openDeviceByDescription(DeviceDescription); })
            << "tftdichip.openDeviceByDescription: Already open";
        QTest::newRow("close when closed") << false << ChipAction([](tftdichip &c) { c.closeDevice(); })
                                           << "tftdichip.closeDevice: Not open";
    }
    void misuseThrowsBeforeTheLibrary()
    {
        QFETCH(bool, opened);
        QFETCH(ChipAction, action);
        QFETCH(QString, message);
        tftdichip chip;
        if (opened) {
            open(chip);
            // The sent flag is part of the state that must not change.
            std::int32_t written = 0;
            QVERIFY(chip.write("x", 1, written));
            fake().clearCalls();
        }
        const ChipState before = stateOf(chip);
        QCOMPARE(messageOf(action, chip), message);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{});
        QVERIFY(stateOf(chip) == before);
    }

    void modemLines_data()
    {
        QTest::addColumn<uint>("status");
        QTest::addColumn<bool>("cts");
        QTest::addColumn<bool>("dsr");
        QTest::addColumn<bool>("ri");
        QTest::addColumn<bool>("dcd");
        QTest::newRow("0x30") << 0x30u << true << true << false << false;
        QTest::newRow("0x40") << 0x40u << false << false << true << false;
        QTest::newRow("0x80") << 0x80u << false << false << false << true;
        QTest::newRow("0xF0") << 0xF0u << true << true << true << true;
        QTest::newRow("low nibble only") << 0x0Fu << false << false << false << false;
        QTest::newRow("bits above the low byte") << 0xFF00u << false << false << false << false;
    }
    void modemLines()
    {
        QFETCH(uint, status);
        QFETCH(bool, cts);
        QFETCH(bool, dsr);
        QFETCH(bool, ri);
        QFETCH(bool, dcd);
        tftdichip chip;
        open(chip);
        fake().setModemStatus(status);
        QCOMPARE(chip.getCTS(), cts);
        QCOMPARE(chip.getDSR(), dsr);
        QCOMPARE(chip.getRI(), ri);
        QCOMPARE(chip.getDCD(), dcd);
        QCOMPARE(fake().calls("FT_GetModemStatus").size(), 4);
    }

    void modemLineFailuresThrow_data()
    {
        QTest::addColumn<ChipAction>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("CTS") << ChipAction([](tftdichip &c) { c.getCTS(); }) << "tftdichip.getCTS: Error";
        QTest::newRow("DSR") << ChipAction([](tftdichip &c) { c.getDSR(); }) << "tftdichip.getDSR: Error";
        QTest::newRow("RI") << ChipAction([](tftdichip &c) { c.getRI(); }) << "tftdichip.getRI: Error";
        QTest::newRow("DCD") << ChipAction([](tftdichip &c) { c.getDCD(); }) << "tftdichip.getDCD: Error";
    }
    void modemLineFailuresThrow()
    {
        QFETCH(ChipAction, action);
        QFETCH(QString, message);
        tftdichip chip;
        open(chip);
        fake().setModemStatus(0xF0);
        fake().setStatus("FT_GetModemStatus", 4);
        const ChipState before = stateOf(chip);
        QCOMPARE(messageOf(action, chip), message);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{"FT_GetModemStatus"});
        QVERIFY(stateOf(chip) == before);
    }

    void openBySerialOrDescription_data()
    {
        QTest::addColumn<bool>("bySerial");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<uint>("flag");
        QTest::newRow("serial") << true << DeviceSerial << 1u;
        QTest::newRow("description") << false << DeviceDescription << 2u;
    }
    void openBySerialOrDescription()
    {
        QFETCH(bool, bySerial);
        QFETCH(QByteArray, text);
        QFETCH(uint, flag);
        tftdichip chip;
        QVERIFY(bySerial ? chip.openDeviceBySerial(text) : chip.openDeviceByDescription(text));
        QVERIFY(chip.fconnected);
        QVERIFY(fake().isOpen(chip.fhandle));
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].function, "FT_OpenEx");
        QCOMPARE(calls[0].data, text);
        QCOMPARE(calls[0].args, Args{flag});
    }

    void failedOpenStaysClosed()
    {
        tftdichip chip;
        QVERIFY(!chip.openDeviceBySerial("NOSUCHDEV"));
        QVERIFY(!chip.fconnected);
        fake().setStatus("FT_OpenEx", 3);
        QVERIFY(!chip.openDeviceBySerial(DeviceSerial));
        QVERIFY(!chip.fconnected);
        QCOMPARE(fake().openHandleCount(), 0);
    }

    // After a close and a failed open the chip holds no handle, so what
    // follows fails in the library instead of reaching the closed one.
    void failedOpenAfterCloseLeavesNoHandle()
    {
        tftdichip chip;
        open(chip);
        chip.closeDevice();
        QCOMPARE(chip.fhandle, nullptr);
        fake().removeDevice(DeviceSerial);
        QVERIFY(!chip.openDeviceBySerial(DeviceSerial));
        QCOMPARE(chip.fhandle, nullptr);
        fake().clearCalls();
        QVERIFY(!chip.setBaudRate(fBaud115200));
        QCOMPARE(fake().calls().front().handle, nullptr);
    }

    void closeReleasesTheHandle()
    {
        tftdichip chip;
        open(chip);
        const FT_HANDLE handle = chip.fhandle;
        chip.closeDevice();
        QVERIFY(!chip.fconnected);
        QVERIFY(!fake().isOpen(handle));
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].function, "FT_Close");
        QCOMPARE(calls[0].handle, handle);
        QVERIFY(chip.openDeviceBySerial(DeviceSerial));
        QVERIFY(chip.fconnected);
    }

    void closeCountsEvenWhenTheLibraryFails()
    {
        tftdichip chip;
        open(chip);
        fake().setStatus("FT_Close", 4);
        chip.closeDevice();
        QVERIFY(!chip.fconnected);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{"FT_Close"});
    }

    // The program frees the chip at shutdown without closing the device.
    void destroyingLeavesTheDeviceOpen()
    {
        {
            tftdichip chip;
            open(chip);
        }
        QCOMPARE(fake().openHandleCount(), 1);
        QCOMPARE(fake().calls("FT_Close").size(), 0);
    }

    void presenceProbe_data()
    {
        QTest::addColumn<bool>("chipOpen");
        QTest::addColumn<bool>("bySerial");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("present");
        QTest::newRow("serial, chip closed") << false << true << DeviceSerial << true;
        QTest::newRow("serial, chip open") << true << true << DeviceSerial << true;
        QTest::newRow("description") << false << false << DeviceDescription << true;
        QTest::newRow("unknown serial") << false << true << QByteArray("FT000000") << false;
        QTest::newRow("unknown serial, chip open") << true << true << QByteArray("FT000000") << false;
        QTest::newRow("description given as serial") << false << true << DeviceDescription << false;
    }
    void presenceProbe()
    {
        QFETCH(bool, chipOpen);
        QFETCH(bool, bySerial);
        QFETCH(QByteArray, text);
        QFETCH(bool, present);
        tftdichip chip;
        if (chipOpen)
            open(chip);
        const ChipState before = stateOf(chip);
        const int openBefore = fake().openHandleCount();
        QCOMPARE(bySerial ? chip.isPresentBySerial(text) : chip.isPresentByDescription(text), present);
        QVERIFY(stateOf(chip) == before);
        QCOMPARE(fake().openHandleCount(), openBefore);
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), present ? 2 : 1);
        QCOMPARE(calls[0].args, Args{bySerial ? 1u : 2u});
        if (present) {
            QCOMPARE(calls[1].function, "FT_Close");
            QVERIFY(calls[1].handle != nullptr);
            QVERIFY(calls[1].handle != chip.fhandle);
        }
    }

    void writeSetsTheSentFlagOnlyOnSuccess()
    {
        tftdichip chip;
        open(chip);
        std::int32_t written = -1;
        fake().setStatus("FT_Write", 4);
        QVERIFY(!chip.write("L\r", 2, written));
        QVERIFY(!chip.dataHasBeenSent);
        fake().setStatus("FT_Write", 0);
        QVERIFY(chip.write("L\r", 2, written));
        QCOMPARE(written, 2);
        QVERIFY(chip.dataHasBeenSent);
        QCOMPARE(fake().written(), QByteArray("L\r"));
        fake().setStatus("FT_Write", 4);
        QVERIFY(!chip.write("I\r", 2, written));
        QVERIFY(chip.dataHasBeenSent);
        const auto writes = fake().calls("FT_Write");
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes[1].args, Args{2});
        QCOMPARE(writes[2].data, QByteArray("I\r"));
    }

    void readTakesFromTheReceiveQueue()
    {
        tftdichip chip;
        open(chip);
        fake().appendReceived("PP CM123");
        std::int32_t waiting = 0;
        QVERIFY(chip.getReceiveQueueStatus(waiting));
        QCOMPARE(waiting, 8);
        char buffer[8] = {};
        std::int32_t read = -1;
        QVERIFY(chip.read(buffer, 5, read));
        QCOMPARE(read, 5);
        QCOMPARE(QByteArray(buffer, read), QByteArray("PP CM"));
        QCOMPARE(fake().calls("FT_Read").front().args, Args{5});
        QCOMPARE(fake().receiveQueue(), QByteArray("123"));
    }

    // Bytes scripted for moments of a simulated clock reach the receive
    // queue in time order; a purge drops what has arrived, not what is
    // still to come.
    void receiveQueueFillsOnTheSimulatedClock()
    {
        tftdichip chip;
        open(chip);
        fake().scheduleReceived(300, "late");
        fake().scheduleReceived(100, "early");
        fake().scheduleReceived(100, "+same");
        std::int32_t waiting = -1;
        fake().deliverUntil(99);
        QVERIFY(chip.getReceiveQueueStatus(waiting));
        QCOMPARE(waiting, 0);
        fake().deliverUntil(100);
        QCOMPARE(fake().receiveQueue(), QByteArray("early+same"));
        QVERIFY(chip.purgeQueue(fReceiveQueue));
        QVERIFY(chip.getReceiveQueueStatus(waiting));
        QCOMPARE(waiting, 0);
        fake().deliverUntil(1000);
        char buffer[16] = {};
        std::int32_t read = 0;
        QVERIFY(chip.read(buffer, sizeof buffer, read));
        QCOMPARE(QByteArray(buffer, read), QByteArray("late"));
    }

    // A negative count would reach the library as a huge unsigned one.
    void negativeCountsAreRefused()
    {
        tftdichip chip;
        open(chip);
        fake().appendReceived("data");
        char buffer[4];
        std::int32_t count = -1;
        QVERIFY(!chip.read(buffer, -1, count));
        QCOMPARE(count, 0);
        QVERIFY(!chip.write(buffer, -2, count));
        QCOMPARE(count, 0);
        QVERIFY(!chip.dataHasBeenSent);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{});
    }

    void sendQueueStatusReportsTheSendCount()
    {
        tftdichip chip;
        open(chip);
        fake().appendReceived("0123456789");
        fake().setSendQueueBytes(3);
        std::int32_t waiting = -1;
        QVERIFY(chip.getSendQueueStatus(waiting));
        QCOMPARE(waiting, 3);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{"FT_GetStatus"});
        fake().setStatus("FT_GetStatus", 4);
        QVERIFY(!chip.getSendQueueStatus(waiting));
        fake().setStatus("FT_GetQueueStatus", 4);
        QVERIFY(!chip.getReceiveQueueStatus(waiting));
    }

    void deviceInfo_data()
    {
        QTest::addColumn<uint>("typeCode");
        QTest::addColumn<fDevice>("device");
        QTest::addColumn<uint>("id");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::newRow("232BM") << 0u << fDevice232BM << 0x04036001u << 0x0403 << 0x6001;
        QTest::newRow("232AM") << 1u << fDevice232AM << 0x04036001u << 0x0403 << 0x6001;
        QTest::newRow("100AX") << 2u << fDevice100AX << 0x04036001u << 0x0403 << 0x6001;
        QTest::newRow("code 3") << 3u << fDeviceUnknown << 0x04036001u << 0x0403 << 0x6001;
        QTest::newRow("2232C") << 4u << fDevice2232C << 0x04036010u << 0x0403 << 0x6010;
        QTest::newRow("232R") << 5u << fDevice232R << 0xABCD1234u << 0xABCD << 0x1234;
        QTest::newRow("code 6") << 6u << fDeviceUnknown << 0xFFFF0000u << 0xFFFF << 0x0000;
        QTest::newRow("code 255") << 255u << fDeviceUnknown << 0x0000FFFFu << 0x0000 << 0xFFFF;
    }
    void deviceInfo()
    {
        QFETCH(uint, typeCode);
        QFETCH(fDevice, device);
        QFETCH(uint, id);
        QFETCH(int, vid);
        QFETCH(int, pid);
        fake().reset();
        fake().addDevice({"FT0A1B2C3D4E5F6G",
                          "A description of sixty-four characters, the longest one allowed.", typeCode, id});
        tftdichip chip;
        QVERIFY(chip.openDeviceBySerial("FT0A1B2C3D4E5F6G"));
        fDevice gotDevice = fDevice232BM;
        std::uint16_t gotPid = 0;
        std::uint16_t gotVid = 0;
        QByteArray serial;
        QByteArray description;
        QVERIFY(chip.getDeviceInfo(gotDevice, gotPid, gotVid, serial, description));
        QCOMPARE(gotDevice, device);
        QCOMPARE(gotVid, vid);
        QCOMPARE(gotPid, pid);
        QCOMPARE(serial, QByteArray("FT0A1B2C3D4E5F6G"));
        QCOMPARE(description, QByteArray("A description of sixty-four characters, the longest one allowed."));
    }

    void deviceInfoFailure()
    {
        tftdichip chip;
        open(chip);
        fake().setStatus("FT_GetDeviceInfo", 4);
        fDevice device;
        std::uint16_t pid;
        std::uint16_t vid;
        QByteArray serial;
        QByteArray description;
        QVERIFY(!chip.getDeviceInfo(device, pid, vid, serial, description));
    }

    void deviceListWithNoDevice()
    {
        fake().reset();
        tftdichip chip;
        std::uint32_t count = 99;
        pftdiDeviceList list = nullptr;
        QVERIFY(chip.createDeviceInfoList(count, list));
        QCOMPARE(count, 0u);
        QCOMPARE(list, nullptr);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{"FT_CreateDeviceInfoList"});
        chip.destroyDeviceInfoList(list);
        QCOMPARE(list, nullptr);
    }

    void deviceListHoldsTheSerialNumbers()
    {
        fake().addDevice({"PP000001", "QEV"});
        fake().addDevice({"ABCDEFGHIJKLMNO", "longest serial"});
        tftdichip chip;
        std::uint32_t count = 0;
        pftdiDeviceList list = nullptr;
        QVERIFY(chip.createDeviceInfoList(count, list));
        QCOMPARE(count, 3u);
        QVERIFY(list != nullptr);
        QCOMPARE(fake().calls("FT_GetDeviceInfoList").front().args, Args{3});
        QCOMPARE(QByteArray(entrySerialNumber(list, 0)), DeviceSerial);
        QCOMPARE(QByteArray(entrySerialNumber(list, 1)), QByteArray("PP000001"));
        QCOMPARE(QByteArray(entrySerialNumber(list, 2)), QByteArray("ABCDEFGHIJKLMNO"));
        QCOMPARE(QByteArray(list[2].description), QByteArray("longest serial"));
        chip.destroyDeviceInfoList(list);
        QCOMPARE(list, nullptr);
    }

    void deviceListFailures_data()
    {
        QTest::addColumn<QByteArray>("failing");
        QTest::newRow("count") << QByteArray("FT_CreateDeviceInfoList");
        QTest::newRow("fill") << QByteArray("FT_GetDeviceInfoList");
    }
    void deviceListFailures()
    {
        QFETCH(QByteArray, failing);
        fake().setStatus(failing.constData(), 4);
        tftdichip chip;
        std::uint32_t count = 7;
        pftdiDeviceList list = nullptr;
        QVERIFY(!chip.createDeviceInfoList(count, list));
        QCOMPARE(count, 0u);
        QCOMPARE(list, nullptr);
    }

    // A device plugged in between the count and the fill is not in the
    // block, so the count must not claim it.
    void deviceListCountNeverExceedsTheBlock()
    {
        fake().addDevice({"PP000002", "QEV"});
        fake().setHook([](const FakeD2xx::Call &call) {
            if (call.function == "FT_GetDeviceInfoList")
                FakeD2xx::instance().addDevice({"PP000003", "QEV"});
        });
        tftdichip chip;
        std::uint32_t count = 0;
        pftdiDeviceList list = nullptr;
        QVERIFY(chip.createDeviceInfoList(count, list));
        QCOMPARE(count, 2u);
        QCOMPARE(QByteArray(entrySerialNumber(list, 1)), QByteArray("PP000002"));
        chip.destroyDeviceInfoList(list);
    }

    void eventMasks_data()
    {
        QTest::addColumn<fEvent>("event");
        QTest::addColumn<uint>("mask");
        QTest::newRow("received characters") << fEventRXChar << 1u;
        QTest::newRow("modem status") << fEventModemStatus << 2u;
        QTest::newRow("any") << fEventAny << 3u;
        QTest::newRow("timed out") << fEventTimedOut << 3u;
        QTest::newRow("error") << fEventError << 3u;
    }
    void eventMasks()
    {
        QFETCH(fEvent, event);
        QFETCH(uint, mask);
        tftdichip chip;
        open(chip);
        platform::EventHandle handle = nullptr;
        QVERIFY(chip.createEventObject(event, handle));
        QVERIFY(handle != nullptr);
        const auto calls = fake().calls("FT_SetEventNotification");
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].handle, chip.fhandle);
        QCOMPARE(calls[0].args, (Args{mask, reinterpret_cast<std::uintptr_t>(handle)}));
        chip.closeEventObject(handle);
        QCOMPARE(handle, nullptr);
    }

    // The event the library was given is the one a waiter sees: received
    // bytes release it once, and it resets itself.
    void libraryEventReachesTheWaiter()
    {
        tftdichip chip;
        open(chip);
        platform::EventHandle handle = nullptr;
        QVERIFY(chip.createEventObject(fEventRXChar, handle));
        QVERIFY(!platform::WaitForEventObject(handle, 0));
        fake().appendReceived("x");
        QVERIFY(platform::WaitForEventObject(handle, 0));
        QVERIFY(!platform::WaitForEventObject(handle, 0));
        chip.closeEventObject(handle);
    }

    void failedEventNotificationClosesTheEvent()
    {
        tftdichip chip;
        open(chip);
        fake().setStatus("FT_SetEventNotification", 4);
        platform::EventHandle handle = nullptr;
        QVERIFY(!chip.createEventObject(fEventAny, handle));
        QCOMPARE(handle, nullptr);
    }

    void waitClassification_data()
    {
        QTest::addColumn<FT_STATUS>("status");
        QTest::addColumn<uint>("eventBits");
        QTest::addColumn<QByteArray>("waiting");
        QTest::addColumn<fEvent>("result");
        const QByteArray ten(10, 'd');
        QTest::newRow("status query fails") << FT_STATUS(4) << 0x02u << ten << fEventError;
        QTest::newRow("modem status with data") << FT_STATUS(0) << 0x02u << ten << fEventModemStatus;
        QTest::newRow("modem status alone") << FT_STATUS(0) << 0x02u << QByteArray() << fEventModemStatus;
        QTest::newRow("nothing") << FT_STATUS(0) << 0x00u << QByteArray() << fEventTimedOut;
        QTest::newRow("character bit, queue empty")
            << FT_STATUS(0) << 0x01u << QByteArray() << fEventTimedOut;
        QTest::newRow("data waiting") << FT_STATUS(0) << 0x00u << ten << fEventRXChar;
        QTest::newRow("data and character bit") << FT_STATUS(0) << 0x01u << ten << fEventRXChar;
    }
    void waitClassification()
    {
        QFETCH(FT_STATUS, status);
        QFETCH(uint, eventBits);
        QFETCH(QByteArray, waiting);
        QFETCH(fEvent, result);
        tftdichip chip;
        open(chip);
        platform::EventHandle handle = nullptr;
        QVERIFY(chip.createEventObject(fEventAny, handle));
        fake().appendReceived(waiting);
        fake().setEventStatus(eventBits);
        fake().setStatus("FT_GetStatus", status);
        fake().clearCalls();
        QCOMPARE(chip.waitForEventObject(handle, 0), result);
        const auto calls = fake().calls();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].function, "FT_GetStatus");
        QCOMPARE(calls[0].handle, chip.fhandle);
        chip.closeEventObject(handle);
    }

    void setupCommEventsReplacesTheHandlers()
    {
        tftdichip chip;
        Receiver receiver;
        using namespace std::placeholders;
        QVERIFY(chip.setupCommEvents(std::bind(&Receiver::onReceiveData, &receiver, _1, _2),
                                     std::bind(&Receiver::onSendQueueEmpty, &receiver, _1), nullptr));
        QVERIFY(chip.e_onReceiveData);
        QVERIFY(chip.e_onSendQueueEmpty);
        QVERIFY(!chip.e_onError);
        chip.e_onReceiveData(&chip, 17);
        QCOMPARE(receiver.chip, &chip);
        QCOMPARE(receiver.receivedLength, 17);
        chip.e_onSendQueueEmpty(&chip);
        QCOMPARE(receiver.sendQueueEmptyCalls, 1);
        QVERIFY(chip.setupCommEvents(nullptr, nullptr, nullptr));
        QVERIFY(!chip.e_onReceiveData);
        QVERIFY(!chip.e_onSendQueueEmpty);
        QVERIFY(!chip.e_onError);
        QCOMPARE(fake().functionNames(), QList<QByteArray>{});
    }

    // The line set-up the import makes, call by call.
    void importLineSetUp()
    {
        tftdichip chip;
        QVERIFY(chip.openDeviceBySerial(DeviceSerial));
        QVERIFY(chip.resetDevice());
        QVERIFY(chip.setBaudRate(fBaud115200));
        QVERIFY(chip.setDataCharacteristics(fBits8, fStopBits1, fParityNone));
        QVERIFY(chip.setLatencyTimer(2));
        QCOMPARE(FT_SetUSBParameters(chip.fhandle, 16, 16), FT_OK);
        QVERIFY(chip.setFlowControl(fFlowNone, 0, 0));
        QVERIFY(chip.setTimeouts(5, 5));
        const auto calls = fake().calls();
        const QList<QByteArray> functions = fake().functionNames();
        QCOMPARE(functions,
                 (QList<QByteArray>{"FT_OpenEx", "FT_ResetDevice", "FT_SetBaudRate",
                                    "FT_SetDataCharacteristics", "FT_SetLatencyTimer", "FT_SetUSBParameters",
                                    "FT_SetFlowControl", "FT_SetTimeouts"}));
        QCOMPARE(calls[2].args, Args{115200});
        QCOMPARE(calls[3].args, (Args{8, 0, 0}));
        QCOMPARE(calls[4].args, Args{2});
        QCOMPARE(calls[5].args, (Args{16, 16}));
        QCOMPARE(calls[6].args, (Args{0, 0, 0}));
        QCOMPARE(calls[7].args, (Args{5, 5}));
        for (qsizetype i = 1; i < calls.size(); ++i)
            QCOMPARE(calls[i].handle, chip.fhandle);
    }
};

QTEST_GUILESS_MAIN(TestFtdiChip)
#include "test_ftdichip.moc"
