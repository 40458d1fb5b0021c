#include "DemoHerd.h"
#include "HerdFile.h"
#include "InstrumentEngine.h"
#include "InstrumentOptions.h"
#include "InstrumentReplies.h"
#include "QevProtocol.h"

#include <QTest>

using AnsiText::CodePage;

namespace
{

const QDate Today(2026, 12, 11);

InstrumentEngine engineWith(InstrumentFault fault, Herd herd = demoHerd(Today, CodePage::Windows1252))
{
    return InstrumentEngine(std::move(herd), "CM000042", "1.07", fault);
}

QByteArray replyTo(InstrumentEngine &engine, const QByteArray &command)
{
    const QList<InstrumentAnswer> answers = engine.receive(command);
    return answers.size() == 1 ? answers.first().reply : QByteArray("no single answer");
}

QList<QevProtocol::Measurement> decodeAll(const QByteArray &reply)
{
    QList<QevProtocol::Measurement> decoded;
    for (const auto &entry : QevProtocol::splitMeasurements(reply))
        decoded.append(QevProtocol::decodeMeasurement(entry));
    return decoded;
}

} // namespace

// The instrument's side of the protocol, checked against the program's own
// decoders: whatever the instrument sends must read back as it was meant.
class TestInstrument : public QObject
{
    Q_OBJECT

private slots:
    void identifyReplyIsAccepted();
    void repliesRoundTripThroughTheDecoders_data();
    void repliesRoundTripThroughTheDecoders();
    void demoHerdHasTheAdvertisedShape();
    void commandsAreRecognised_data();
    void commandsAreRecognised();
    void partialCommandCanBeDiscarded();
    void faultsChangeTheReplies_data();
    void faultsChangeTheReplies();
    void herdFileReadsBack();
    void herdFileErrorsNameTheLine_data();
    void herdFileErrorsNameTheLine();
    void optionsAreChecked_data();
    void optionsAreChecked();
    void optionsTakeTheirValues();
};

void TestInstrument::identifyReplyIsAccepted()
{
    InstrumentEngine engine = engineWith(InstrumentFault::None);
    const QByteArray reply = replyTo(engine, "I\r");
    QCOMPARE(reply.size(), 17);
    const auto identity = QevProtocol::checkIdentify(reply);
    QVERIFY(identity);
    QCOMPARE(identity->serialNumber, QStringLiteral("CM000042"));
    QCOMPARE(identity->firmwareVersion, QStringLiteral("1.07"));
}

void TestInstrument::repliesRoundTripThroughTheDecoders_data()
{
    QTest::addColumn<CodePage>("codePage");
    QTest::addColumn<QString>("someName");
    QTest::newRow("1250") << CodePage::Windows1250 << QStringLiteral("Łatka");
    QTest::newRow("1251") << CodePage::Windows1251 << QStringLiteral("Жучка");
    QTest::newRow("1252") << CodePage::Windows1252 << QStringLiteral("Bärbel");
}

void TestInstrument::repliesRoundTripThroughTheDecoders()
{
    QFETCH(CodePage, codePage);
    QFETCH(QString, someName);
    const Herd herd = demoHerd(Today, codePage);
    InstrumentEngine engine = engineWith(InstrumentFault::None, herd);

    const auto objects = QevProtocol::splitObjectList(replyTo(engine, "L\r"));
    QVERIFY(objects);
    QCOMPARE(objects->size(), herd.objects.size());
    // The program decodes names with the PC's code page; the instrument's
    // bytes read back as the intended names in the instrument's code page.
    QStringList names;
    for (qsizetype i = 0; i < objects->size(); ++i) {
        QCOMPARE(objects->at(i).index, herd.objects[i].index);
        QCOMPARE(objects->at(i).name, AnsiText::decode(herd.objects[i].name));
        names.append(AnsiText::decode(herd.objects[i].name, codePage));
    }
    QVERIFY2(names.contains(someName), qPrintable(names.join(", ")));

    for (const HerdObject &object : herd.objects) {
        const QByteArray command = "M" + QByteArray(1, char(object.index)) + "\r";
        const auto decoded = decodeAll(replyTo(engine, command));
        QCOMPARE(decoded.size(), object.measurements.size());
        for (qsizetype i = 0; i < decoded.size(); ++i) {
            QCOMPARE(decoded[i].result, object.measurements[i].result);
            QCOMPARE(decoded[i].dataValue, object.measurements[i].dataValue);
        }
    }
    // An index the instrument does not hold has no measurements.
    QCOMPARE(replyTo(engine, QByteArray("M\xFE\r")), QByteArray());
}

