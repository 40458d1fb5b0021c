// qev-instrument: a virtual QEV instrument for working without the real one.

#include "DemoHerd.h"
#include "HerdFile.h"
#include "InstrumentOptions.h"
#include "VirtualInstrument.h"

#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <cstdio>
#include <mutex>

namespace
{

void printLine(const QString &line)
{
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    const QString stamped = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz ")) + line;
    std::fprintf(stderr, "%s\n", stamped.toLocal8Bit().constData());
}

std::optional<Herd> loadHerd(const InstrumentOptions &options)
{
    if (options.herdFile.isEmpty())
        return demoHerd(QDate::currentDate(), options.codePage, options.seed);
    const HerdFileResult result = readHerdFile(options.herdFile, options.codePage);
    if (!result.herd)
        printLine(QStringLiteral("%1: %2").arg(options.herdFile, result.error));
    return result.herd;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const ParsedOptions parsed = parseInstrumentOptions(QCoreApplication::arguments());
    if (!parsed.options) {
        std::fprintf(parsed.helpRequested ? stdout : stderr, "%s\n",
                     parsed.message.toLocal8Bit().constData());
        return parsed.helpRequested ? 0 : 2;
    }
    const auto herd = loadHerd(*parsed.options);
    if (!herd)
        return 1;

    // The signals are taken by sigwait below; blocked before the instrument's
    // thread starts, so that it inherits the mask and never receives them.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGINT);
    sigaddset(&endSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

    VirtualInstrument instrument(*parsed.options, *herd, printLine);
    QString error;
    if (!instrument.start(error)) {
        printLine(QStringLiteral("cannot start: %1").arg(error));
        return 1;
    }
    printLine(QStringLiteral("%1 objects, %2 measurements; Ctrl+C ends")
                  .arg(herd->objects.size())
                  .arg(herd->measurementCount()));
    int signal = 0;
    sigwait(&endSignals, &signal);
    instrument.stop();
    printLine(QStringLiteral("ended by signal %1, announcement removed").arg(signal));
    return 0;
}
