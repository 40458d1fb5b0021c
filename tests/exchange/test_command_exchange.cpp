#include "Clock.h"
#include "CommandExchange.h"
#include "FTDIchip.h"
#include "FakeD2xx.h"

#include <QTest>

#include <chrono>

using namespace std::chrono_literals;

namespace
{

// A piece of the reply: bytes that reach the receive queue at a moment
// counted from the write of the command.
struct Piece {
    int atMs;
    QByteArray bytes;
};
using Pieces = QList<Piece>;

QByteArray bytes(int count, char first = 'a')
{
    QByteArray result;
    for (int i = 0; i < count; ++i)
        result.append(static_cast<char>(first + i % 26));
    return result;
}

FakeD2xx &fake()
{
    return FakeD2xx::instance();
}

} // namespace

Q_DECLARE_METATYPE(Pieces)

// The exchange on simulated time against the scripted chip: every sleep moves
// the clock, and the pieces of a reply are queued when their moment has come.
class TestCommandExchange : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void collectsReplyAsTimingDecides_data();
    void collectsReplyAsTimingDecides();
    void pieceAfterTheSettleDelayIsPurgedByTheNextExchange();
    void failedQueueQueryKeepsThePreviousCount();
    void refusedPurgeOrWriteEndsAtOnce_data();
    void refusedPurgeOrWriteEndsAtOnce();
    void closedChipGivesEmptyReply();

private:
    std::int64_t elapsedMs() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(clock_->elapsed()).count();
    }
    void schedule(const Pieces &pieces);

    std::unique_ptr<platform::SimulatedClock> clock_;
    std::unique_ptr<tftdichip> chip_;
    // When and for how many bytes the exchange read.
    std::int64_t readAtMs_ = -1;
    std::uint64_t readRequested_ = 0;
};

void TestCommandExchange::init()
{
    fake().reset();
    fake().addDevice({"PP000001", "QEV", 5, 0x04036001, 0, 0});
    clock_ = std::make_unique<platform::SimulatedClock>();
    clock_->setObserver([this](platform::Clock::TimePoint) { fake().deliverUntil(elapsedMs()); });
    chip_ = std::make_unique<tftdichip>();
    QVERIFY(chip_->openDeviceBySerial("PP000001"));
    readAtMs_ = -1;
    fake().setHook([this](const FakeD2xx::Call &call) {
        if (call.function == "FT_Read") {
            readAtMs_ = elapsedMs();
            readRequested_ = call.args.value(0);
        }
    });
    fake().clearCalls();
}

void TestCommandExchange::cleanup()
{
    fake().setHook({});
    chip_.reset();
    fake().reset();
}

void TestCommandExchange::schedule(const Pieces &pieces)
{
    for (const Piece &piece : pieces)
        fake().scheduleReceived(piece.atMs, piece.bytes);
}

// The command is written at 0 ms. Each pass queries the queue, then sleeps
// 10 ms, so bytes queued at 5 ms are seen by the query at 10 ms and count
// as growth at 20 ms. The read comes 300 ms after the wait ends.
void TestCommandExchange::collectsReplyAsTimingDecides_data()
{
    QTest::addColumn<int>("expected");
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("readRequested");
    QTest::addColumn<int>("readAtMs");
    QTest::addColumn<int>("leftQueued");

    const QByteArray seventeen = bytes(17);
    QTest::newRow("identify, 17 bytes at once")
        << 17 << Pieces{{5, seventeen}} << seventeen << 22 << 320 << 0;
    QTest::newRow("identify, burst of 20") << 17 << Pieces{{5, bytes(20)}} << bytes(20) << 22 << 320 << 0;
    QTest::newRow("identify, burst of 30: first 22 read, 8 stay")
        << 17 << Pieces{{5, bytes(30)}} << bytes(30).first(22) << 22 << 320 << 8;
    QTest::newRow("identify, 10 then silence: ends 1 s after them")
        << 17 << Pieces{{5, bytes(10)}} << bytes(10) << 22 << 1330 << 0;
    QTest::newRow("identify in two pieces within the limit")
        << 17 << Pieces{{5, bytes(10)}, {700, bytes(7, 'k')}} << bytes(10) + bytes(7, 'k') << 22 << 1010 << 0;
    QTest::newRow("bytes during the settle delay are read but not kept")
        << 17 << Pieces{{5, seventeen}, {100, "xyz"}} << seventeen << 22 << 320 << 0;
    QTest::newRow("until silence, pieces 0.5 s apart")
        << 0 << Pieces{{5, bytes(25)}, {505, bytes(25, 'b')}, {1005, bytes(25, 'c')}}
        << bytes(25) + bytes(25, 'b') + bytes(25, 'c') << 80 << 2330 << 0;
    QTest::newRow("until silence, a piece more than 1 s later comes in the settle delay")
        << 0 << Pieces{{5, bytes(10)}, {1200, bytes(10, 'q')}} << bytes(10) << 15 << 1330 << 5;
    QTest::newRow("until silence, a slow reply is collected whole")
        << 0 << Pieces{{5, "a"}, {905, "b"}, {1805, "c"}, {2705, "d"}} << QByteArray("abcd") << 9 << 4030
        << 0;
    QTest::newRow("nothing answers identify") << 17 << Pieces{} << QByteArray() << 22 << 1310 << 0;
    QTest::newRow("nothing answers, until silence") << 0 << Pieces{} << QByteArray() << 5 << 1310 << 0;
    QTest::newRow("a negative count collects until silence")
        << -3 << Pieces{{5, bytes(10)}} << bytes(10) << 15 << 1330 << 0;
}