void TestInstrument::demoHerdHasTheAdvertisedShape()
{
    const Herd herd = demoHerd(Today, CodePage::Windows1250);
    QCOMPARE(herd.objects.size(), 12);
    QVERIFY(herd.find(0x00));
    QVERIFY(herd.find(0x0D));
    QVERIFY(herd.measurementCount() >= 200 && herd.measurementCount() <= 700);

    int invalid = 0, mornings = 0, afternoons = 0, withoutReadings = 0, fullNames = 0;
    for (const HerdObject &object : herd.objects) {
        withoutReadings += object.measurements.isEmpty();
        fullNames += object.name.size() == 20 && !object.name.contains('\0');
        for (const auto &m : decodeAll(InstrumentReplies::measurements(object))) {
            if (!m.timestamp) {
                ++invalid;
                continue;
            }
            const QDateTime when = *m.timestamp;
            QVERIFY2(when.date() < Today && when.date() > Today.addDays(-220), qPrintable(when.toString()));
            QVERIFY(m.result > 0 && m.result < 1200);
            (when.time().hour() < 12 ? mornings : afternoons)++;
        }
    }
    QCOMPARE(invalid, 2);
    QCOMPARE(withoutReadings, 1);
    QCOMPARE(fullNames, 1);
    QVERIFY(mornings > 50 && afternoons > 50);
    // The same inputs give the same herd; another seed another one.
    QCOMPARE(InstrumentReplies::objectList(demoHerd(Today, CodePage::Windows1250)),
             InstrumentReplies::objectList(herd));
    QCOMPARE(InstrumentReplies::measurements(demoHerd(Today, CodePage::Windows1250).objects[3]),
             InstrumentReplies::measurements(herd.objects[3]));
    QVERIFY(InstrumentReplies::measurements(demoHerd(Today, CodePage::Windows1250, 2).objects[3]) !=
            InstrumentReplies::measurements(herd.objects[3]));
}

void TestInstrument::commandsAreRecognised_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<int>("stray");
    QTest::newRow("identify") << QList<QByteArray>{"I\r"} << QStringList{"I"} << 0;
    QTest::newRow("object list") << QList<QByteArray>{"L\r"} << QStringList{"L"} << 0;
    QTest::newRow("index 0x0D") << QList<QByteArray>{"M\r\r"} << QStringList{"M 13"} << 0;
    QTest::newRow("index 0x00") << QList<QByteArray>{QByteArray("M\0\r", 3)} << QStringList{"M 0"} << 0;
    QTest::newRow("split over reads") << QList<QByteArray>{"M", "\x05", "\r"} << QStringList{"M 5"} << 0;
    QTest::newRow("noise before") << QList<QByteArray>{"xyI\r"} << QStringList{"I"} << 2;
    QTest::newRow("broken command then a whole one") << QList<QByteArray>{"IL\r"} << QStringList{"L"} << 1;
    QTest::newRow("two at once") << QList<QByteArray>{"I\rL\r"} << QStringList{"I", "L"} << 0;
    QTest::newRow("lower case is no command") << QList<QByteArray>{"i\r"} << QStringList{} << 2;
}

void TestInstrument::commandsAreRecognised()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, commands);
    QFETCH(int, stray);
    InstrumentEngine engine = engineWith(InstrumentFault::None);
    QStringList seen;
    for (const QByteArray &chunk : chunks)
        for (const InstrumentAnswer &answer : engine.receive(chunk))
            seen.append(answer.command);
    QCOMPARE(seen, commands);
    QCOMPARE(engine.strayBytes(), stray);
}

