// Times the command exchange against the least it can take:
//  - collect until silence: one second of silence and the 300 ms settle
//    delay after the reply's last byte, so 1.3 s plus the reply's time on
//    the line;
//  - identify: 300 ms after the 17th byte is queued.
// Prints the median of the runs (10 unless given as the first argument)
// and its ratio to the floor; the goal is at most 1.02.
//
// The exchange's own steps add to the floor whatever the line does: the
// queue is counted before each 10 ms sleep and the end tested after it, so
// the earliest end of a wait is two passes (20 ms) after the write, and the
// final read waits out its 5 ms time-out for the surplus bytes that never
// come. For identify that alone is 325 ms against a floor of 301.5 ms.

#include "CommandExchange.h"
#include "DemoHerd.h"
#include "FTDIchip.h"
#include "InstrumentReplies.h"
#include "QevProtocol.h"
#include "VirtualInstrument.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Milliseconds = std::chrono::duration<double, std::milli>;

namespace
{

constexpr std::uint32_t Baud = 115200;

Milliseconds lineTime(qsizetype bytes)
{
    return Milliseconds(1000.0 * 10 * double(bytes) / Baud);
}

struct Figure {
    const char *name;
    Milliseconds median;
    Milliseconds floor;
};

Milliseconds medianOf(std::vector<Milliseconds> times)
{
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// Runs one exchange repeatedly; a wrong reply makes the figure meaningless.
std::optional<Milliseconds> timeExchange(CommandExchange &exchange, const QByteArray &command,
                                         std::int32_t expected, const QByteArray &reply, int runs)
{
    std::vector<Milliseconds> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const QByteArray got = exchange.send(command, expected);
        times.push_back(std::chrono::steady_clock::now() - start);
        if (got != reply) {
            std::fprintf(stderr, "run %d: wrong reply of %lld bytes\n", i,
                         static_cast<long long>(got.size()));
            return std::nullopt;
        }
    }
    return medianOf(times);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    QTemporaryDir runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    InstrumentOptions options;
    options.usbSerial = "PPBENCH01";
    options.baudRate = Baud;
    options.replyDelay = 0ms;
    const Herd herd = demoHerd(QDate::currentDate(), options.codePage);
    VirtualInstrument instrument(options, herd);
    QString error;
    if (!instrument.start(error)) {
        std::fprintf(stderr, "cannot start the virtual instrument: %s\n", qPrintable(error));
        return 1;
    }

    tftdichip chip;
    if (!chip.openDeviceBySerial(options.usbSerial)) {
        std::fprintf(stderr, "cannot open the virtual instrument\n");
        return 1;
    }
    chip.setBaudRate(fBaud115200);
    chip.setDataCharacteristics(fBits8, fStopBits1, fParityNone);
    chip.setFlowControl(fFlowNone, 0, 0);
    chip.setTimeouts(5, 5);
    std::this_thread::sleep_for(100ms);
    CommandExchange exchange(chip);

    const QByteArray identify = InstrumentReplies::identify(options.instrumentSerial(), options.firmware);
    const QByteArray objectList = InstrumentReplies::objectList(herd);
    const auto identifyTime = timeExchange(exchange, QevProtocol::identifyCommand(), 17, identify, runs);
    const auto listTime = timeExchange(exchange, QevProtocol::objectListCommand(), 0, objectList, runs);
    chip.closeDevice();
    if (!identifyTime || !listTime)
        return 1;

    const Figure figures[] = {
        {"identify (17 expected)", *identifyTime, CommandExchange::SettleDelay + lineTime(identify.size())},
        {"object list (until silence)", *listTime,
         CommandExchange::IdleLimit + CommandExchange::SettleDelay + lineTime(objectList.size())}};
    std::printf("exchange over a pseudo-terminal at %u baud, median of %d runs\n", Baud, runs);
    for (const Figure &f : figures)
        std::printf("  %-28s median %8.1f ms  floor %8.1f ms  ratio %.3f (goal <= 1.020)\n", f.name,
                    f.median.count(), f.floor.count(), f.median / f.floor);
    return 0;
}