void TestCommandExchange::collectsReplyAsTimingDecides()
{
    QFETCH(int, expected);
    QFETCH(Pieces, pieces);
    QFETCH(QByteArray, reply);
    QFETCH(int, readRequested);
    QFETCH(int, readAtMs);
    QFETCH(int, leftQueued);

    schedule(pieces);
    CommandExchange exchange(*chip_, *clock_);
    const QByteArray command("M\x0D\x0D", 3);
    QCOMPARE(exchange.send(command, expected), reply);

    QCOMPARE(fake().written(), command);
    QCOMPARE(fake().calls("FT_Write").size(), 1);
    const QList<QByteArray> order = fake().functionNames();
    QCOMPARE(order.first(), QByteArray("FT_Purge"));
    QCOMPARE(fake().calls("FT_Purge").first().args, QList<std::uint64_t>{FT_PURGE_RX});
    QCOMPARE(order.at(1), QByteArray("FT_Write"));
    QCOMPARE(order.last(), QByteArray("FT_Read"));
    QCOMPARE(fake().calls("FT_Read").size(), 1);
    QCOMPARE(readRequested_, std::uint64_t(readRequested));
    QCOMPARE(readAtMs_, readAtMs);
    QCOMPARE(fake().receiveQueue().size(), leftQueued);
}

void TestCommandExchange::pieceAfterTheSettleDelayIsPurgedByTheNextExchange()
{
    // A tail that comes after the first read must not open the next reply.
    schedule({{5, bytes(10)}, {1500, "late"}});
    CommandExchange exchange(*chip_, *clock_);
    QCOMPARE(exchange.send("L\r", 0), bytes(10));
    clock_->advance(300ms);
    QCOMPARE(fake().receiveQueue(), QByteArray("late"));

    const std::int64_t secondStart = elapsedMs();
    schedule({{int(secondStart + 5), "PP CM12345678 1.07"}});
    QCOMPARE(exchange.send("I\r", 17), QByteArray("PP CM12345678 1.07"));
}

void TestCommandExchange::failedQueueQueryKeepsThePreviousCount()
{
    // From 50 ms on the queue cannot be queried: the wait keeps the last
    // count it saw, so the 7 bytes that follow go unseen and the reply is
    // cut to the 10 it counted.
    schedule({{5, bytes(10)}, {60, bytes(7, 'x')}});
    fake().setHook([this](const FakeD2xx::Call &call) {
        if (call.function == "FT_GetQueueStatus" && elapsedMs() >= 50)
            fake().setStatus("FT_GetQueueStatus", FakeD2xx::DeviceNotFound);
        if (call.function == "FT_Read")
            readAtMs_ = elapsedMs();
    });
    CommandExchange exchange(*chip_, *clock_);
    QCOMPARE(exchange.send("L\r", 0), bytes(10));
    QCOMPARE(readAtMs_, 1330);
}

void TestCommandExchange::refusedPurgeOrWriteEndsAtOnce_data()
{
    QTest::addColumn<QByteArray>("refused");
    QTest::addColumn<QList<QByteArray>>("calls");
    QTest::newRow("purge") << QByteArray("FT_Purge") << QList<QByteArray>{"FT_Purge"};
    QTest::newRow("write") << QByteArray("FT_Write") << QList<QByteArray>{"FT_Purge", "FT_Write"};
}

void TestCommandExchange::refusedPurgeOrWriteEndsAtOnce()
{
    QFETCH(QByteArray, refused);
    QFETCH(QList<QByteArray>, calls);
    schedule({{5, bytes(17)}});
    fake().setStatus(refused.constData(), FakeD2xx::DeviceNotFound);
    CommandExchange exchange(*chip_, *clock_);
    QCOMPARE(exchange.send("I\r", 17), QByteArray());
    QCOMPARE(fake().functionNames(), calls);
    QCOMPARE(elapsedMs(), 0);
}

void TestCommandExchange::closedChipGivesEmptyReply()
{
    chip_->closeDevice();
    fake().clearCalls();
    schedule({{5, bytes(17)}});
    CommandExchange exchange(*chip_, *clock_);
    QCOMPARE(exchange.send("I\r", 17), QByteArray());
    QCOMPARE(fake().functionNames(), QList<QByteArray>{"FT_Purge"});
    QCOMPARE(elapsedMs(), 0);
}

QTEST_GUILESS_MAIN(TestCommandExchange)
#include "test_command_exchange.moc"