void TestInstrument::partialCommandCanBeDiscarded()
{
    // A stray "M" on a quiet line must not eat the start of the next command.
    InstrumentEngine engine = engineWith(InstrumentFault::None);
    QVERIFY(engine.receive("M").isEmpty());
    engine.discardPartialCommand();
    const QList<InstrumentAnswer> answers = engine.receive("I\r");
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.first().command, QStringLiteral("I"));
}

void TestInstrument::faultsChangeTheReplies_data()
{
    QTest::addColumn<InstrumentFault>("fault");
    QTest::addColumn<bool>("identified");
    QTest::addColumn<bool>("listValid");
    QTest::addColumn<int>("identifyLength");
    QTest::newRow("none") << InstrumentFault::None << true << true << 17;
    QTest::newRow("silent") << InstrumentFault::Silent << false << false << 0;
    QTest::newRow("short identify") << InstrumentFault::ShortIdentify << false << true << 16;
    QTest::newRow("wrong prefix") << InstrumentFault::WrongPrefix << false << true << 17;
    QTest::newRow("no terminator") << InstrumentFault::NoTerminator << true << false << 17;
    QTest::newRow("garbage") << InstrumentFault::Garbage << false << true << 24;
}

void TestInstrument::faultsChangeTheReplies()
{
    QFETCH(InstrumentFault, fault);
    QFETCH(bool, identified);
    QFETCH(bool, listValid);
    QFETCH(int, identifyLength);
    InstrumentEngine engine = engineWith(fault);
    const QByteArray identify = replyTo(engine, "I\r");
    QCOMPARE(identify.size(), identifyLength);
    QCOMPARE(QevProtocol::checkIdentify(identify).has_value(), identified);
    QCOMPARE(QevProtocol::splitObjectList(replyTo(engine, "L\r")).has_value(), listValid);
}

void TestInstrument::herdFileReadsBack()
{
    const QByteArray file = "# two dogs\n"
                            "object 0x0D Žofka\n"
                            "measurement 2024-02-29 14:37:22 -300 197121\n"
                            "raw 0x0021 0x74AB 32767\n"
                            "\n"
                            "object 200 Bella\n";
    const HerdFileResult result = parseHerd(file, CodePage::Windows1250);
    QVERIFY2(result.herd, qPrintable(result.error));
    InstrumentEngine engine = engineWith(InstrumentFault::None, *result.herd);

    const auto objects = QevProtocol::splitObjectList(replyTo(engine, "L\r"));
    QVERIFY(objects);
    QCOMPARE(objects->size(), 2);
    QCOMPARE(objects->at(0).index, 13);
    QCOMPARE(objects->at(0).name, QStringLiteral("Žofka"));
    QCOMPARE(objects->at(1).index, 200);

    const auto measurements = decodeAll(replyTo(engine, "M\r\r"));
    QCOMPARE(measurements.size(), 2);
    QCOMPARE(measurements[0].timestamp->date(), QDate(2024, 2, 29));
    QCOMPARE(measurements[0].timestamp->time(), QTime(14, 37, 22));
    QCOMPARE(measurements[0].result, -300);
    QCOMPARE(measurements[0].dataValue, 197121u);
    QCOMPARE(measurements[1].timestamp->date(), QDate(1999, 1, 1));
    QCOMPARE(measurements[1].result, 32767);
    QCOMPARE(decodeAll(replyTo(engine, QByteArray("M\xC8\r"))).size(), 0);
}

