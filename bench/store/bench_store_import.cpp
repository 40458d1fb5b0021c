// Prints the database figures of importing a full instrument: 255 objects
// of 1000 measurements each, stored through the two import procedures with
// one call each, as the import makes them, committed after each object:
//   1. the first import into an empty database;
//   2. the same import again, every call a duplicate: not slower than 1;
//   3. the engine's ceiling: the same rows inserted in one transaction;
//   4. for comparison, a commit after every call, on a sample of objects
//      (at tens of milliseconds a call, the full run would take hours).
// Goal: the database work is at most 3 % of the import's time on the line.
//
// Usage: bench_store_import [objects [measurements per object [sample objects]]]
#include "Connection.h"
#include "ImportTransaction.h"
#include "StoredProcedure.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>
#include <ctime>
#include <optional>

namespace
{

// What the instrument link costs: every object takes about 1.3 s of
// requests and waits, and each measurement entry is 9 bytes at 115200 baud
// (10 bits a byte on the line).
constexpr double secondsPerObjectOnTheLine = 1.3;
constexpr double bytesPerMeasurement = 9;
constexpr double lineBytesPerSecond = 115200.0 / 10;
constexpr double goalShare = 0.03;

const QDateTime firstMeasurement(QDate(2024, 1, 1), QTime(6, 0));

QDateTime measurementTime(int index)
{
    return firstMeasurement.addSecs(qint64(index) * 3 * 3600);
}

struct Figures {
    qint64 calls = 0;
    double seconds = 0;
    double cpuSeconds =
        0; // of this process: what the figures would be on an idle machine, less the disk waits
    double callsPerSecond() const { return calls / seconds; }
    Figures scaled(double factor) const
    {
        return {qint64(calls * factor), seconds * factor, cpuSeconds * factor};
    }
};

enum class Commit { EveryCall, EveryObject };

Figures importThroughProcedures(store::Connection &connection, int objects, int measurements, Commit commit)
{
    std::optional<store::ImportTransaction> transaction;
    if (commit == Commit::EveryObject)
        transaction.emplace(connection);
    store::StoredProcedure object(connection, QStringLiteral("P_UPDATEOBIEKT_TEMP"));
    store::StoredProcedure result(connection, QStringLiteral("P_WYNIKI_UI"));
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    Figures figures;
    for (int slot = 0; slot < objects; ++slot) {
        object.setParam(1, 3);
        object.setParam(2, slot);
        object.setParam(3, QStringLiteral("Dog %1").arg(slot));
        object.setParam(4, QString());
        object.setParam(5, QString());
        object.setParam(6, 0);
        object.execute();
        const int idob = object.outputInteger(7);
        ++figures.calls;
        for (int i = 0; i < measurements; ++i) {
            result.setParam(1, idob);
            result.setParam(2, measurementTime(i));
            result.setParam(3, 0.0);
            result.setParam(4, double(i % 700));
            result.setParam(5, i * 37 % 0xffffff);
            result.setParam(6, 0);
            result.setParam(7, 0);
            result.setParam(8, QString());
            result.execute();
            ++figures.calls;
        }
        if (transaction)
            transaction->commit();
    }
    transaction.reset();
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return figures;
}

void check(bool ok, const QSqlQuery &query)
{
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
        std::exit(1);
    }
}

// The same rows with plain inserts in a single transaction: what the engine
// can do at best on this machine, without a commit per row.
Figures insertInOneTransaction(store::Connection &connection, int objects, int measurements)
{
    QSqlDatabase database = connection.database();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    Figures figures;
    database.transaction();
    {
        QSqlQuery object(database);
        check(object.prepare(
                  QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, NAZWA_LONG, "
                                 "OPIS, REZI1, REZI2) values (3, ?, ?, '', '', 0, 0) returning IDOB")),
              object);
        QSqlQuery result(database);
        check(result.prepare(QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE1, DANE2, DANE3, DANE4, "
                                            "REZI1, REZC) values (?, ?, 0, ?, ?, 0, 0, '')")),
              result);
        for (int slot = 0; slot < objects; ++slot) {
            object.bindValue(0, slot);
            object.bindValue(1, QStringLiteral("Dog %1").arg(slot));
            check(object.exec() && object.next(), object);
            const int idob = object.value(0).toInt();
            ++figures.calls;
            for (int i = 0; i < measurements; ++i) {
                result.bindValue(0, idob);
                result.bindValue(1, measurementTime(i));
                result.bindValue(2, double(i % 700));
                result.bindValue(3, i * 37 % 0xffffff);
                check(result.exec(), result);
                ++figures.calls;
            }
        }
    }
    database.commit();
    figures.seconds = timer.nsecsElapsed() / 1e9;
    figures.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    return figures;
}

void print(const char *name, const Figures &figures, double lineSeconds)
{
    std::printf("%-42s %7lld calls %8.2f s (CPU %7.2f s) %7.0f calls/s %7.2f %% of the line time\n", name,
                static_cast<long long>(figures.calls), figures.seconds, figures.cpuSeconds,
                figures.callsPerSecond(), 100 * figures.seconds / lineSeconds);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int objects = argc > 1 ? std::atoi(argv[1]) : 255;
    const int measurements = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int sampleObjects = argc > 3 ? std::atoi(argv[3]) : 2;
    const double lineSeconds =
        objects * (secondsPerObjectOnTheLine + measurements * bytesPerMeasurement / lineBytesPerSecond);
    std::printf("Import of %d objects x %d measurements; time on the line about %.0f s\n", objects,
                measurements, lineSeconds);

    TestDatabase imported;
    const Figures first =
        importThroughProcedures(imported.connection(), objects, measurements, Commit::EveryObject);
    print("first import, commit after each object", first, lineSeconds);
    const Figures again =
        importThroughProcedures(imported.connection(), objects, measurements, Commit::EveryObject);
    print("second import, every call a duplicate", again, lineSeconds);

    TestDatabase ceiling;
    const Figures bulk = insertInOneTransaction(ceiling.connection(), objects, measurements);
    print("ceiling: same rows in one transaction", bulk, lineSeconds);

    if (sampleObjects > 0) {
        TestDatabase perCall;
        const Figures firstPerCall =
            importThroughProcedures(perCall.connection(), sampleObjects, measurements, Commit::EveryCall);
        const double scale = double(first.calls) / firstPerCall.calls;
        print("first import, commit after each call (*)", firstPerCall.scaled(scale), lineSeconds);
        const Figures againPerCall =
            importThroughProcedures(perCall.connection(), sampleObjects, measurements, Commit::EveryCall);
        print("second import, commit after each call (*)", againPerCall.scaled(scale), lineSeconds);
        std::printf("(*) measured on %d objects and scaled to %lld calls\n", sampleObjects,
                    static_cast<long long>(first.calls));
        std::printf("commit after each call / after each object: %.0f times slower\n",
                    firstPerCall.seconds * scale / first.seconds);
    }

    std::printf("second / first import time: %.2f (goal: at most 1)\n", again.seconds / first.seconds);
    std::printf("first import / ceiling time: %.2f\n", first.seconds / bulk.seconds);
    const bool met = first.seconds <= goalShare * lineSeconds && again.seconds <= first.seconds;
    std::printf("goal (at most %.0f %% of the line time, second run not slower): %s\n", 100 * goalShare,
                met ? "met" : "NOT met");
    return 0;
}
