// Delays of the receive-event path, measured on the GUI thread: from the
// write of a command to the first receive handler call, and to the
// send-queue-empty handler call, with the virtual instrument answering at
// once. A pass of the worker waits at most 10 ms, so a worker that only
// polled would show receive delays spread evenly up to 10 ms; woken by the
// library's event, it answers in well under a millisecond or two.

#include "DemoHerd.h"
#include "FTDIchip.h"
#include "FTDIthread.h"
#include "QevProtocol.h"
#include "VirtualInstrument.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace
{

constexpr int Rounds = 200;
const QByteArray InstrumentSerial = "PPBENCH01";

struct Round {
    qint64 sentAtNs = 0;
    qint64 firstReceiveNs = -1;
    qint64 sendQueueEmptyNs = -1;
    QByteArray reply;
};

void printFigures(const char *name, std::vector<double> delaysMs)
{
    if (delaysMs.empty()) {
        std::printf("%-40s no samples\n", name);
        return;
    }
    std::sort(delaysMs.begin(), delaysMs.end());
    const auto at = [&](double share) {
        return delaysMs[static_cast<std::size_t>(share * (delaysMs.size() - 1))];
    };
    std::printf("%-40s n=%zu  median %.2f ms  p95 %.2f ms  max %.2f ms\n", name, delaysMs.size(), at(0.5),
                at(0.95), delaysMs.back());
}

bool openInstrument(tftdichip &chip)
{
    return chip.openDeviceBySerial(InstrumentSerial) && chip.setBaudRate(fBaud115200) &&
           chip.setDataCharacteristics(fBits8, fStopBits1, fParityNone) && chip.setTimeouts(5, 5);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    ftdiThreadModule dispatch;

    InstrumentOptions options;
    options.usbSerial = InstrumentSerial;
    options.baudRate = 0;
    options.replyDelay = std::chrono::milliseconds(0);
    VirtualInstrument instrument(options, demoHerd(QDate::currentDate(), AnsiText::activeCodePage()));
    QString error;
    if (!instrument.start(error)) {
        std::fprintf(stderr, "cannot start the virtual instrument: %s\n", qPrintable(error));
        return 1;
    }
    tftdichip chip;
    if (!openInstrument(chip)) {
        std::fprintf(stderr, "cannot open the virtual instrument\n");
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    Round round;
    chip.setupCommEvents(
        [&](tftdichip *ftdichip, std::int32_t datalength) {
            if (round.firstReceiveNs < 0)
                round.firstReceiveNs = clock.nsecsElapsed();
            QByteArray buffer(datalength, '\0');
            std::int32_t bytesRead = 0;
            if (ftdichip->read(buffer.data(), datalength, bytesRead))
                round.reply.append(buffer.first(bytesRead));
        },
        [&](tftdichip *) {
            if (round.sendQueueEmptyNs < 0)
                round.sendQueueEmptyNs = clock.nsecsElapsed();
        },
        {});
    chip.startCommEvents();

    // Keeps the event loop from blocking for good when a reply goes missing.
    QTimer heartbeat;
    heartbeat.start(50);
    std::mt19937 random(1);
    std::uniform_int_distribution<int> pauseUs(0, 10000);
    std::vector<double> receiveMs, sendQueueEmptyMs;
    const QByteArray command = QevProtocol::identifyCommand();
    int lost = 0;
    for (int i = 0; i < Rounds; ++i) {
        // A pause of random length takes each write to a random moment of
        // the worker's pass.
        std::this_thread::sleep_for(std::chrono::microseconds(pauseUs(random)));
        round = Round{};
        round.sentAtNs = clock.nsecsElapsed();
        std::int32_t written = 0;
        chip.write(command.constData(), static_cast<std::int32_t>(command.size()), written);
        QDeadlineTimer deadline(1000);
        while ((round.reply.size() < QevProtocol::IdentifyReplyLength || round.sendQueueEmptyNs < 0) &&
               !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (round.firstReceiveNs < 0 || round.sendQueueEmptyNs < 0) {
            ++lost;
            continue;
        }
        receiveMs.push_back((round.firstReceiveNs - round.sentAtNs) / 1e6);
        sendQueueEmptyMs.push_back((round.sendQueueEmptyNs - round.sentAtNs) / 1e6);
    }
    chip.closeDevice();

    printFigures("write to first receive handler call", receiveMs);
    printFigures("write to send-queue-empty handler call", sendQueueEmptyMs);
    if (lost > 0)
        std::printf("rounds without a reply or a send-queue-empty call: %d\n", lost);
    return lost == 0 ? 0 : 1;
}