void TestInstrument::herdFileErrorsNameTheLine_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown item") << QByteArray("object 1 A\ndog 2 B\n") << "line 2: unknown item";
    QTest::newRow("index too big") << QByteArray("object 256 A\n") << "line 1: an object needs an index";
    QTest::newRow("index twice") << QByteArray("object 1 A\nobject 0x01 B\n")
                                 << "line 2: index 1 is used twice";
    QTest::newRow("name of 21") << QByteArray("object 1 ABCDEFGHIJKLMNOPQRSTU\n") << "line 1: the name";
    QTest::newRow("letter outside the code page") << QByteArray("object 1 Жучка\n") << "line 1: the name";
    QTest::newRow("measurement first")
        << QByteArray("measurement 2024-01-01 10:00:00 5\n") << "line 1: a measurement needs an object";
    QTest::newRow("no such date") << QByteArray("object 1 A\nmeasurement 2023-02-29 10:00:00 5\n")
                                  << "line 2: the date";
    QTest::newRow("year 1998") << QByteArray("object 1 A\nmeasurement 1998-12-31 10:00:00 5\n")
                               << "line 2: the date";
    QTest::newRow("result too big") << QByteArray("object 1 A\nmeasurement 2024-01-01 10:00:00 32768\n")
                                    << "line 2: the result";
    QTest::newRow("data too big") << QByteArray("object 1 A\nraw 1 2 3 16777216\n")
                                  << "line 2: the data value";
    QTest::newRow("raw word too big") << QByteArray("object 1 A\nraw 0x10000 2 3\n") << "line 2: raw date";
}

void TestInstrument::herdFileErrorsNameTheLine()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, error);
    const HerdFileResult result = parseHerd(file, CodePage::Windows1252);
    QVERIFY(!result.herd);
    QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
}

void TestInstrument::optionsAreChecked_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("serial without PP") << QStringList{"--serial", "FT123456"} << "--serial";
    QTest::newRow("serial of 4") << QStringList{"--serial", "PP12"} << "--serial";
    QTest::newRow("serial of 16") << QStringList{"--serial", "PP12345678901234"} << "--serial";
    QTest::newRow("firmware of 3") << QStringList{"--firmware", "1.0"} << "--firmware";
    QTest::newRow("code page 1253") << QStringList{"--code-page", "1253"} << "--code-page";
    QTest::newRow("negative baud") << QStringList{"--baud", "-1"} << "--baud";
    QTest::newRow("gap every 0") << QStringList{"--gap-every", "0"} << "--gap-every";
    QTest::newRow("unknown fault") << QStringList{"--fault", "sulk"} << "--fault";
    QTest::newRow("unknown option") << QStringList{"--colour"} << "Unknown option";
}

void TestInstrument::optionsAreChecked()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const ParsedOptions parsed = parseInstrumentOptions(QStringList{"qev-instrument"} + arguments);
    QVERIFY(!parsed.options);
    QVERIFY(!parsed.helpRequested);
    QVERIFY2(parsed.message.contains(error), qPrintable(parsed.message));
}

void TestInstrument::optionsTakeTheirValues()
{
    const ParsedOptions parsed = parseInstrumentOptions(
        {"qev-instrument", "--serial", "PPAB1234567", "--firmware", "2.10", "--baud", "9600", "--gap", "400",
         "--gap-every", "9", "--fault", "hang-up", "--code-page", "1251"});
    QVERIFY2(parsed.options, qPrintable(parsed.message));
    const InstrumentOptions &o = *parsed.options;
    QCOMPARE(o.usbSerial, QByteArray("PPAB1234567"));
    QCOMPARE(o.instrumentSerial(), QByteArray("CM234567"));
    QCOMPARE(o.firmware, QByteArray("2.10"));
    QCOMPARE(o.baudRate, 9600u);
    QCOMPARE(o.gap.count(), 400);
    QCOMPARE(o.gapEvery, 9);
    QCOMPARE(o.fault, InstrumentFault::HangUp);
    QCOMPARE(o.codePage, CodePage::Windows1251);

    const ParsedOptions help = parseInstrumentOptions({"qev-instrument", "--help"});
    QVERIFY(help.helpRequested);
    for (const char *option :
         {"--serial", "--firmware", "--herd", "--baud", "--reply-delay", "--gap", "--fault", "silent",
          "short-identify", "wrong-prefix", "no-terminator", "garbage", "hang-up"})
        QVERIFY2(help.message.contains(QLatin1String(option)), option);
}

QTEST_GUILESS_MAIN(TestInstrument)
#include "test_instrument.moc"
