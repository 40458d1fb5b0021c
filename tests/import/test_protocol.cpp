#include "AnsiText.h"
#include "QevProtocol.h"

#include <QStringDecoder>
#include <QTest>

#include <cstdlib>
#include <ctime>

using namespace QevProtocol;

namespace
{

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

// One 25-byte object entry: the index, the name field padded with zero
// bytes to 20, and four reserved bytes.
QByteArray objectEntry(std::uint8_t index, QByteArray nameField, QByteArray reserved = QByteArray(4, '\x55'))
{
    nameField.resize(ObjectNameSize, '\0');
    return static_cast<char>(index) + nameField + reserved;
}

std::uint16_t packDate(int year, int month, int day)
{
    return static_cast<std::uint16_t>((year - 1999) << 9 | month << 5 | day);
}

std::uint16_t packTime(int hour, int minute, int secondsHalved)
{
    return static_cast<std::uint16_t>(hour << 11 | minute << 5 | secondsHalved);
}

MeasurementEntry measurementEntry(std::uint32_t data, std::uint16_t date, std::uint16_t time,
                                  std::uint16_t result)
{
    return {static_cast<std::uint8_t>(data),       static_cast<std::uint8_t>(data >> 8),
            static_cast<std::uint8_t>(data >> 16), static_cast<std::uint8_t>(date),
            static_cast<std::uint8_t>(date >> 8),  static_cast<std::uint8_t>(time),
            static_cast<std::uint8_t>(time >> 8),  static_cast<std::uint8_t>(result),
            static_cast<std::uint8_t>(result >> 8)};
}

// Sets the process's time zone for one test and puts the old one back.
class TimeZoneOverride
{
public:
    explicit TimeZoneOverride(const char *zone)
        : previous_(qgetenv("TZ")), hadPrevious_(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneOverride()
    {
        if (hadPrevious_)
            qputenv("TZ", previous_);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray previous_;
    bool hadPrevious_;
};

} // namespace

Q_DECLARE_METATYPE(AnsiText::CodePage)

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void commands_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("identify") << identifyCommand() << bytes({0x49, 0x0D});
        QTest::newRow("object list") << objectListCommand() << bytes({0x4C, 0x0D});
        QTest::newRow("measurements of 0x00") << measurementCommand(0x00) << bytes({0x4D, 0x00, 0x0D});
        QTest::newRow("measurements of 0x0D") << measurementCommand(0x0D) << bytes({0x4D, 0x0D, 0x0D});
        QTest::newRow("measurements of 0x2A") << measurementCommand(0x2A) << bytes({0x4D, 0x2A, 0x0D});
        QTest::newRow("measurements of 0xFF") << measurementCommand(0xFF) << bytes({0x4D, 0xFF, 0x0D});
    }
    void commands()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        QCOMPARE(command, expected);
    }

    void identify_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("serialNumber");
        QTest::addColumn<QString>("firmwareVersion");
        const QByteArray reply17 = "PP CM123456xV1.2!";
        QTest::newRow("17 characters") << reply17 << true << "CM123456"
                                       << "V1.2";
        QTest::newRow("longer reply") << reply17 + "trailing\0bytes" << true << "CM123456"
                                      << "V1.2";
        QTest::newRow("zero bytes in unread positions")
            << bytes({'P', 'P', ' ', 'C', 'M', '0', '0', '0', '0', '0', '7', 0, '0', '1', '0', '5', 0})
            << true << "CM000007"
            << "0105";
        QTest::newRow("16 characters") << reply17.first(16) << false << ""
                                       << "";
        QTest::newRow("empty") << QByteArray() << false << ""
                               << "";
        QTest::newRow("prefix alone") << QByteArray("PP CM") << false << ""
                                      << "";
        QTest::newRow("lower-case prefix") << QByteArray("pp cm123456xV1.2!") << false << ""
                                           << "";
        QTest::newRow("prefix with a leading blank") << QByteArray(" PP CM123456xV1.2!") << false << ""
                                                     << "";
        for (int position = 0; position < 5; ++position) {
            QByteArray changed = reply17;
            changed[position] = 'X';
            QTest::addRow("prefix character %d changed", position + 1) << changed << false << ""
                                                                       << "";
        }
    }
    void identify()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, answered);
        const auto identity = checkIdentify(reply);
        QCOMPARE(identity.has_value(), answered);
        if (!identity)
            return;
        QFETCH(QString, serialNumber);
        QFETCH(QString, firmwareVersion);
        QCOMPARE(identity->serialNumber, serialNumber);
        QCOMPARE(identity->firmwareVersion, firmwareVersion);
    }

    void objectListValidity_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("count");
        const QByteArray two = objectEntry(1, "REX") + objectEntry(2, "AIKA");
        QTest::newRow("terminator alone") << QByteArray("*") << true << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("24 bytes ending in *") << QByteArray(23, 'A') + '*' << true << 0;
        QTest::newRow("51 bytes ending in *") << two + '*' << true << 2;
        QTest::newRow("50 bytes, last reserved byte *") << two.first(49) + '*' << true << 2;
        QTest::newRow("two entries without terminator") << two << false << 0;
        QTest::newRow("ending in a zero byte") << two + '\0' << false << 0;
        QTest::newRow("ending in CR") << two + '\r' << false << 0;
        QTest::newRow("* followed by one byte") << two + "*\n" << false << 0;
    }
    void objectListValidity()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, valid);
        QFETCH(int, count);
        const auto objects = splitObjectList(reply);
        QCOMPARE(objects.has_value(), valid);
        if (objects)
            QCOMPARE(objects->size(), count);
    }

    void objectEntries_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("short name, garbage after its zero")
            << objectEntry(
                   7, bytes({'R', 'E', 'X', 0, 'G', 'A', 'R', 'B', 'A', 'G', 'E', 1, 2, 3, 4, 5, 6, 7, 8, 9}))
            << 7 << "REX";
        QTest::newRow("20 characters, no zero byte")
            << objectEntry(8, "ABCDEFGHIJKLMNOPQRST") << 8 << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("empty name") << objectEntry(9, QByteArray()) << 9 << "";
        QTest::newRow("index 0x00") << objectEntry(0x00, "ZERO") << 0x00 << "ZERO";
        QTest::newRow("index 0x0D") << objectEntry(0x0D, "CR") << 0x0D << "CR";
        QTest::newRow("index 0x2A") << objectEntry(0x2A, "STAR") << 0x2A << "STAR";
        QTest::newRow("index 0xFF") << objectEntry(0xFF, "LAST") << 0xFF << "LAST";
        QTest::newRow("reserved bytes not read")
            << objectEntry(3, "BELLA", QByteArray(4, '\0')) << 3 << "BELLA";
    }
    void objectEntries()
    {
        QFETCH(QByteArray, entry);
        QFETCH(int, index);
        QFETCH(QString, name);
        const auto objects = splitObjectList(entry + '*');
        QVERIFY(objects);
        QCOMPARE(objects->size(), 1);
        QCOMPARE(objects->front().index, index);
        QCOMPARE(objects->front().name, name);
    }

    void objectEntriesKeepReplyOrder()
    {
        const auto objects = splitObjectList(objectEntry(5, "FIRST") + objectEntry(1, "SECOND") +
                                             objectEntry(5, "THIRD") + '*');
        QVERIFY(objects);
        QCOMPARE(objects->size(), 3);
        QCOMPARE(objects->at(0).name, "FIRST");
        QCOMPARE(objects->at(1).index, 1);
        QCOMPARE(objects->at(1).name, "SECOND");
        QCOMPARE(objects->at(2).name, "THIRD");
    }

    // The test runs with the Polish regional settings (see main), so names
    // decode with code page 1250.
    void objectNamesUseTheActiveCodePage()
    {
        QCOMPARE(AnsiText::activeCodePage(), AnsiText::CodePage::Windows1250);
        const auto objects = splitObjectList(objectEntry(1, "\xA3\xF3\x64\x9F \x8C\x77i\xEA\x74\x79") + '*');
        QVERIFY(objects);
        QCOMPARE(objects->front().name, QStringLiteral(u"Łódź Święty"));
    }

    void measurementSplit_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("8 bytes") << 8 << 0;
        QTest::newRow("9 bytes") << 9 << 1;
        QTest::newRow("17 bytes") << 17 << 1;
        QTest::newRow("18 bytes") << 18 << 2;
        QTest::newRow("900 bytes") << 900 << 100;
    }
    void measurementSplit()
    {
        QFETCH(int, length);
        QFETCH(int, count);
        QByteArray reply(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            reply[i] = static_cast<char>(i);
        const auto entries = splitMeasurements(reply);
        QCOMPARE(entries.size(), count);
        for (int i = 0; i < entries.size(); ++i)
            for (int b = 0; b < MeasurementEntrySize; ++b)
                QCOMPARE(entries[i][b], static_cast<std::uint8_t>(i * MeasurementEntrySize + b));
    }

    void decodeValues_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<uint>("dataValue");
        QTest::addColumn<int>("result");
        QTest::addColumn<QDateTime>("timestamp");
        QTest::newRow("worked example")
            << bytes({0x01, 0x02, 0x03, 0xA3, 0x28, 0xAB, 0x74, 0x2C, 0x01}) << 197121u << 300
            << QDateTime(QDate(2019, 5, 3), QTime(14, 37, 22), Qt::UTC);
        QTest::newRow("first day of the range")
            << bytes({0x00, 0x00, 0x00, 0x21, 0x00, 0x00, 0x00, 0xFF, 0xFF}) << 0u << -1
            << QDateTime(QDate(1999, 1, 1), QTime(0, 0, 0), Qt::UTC);
        QTest::newRow("largest values")
            << bytes({0xFF, 0xFF, 0xFF, 0x9F, 0xFF, 0x7D, 0xBF, 0xFF, 0x7F}) << 16777215u << 32767
            << QDateTime(QDate(2126, 12, 31), QTime(23, 59, 58), Qt::UTC);
        QTest::newRow("most negative result")
            << bytes({0x10, 0x00, 0x00, 0xA3, 0x28, 0x00, 0x00, 0x00, 0x80}) << 16u << -32768
            << QDateTime(QDate(2019, 5, 3), QTime(0, 0, 0), Qt::UTC);
    }
    void decodeValues()
    {
        QFETCH(QByteArray, raw);
        QFETCH(uint, dataValue);
        QFETCH(int, result);
        QFETCH(QDateTime, timestamp);
        const auto entries = splitMeasurements(raw);
        QCOMPARE(entries.size(), 1);
        const Measurement measurement = decodeMeasurement(entries.front());
        QCOMPARE(measurement.dataValue, dataValue);
        QCOMPARE(measurement.result, result);
        QCOMPARE(static_cast<float>(measurement.result), static_cast<float>(result));
        QVERIFY(measurement.timestamp);
        QCOMPARE(measurement.timestamp->date(), timestamp.date());
        QCOMPARE(measurement.timestamp->time(), timestamp.time());
        QCOMPARE(measurement.timestamp->time().msec(), 0);
    }

    void dateAndTimeValidity_data()
    {
        QTest::addColumn<int>("dateWord");
        QTest::addColumn<int>("timeWord");
        QTest::addColumn<bool>("valid");
        const int noon = packTime(12, 0, 0);
        const int someDay = packDate(2020, 6, 15);
        QTest::newRow("day 0") << int(packDate(2020, 6, 0)) << noon << false;
        QTest::newRow("month 0") << int(packDate(2020, 0, 15)) << noon << false;
        QTest::newRow("month 13") << int(packDate(2020, 13, 15)) << noon << false;
        QTest::newRow("month 15 (word 0xFFFF)") << 0xFFFF << noon << false;
        QTest::newRow("30 February") << int(packDate(2020, 2, 30)) << noon << false;
        QTest::newRow("31 April") << int(packDate(2021, 4, 31)) << noon << false;
        QTest::newRow("29 February 2000") << int(packDate(2000, 2, 29)) << noon << true;
        QTest::newRow("29 February 2024") << int(packDate(2024, 2, 29)) << noon << true;
        QTest::newRow("29 February 2023") << int(packDate(2023, 2, 29)) << noon << false;
        QTest::newRow("29 February 2100") << int(packDate(2100, 2, 29)) << noon << false;
        QTest::newRow("31 December") << int(packDate(2099, 12, 31)) << noon << true;
        QTest::newRow("hour 24") << someDay << int(packTime(24, 0, 0)) << false;
        QTest::newRow("hour 31") << someDay << int(packTime(31, 0, 0)) << false;
        QTest::newRow("minute 60") << someDay << int(packTime(10, 60, 0)) << false;
        QTest::newRow("minute 63") << someDay << int(packTime(10, 63, 0)) << false;
        QTest::newRow("60 seconds") << someDay << int(packTime(10, 10, 30)) << false;
        QTest::newRow("62 seconds") << someDay << int(packTime(10, 10, 31)) << false;
        QTest::newRow("58 seconds") << someDay << int(packTime(10, 10, 29)) << true;
        QTest::newRow("midnight") << someDay << int(packTime(0, 0, 0)) << true;
        QTest::newRow("invalid date, valid time")
            << int(packDate(2020, 2, 30)) << int(packTime(1, 2, 3)) << false;
    }
    void dateAndTimeValidity()
    {
        QFETCH(int, dateWord);
        QFETCH(int, timeWord);
        QFETCH(bool, valid);
        const auto measurement = decodeMeasurement(measurementEntry(500, dateWord, timeWord, 42));
        QCOMPARE(measurement.timestamp.has_value(), valid);
        QCOMPARE(measurement.dataValue, 500u);
        QCOMPARE(measurement.result, 42);
    }

    // The instrument keeps no time zone: a reading taken in the hour that a
    // daylight-saving change skips or repeats on the PC keeps its own time.
    void timestampIgnoresDaylightSaving_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::newRow("skipped hour") << QDate(2019, 3, 31) << QTime(2, 30, 30);
        QTest::newRow("repeated hour") << QDate(2019, 10, 27) << QTime(2, 30, 30);
    }
    void timestampIgnoresDaylightSaving()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        const TimeZoneOverride warsaw("Europe/Warsaw");
        const auto measurement =
            decodeMeasurement(measurementEntry(1, packDate(date.year(), date.month(), date.day()),
                                               packTime(time.hour(), time.minute(), time.second() / 2), 1));
        QVERIFY(measurement.timestamp);
        QVERIFY(measurement.timestamp->isValid());
        QCOMPARE(measurement.timestamp->date(), date);
        QCOMPARE(measurement.timestamp->time(), time);
    }

    void codePageForLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<AnsiText::CodePage>("codePage");
        using AnsiText::CodePage;
        QTest::newRow("Polish") << "pl_PL" << CodePage::Windows1250;
        QTest::newRow("Czech") << "cs_CZ" << CodePage::Windows1250;
        QTest::newRow("Hungarian") << "hu_HU" << CodePage::Windows1250;
        QTest::newRow("Croatian") << "hr_HR" << CodePage::Windows1250;
        QTest::newRow("Serbian, Latin script") << "sr_Latn_RS" << CodePage::Windows1250;
        QTest::newRow("Serbian, Cyrillic script") << "sr_Cyrl_RS" << CodePage::Windows1251;
        QTest::newRow("Russian") << "ru_RU" << CodePage::Windows1251;
        QTest::newRow("Ukrainian") << "uk_UA" << CodePage::Windows1251;
        QTest::newRow("Bulgarian") << "bg_BG" << CodePage::Windows1251;
        QTest::newRow("English") << "en_US" << CodePage::Windows1252;
        QTest::newRow("German") << "de_DE" << CodePage::Windows1252;
        QTest::newRow("French") << "fr_FR" << CodePage::Windows1252;
        QTest::newRow("Spanish") << "es_ES" << CodePage::Windows1252;
        QTest::newRow("C locale") << "C" << CodePage::Windows1252;
    }
    void codePageForLocale()
    {
        QFETCH(QString, locale);
        QFETCH(AnsiText::CodePage, codePage);
        QCOMPARE(AnsiText::codePageFor(QLocale(locale)), codePage);
    }

    void decodeKnownText_data()
    {
        QTest::addColumn<AnsiText::CodePage>("codePage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        using AnsiText::CodePage;
        QTest::newRow("1250") << CodePage::Windows1250 << QByteArray("\xA3\xF3\x64\x9F \xAF\xF3\xB3w")
                              << QStringLiteral(u"Łódź Żółw");
        QTest::newRow("1251") << CodePage::Windows1251 << QByteArray("\xC1\xE0\xF0\xE1\xEE\xF1 \xA8\xB8")
                              << QStringLiteral(u"Барбос Ёё");
        QTest::newRow("1252") << CodePage::Windows1252 << QByteArray("M\xFCller \x80\x39")
                              << QStringLiteral(u"Müller €9");
        QTest::newRow("control bytes kept") << CodePage::Windows1252 << bytes({'A', 0x01, 0x1F, 'B'})
                                            << QString("A\x01\x1F"
                                                       "B");
    }
    void decodeKnownText()
    {
        QFETCH(AnsiText::CodePage, codePage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(AnsiText::decode(bytes, codePage), text);
    }

    // Every byte value decodes to exactly one character, the same one an
    // independent decoder gives, and an undefined byte neither stops the
    // text nor turns into a replacement character.
    void decodeEveryByte_data()
    {
        QTest::addColumn<AnsiText::CodePage>("codePage");
        QTest::addColumn<QByteArray>("decoderName");
        using AnsiText::CodePage;
        QTest::newRow("1250") << CodePage::Windows1250 << QByteArray("windows-1250");
        QTest::newRow("1251") << CodePage::Windows1251 << QByteArray("windows-1251");
        QTest::newRow("1252") << CodePage::Windows1252 << QByteArray("windows-1252");
    }
    void decodeEveryByte()
    {
        QFETCH(AnsiText::CodePage, codePage);
        QFETCH(QByteArray, decoderName);
        QStringDecoder reference(decoderName.constData());
        if (!reference.isValid())
            QSKIP("Qt was built without the ICU code-page decoders");
        for (int value = 0; value < 256; ++value) {
            const QByteArray text = QByteArray(1, static_cast<char>(value)) + "ok";
            const QString decoded = AnsiText::decode(text, codePage);
            QCOMPARE(decoded.size(), 3);
            QVERIFY2(decoded[0] != QChar::ReplacementCharacter, qPrintable(QString::number(value, 16)));
            QCOMPARE(decoded.mid(1), "ok");
            QCOMPARE(decoded, reference.decode(text));
        }
    }
};

int main(int argc, char **argv)
{
    // Names decode with the code page of the regional settings; run with
    // Polish ones so that the choice shows.
    qputenv("LC_ALL", "pl_PL.UTF-8");
    QCoreApplication app(argc, argv);
    TestProtocol test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_protocol.moc"
