// Prints the time of whole imports from the virtual instrument, paced at
// 115200 baud over a pseudo-terminal through the real D2XX layer, into a
// fresh database, first import and re-import, against the floor that the
// protocol sets: one exchange per object and one for the list, each ended
// by a second of silence and a 300 ms settle, the replies' own time on the
// line, and the fixed waits. Goal: at most 3 % above the floor.
//
// Usage: bench_import [objects measurements]...   (default: 20 1000 255 100)
#include "CommandExchange.h"
#include "DeviceSearch.h"
#include "FTDIchip.h"
#include "ImportHost.h"
#include "InstrumentImport.h"
#include "TestDatabase.h"
#include "VirtualInstrument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>

namespace
{

constexpr double goalShare = 0.03;

// The import without windows: the search and the exchange are the real
// ones, the messages go nowhere.
class BenchHost final : public ImportHost, public DeviceSearchHost
{
public:
    BenchHost(tftdichip &chip, std::array<QByteArray, 100> &candidates) : chip_(chip), candidates_(candidates)
    {
    }

    void setMessageVisible(Message, bool) override {}
    void setProgress(int) override {}
    void showProgressWindow() override {}
    void hideProgressWindow() override {}
    void pumpEvents() override { QCoreApplication::processEvents(); }
    void setHourglassCursor() override {}
    void restoreCursor() override {}
    int searchDevices() override { return DeviceSearch(chip_, *this).run(candidates_); }
    QByteArray sendCommand(const QByteArray &command, int expectedLength) override
    {
        return CommandExchange(chip_).send(command, expectedLength);
    }
    void showInstrument(const QString &, const QString &) override {}
    void refreshObjects() override {}

    void showInstallingDriver(bool) override {}
    void showSearching() override {}
    void startDriverInstaller() override { std::fprintf(stderr, "the D2XX layer cannot enumerate\n"); }
    bool driverInstallerEnded() const override { return true; }

private:
    tftdichip &chip_;
    std::array<QByteArray, 100> &candidates_;
};

Herd makeHerd(int objects, int measurements)
{
    Herd herd;
    const QDateTime start(QDate(2025, 1, 1), QTime(6, 0));
    for (int o = 0; o < objects; ++o) {
        HerdObject object;
        object.index = std::uint8_t(o);
        object.name = QByteArray("Dog ") + QByteArray::number(o);
        for (int m = 0; m < measurements; ++m) {
            const QDateTime when = start.addSecs(qint64(m) * 6 * 3600 + o * 60);
            object.measurements.append({std::uint32_t(m * 37 % 0xffffff), packDate(when.date()),
                                        packTime(when.time()), std::int16_t(200 + m % 600)});
        }
        herd.objects.append(object);
    }
    return herd;
}

double lineSeconds(qsizetype bytes, const InstrumentOptions &options)
{
    return double(bytes) * 10 / options.baudRate;
}

// What no import can beat: the settle after configuring, the identify
// exchange (taken when its 17 bytes are in, then the settle), and for the
// list and for every object the reply on the line, a second of silence
// and the settle. Each reply starts after the instrument's reply delay.
double floorSeconds(int objects, int measurements, const InstrumentOptions &options)
{
    using seconds = std::chrono::duration<double>;
    const double settle = seconds(CommandExchange::SettleDelay).count();
    const double silence = seconds(CommandExchange::IdleLimit).count();
    const double replyDelay = seconds(options.replyDelay).count();
    const double configure = seconds(InstrumentImport::SettleAfterConfiguration).count();
    const double identify = replyDelay + lineSeconds(17, options) + settle;
    const double list = replyDelay + lineSeconds(25 * objects + 1, options) + silence + settle;
    const double perObject = replyDelay + lineSeconds(9 * measurements, options) + silence + settle;
    return configure + identify + list + objects * perObject;
}

double importOnce(tftdichip &chip, store::Connection &connection)
{
    std::array<QByteArray, 100> candidates;
    QByteArray opened;
    QByteArray firmware;
    bool present = false;
    BenchHost host(chip, candidates);
    InstrumentImport import(chip, connection, host, ImportState{candidates, opened, present, firmware});
    QElapsedTimer timer;
    timer.start();
    import.run();
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!present)
        std::fprintf(stderr, "the instrument was not identified\n");
    return seconds;
}

int count(store::Connection &connection, const char *table)
{
    QSqlQuery query(connection.database());
    query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    return query.next() ? query.value(0).toInt() : -1;
}

bool runCase(int objects, int measurements)
{
    InstrumentOptions options;
    options.usbSerial = "PPBENCH1";
    VirtualInstrument instrument(options, makeHerd(objects, measurements));
    QString error;
    if (!instrument.start(error)) {
        std::fprintf(stderr, "cannot start the virtual instrument: %s\n", qPrintable(error));
        return false;
    }
    TestDatabase database;
    tftdichip chip;
    const double floor = floorSeconds(objects, measurements, options);
    std::printf("%d objects x %d measurements at %u baud: floor %.2f s\n", objects, measurements,
                options.baudRate, floor);
    bool met = true;
    for (const char *run : {"first import", "re-import"}) {
        const double seconds = importOnce(chip, database.connection());
        const double ratio = seconds / floor;
        met = met && ratio <= 1 + goalShare;
        std::printf("  %-12s %8.2f s  %.4f x floor (%+.2f %%)  %d objects, %d measurements stored\n", run,
                    seconds, ratio, 100 * (ratio - 1), count(database.connection(), "OBIEKTY"),
                    count(database.connection(), "WYNIKI"));
    }
    if (chip.fconnected)
        chip.closeDevice();
    return met;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir runtime;
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

    QList<std::pair<int, int>> cases{{20, 1000}, {255, 100}};
    if (argc > 2) {
        cases.clear();
        for (int i = 1; i + 1 < argc; i += 2)
            cases.append({std::atoi(argv[i]), std::atoi(argv[i + 1])});
    }
    bool met = true;
    for (const auto &[objects, measurements] : cases)
        met = runCase(objects, measurements) && met;
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory: %.1f MB\n", usage.ru_maxrss / 1024.0);
    std::printf("goal (at most %.0f %% above the floor, re-import included): %s\n", 100 * goalShare,
                met ? "met" : "NOT met");
    return 0;
}
