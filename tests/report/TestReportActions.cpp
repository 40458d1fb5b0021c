#include "DataRows.h"
#include "Dataset.h"
#include "ReportActions.h"
#include "ReportError.h"
#include "TestDatabase.h"

#include <QPainter>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace
{

const QString ProgramFolder = QStringLiteral(QEV_RESOURCES_DIR "/");
constexpr int DeviceId = 3;

// The chart as the chart window would hand it over: a vector picture of
// the requested size.
QPicture chartOfSize(QSize size)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawRect(QRect(QPoint(), size).adjusted(1, 1, -1, -1));
    painter.drawLine(0, size.height(), size.width(), 0);
    painter.end();
    picture.setBoundingRect(QRect(QPoint(), size));
    return picture;
}

} // namespace

class TestReportActions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> database;
    std::unique_ptr<store::Dataset> objectQuery;
    std::unique_ptr<store::Dataset> resultQuery;
    std::unique_ptr<ReportActions> actions;
    QTemporaryDir out;
    int language = 0;
    bool excel = true;
    bool openOffice = true;
    QList<int> lexiconShown;
    QList<QSize> chartSizes;

    int addObject(int device, const QString &name, int mark, const QString &description = {})
    {
        QSqlQuery query(database->connection().database());
        query.prepare(
            QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, NAZWA_LONG, OPIS, REZI2) "
                           "values (?, ?, ?, ?, ?, ?) returning IDOB"));
        query.addBindValue(device);
        query.addBindValue(1);
        query.addBindValue(name);
        query.addBindValue(name);
        query.addBindValue(description);
        query.addBindValue(mark);
        if (!query.exec() || !query.next())
            qFatal("insert object: %s", qPrintable(query.lastError().text()));
        return query.value(0).toInt();
    }

    void addResult(int object, const QDateTime &when, double reading, int mark, const QString &comment)
    {
        QSqlQuery query(database->connection().database());
        query.prepare(
            QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE2, REZI1, REZC) values (?, ?, ?, ?, ?)"));
        query.addBindValue(object);
        query.addBindValue(when);
        query.addBindValue(reading);
        query.addBindValue(mark);
        query.addBindValue(comment);
        if (!query.exec())
            qFatal("insert result: %s", qPrintable(query.lastError().text()));
    }

    static QDateTime day(int number, int hour = 9)
    {
        return QDateTime(QDate(2024, 2, number), QTime(hour, 0));
    }

    // Two marked objects of the device, one unmarked, one of another device.
    void fillHerd()
    {
        const int luna = addObject(DeviceId, QStringLiteral("Łatka"), 1, QStringLiteral("Suka"));
        addResult(luna, day(2), 350, 1, QStringLiteral("rano"));
        addResult(luna, day(1), 300, 1, QStringLiteral("first"));
        addResult(luna, day(3), 999, 0, QStringLiteral("unmarked result"));
        const int sharik = addObject(DeviceId, QStringLiteral("Шарик"), 1);
        addResult(sharik, day(5, 15), 420, 1, QStringLiteral("вечер"));
        const int hidden = addObject(DeviceId, QStringLiteral("Unmarked dog"), 0);
        addResult(hidden, day(4), 500, 1, QStringLiteral("of an unmarked object"));
        const int other = addObject(DeviceId + 1, QStringLiteral("Other device"), 1);
        addResult(other, day(4), 600, 1, QStringLiteral("of another device"));
    }

    void makeActions(const QString &programPath)
    {
        ReportActions::Program program;
        program.programPath = [programPath] { return programPath; };
        program.deviceId = [] { return DeviceId; };
        program.languageNumber = [this] { return language; };
        program.chartPicture = [this](QSize size) {
            chartSizes << size;
            return chartOfSize(size);
        };
        program.showLexiconInfo = [this](int item) { lexiconShown << item; };
        program.excelInstalled = [this] { return excel; };
        program.openOfficeInstalled = [this] { return openOffice; };
        actions.reset();
        actions = std::make_unique<ReportActions>(*objectQuery, *resultQuery, program);
        actions->frxReport1.setPrintMoment(QDateTime(QDate(2024, 3, 1), QTime(12, 0)));
    }

    QStringList csvLines(const QString &file)
    {
        QFile csv(file);
        if (!csv.open(QIODevice::ReadOnly))
            return {};
        // The lines are in code page 1250 here; compare their ASCII parts.
        QStringList lines;
        for (const QByteArray &line : csv.readAll().split('\n'))
            if (!line.isEmpty())
                lines << QString::fromLatin1(line).trimmed();
        return lines;
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QVERIFY(out.isValid());
    }

    void init()
    {
        database = std::make_unique<TestDatabase>();
        objectQuery = std::make_unique<store::Dataset>(database->connection());
        objectQuery->setObjectName(QStringLiteral("FDQfrxObiekty"));
        resultQuery = std::make_unique<store::Dataset>(database->connection());
        resultQuery->setObjectName(QStringLiteral("FDQfrxWyniki"));
        language = 0;
        excel = openOffice = true;
        lexiconShown.clear();
        chartSizes.clear();
        makeActions(ProgramFolder);
    }

    void cleanup()
    {
        actions.reset();
        resultQuery.reset();
        objectQuery.reset();
        database.reset();
    }

    void templateFollowsTheLanguageNumber_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("file");
        QTest::newRow("English") << 0 << "ZorvQEVrep_en.fr3";
        QTest::newRow("Polish") << 1 << "ZorvQEVrep_pl.fr3";
        QTest::newRow("German") << 2 << "ZorvQEVrep_de.fr3";
        QTest::newRow("French") << 3 << "ZorvQEVrep_fr.fr3";
        QTest::newRow("Spanish") << 4 << "ZorvQEVrep_es.fr3";
        QTest::newRow("Russian") << 5 << "ZorvQEVrep_ru.fr3";
        QTest::newRow("unknown") << 6 << "ZorvQEVrep_en.fr3";
        QTest::newRow("none") << -1 << "ZorvQEVrep_en.fr3";
    }

    void templateFollowsTheLanguageNumber()
    {
        QFETCH(int, number);
        QFETCH(QString, file);
        QCOMPARE(ReportActions::reportTemplateName(number), file);
    }

    // German loads the German file: its column title is German.
    void everyLanguageTemplateListsTheMarkedResults_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("caption");
        QTest::newRow("en") << 0 << "Date and time";
        QTest::newRow("pl") << 1 << "Data i godzina";
        QTest::newRow("de") << 2 << "Datum und Uhrzeit";
        QTest::newRow("fr") << 3 << "Date et heure";
        QTest::newRow("es") << 4 << "Fecha y hora";
        QTest::newRow("ru") << 5 << "Дата и время";
    }

    void everyLanguageTemplateListsTheMarkedResults()
    {
        QFETCH(int, number);
        QFETCH(QString, caption);
        fillHerd();
        language = number;
        actions->PrepareReport();
        actions->frxReport1.prepareReport();
        const std::vector<DataRow> rows = DataRows::ofReport(actions->frxReport1.preparedReport());
        QStringList lines;
        for (const DataRow &row : rows) {
            QStringList cells;
            for (const DataCell &cell : row)
                cells << cell.text;
            lines << cells.join(u'|');
        }
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith(QStringLiteral("Łatka|Suka|") + caption + u'|'));
        QCOMPARE(lines[1], QStringLiteral("01/02/2024 09:00|300|first"));
        QCOMPARE(lines[2], QStringLiteral("02/02/2024 09:00|350|rano"));
        QVERIFY(lines[3].startsWith(QStringLiteral("Шарик||") + caption + u'|'));
        QCOMPARE(lines[4], QStringLiteral("05/02/2024 15:00|420|вечер"));
    }

    void textFileFollowsTheFilterNotTheExtension()
    {
        fillHerd();
        const QString file = out.filePath(QStringLiteral("data.xls"));
        QVERIFY(actions->exportData(file, ReportActions::TextFile));
        const QStringList lines = csvLines(file);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[1], QStringLiteral("01/02/2024 09:00;300;first"));
        QCOMPARE(lines[4].left(20), QStringLiteral("05/02/2024 15:00;420"));
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("unmarked")));
        QVERIFY(!lines.join(u'\n').contains(QStringLiteral("device")));
        QVERIFY(lexiconShown.isEmpty());
    }

    void spreadsheetsFollowTheFilter_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QByteArray>("signature");
        QTest::newRow("Microsoft Excel")
            << int(ReportActions::MicrosoftExcel) << QByteArray::fromHex("D0CF11E0A1B11AE1");
        QTest::newRow("Open Office Calc") << int(ReportActions::OpenOfficeCalc) << QByteArray("PK\x03\x04");
    }

    void spreadsheetsFollowTheFilter()
    {
        QFETCH(int, filter);
        QFETCH(QByteArray, signature);
        fillHerd();
        const QString file = out.filePath(QStringLiteral("data.txt"));
        QVERIFY(actions->exportData(file, filter));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(signature.size()), signature);
    }

    void aMissingOfficeSuiteIsReportedAndNothingIsWritten_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("lexiconItem");
        QTest::newRow("Excel") << int(ReportActions::MicrosoftExcel) << 0;
        QTest::newRow("Calc") << int(ReportActions::OpenOfficeCalc) << 1;
    }

    void aMissingOfficeSuiteIsReportedAndNothingIsWritten()
    {
        QFETCH(int, filter);
        QFETCH(int, lexiconItem);
        fillHerd();
        excel = openOffice = false;
        const QString file = out.filePath(QStringLiteral("refused.%1").arg(filter));
        QVERIFY(!actions->exportData(file, filter));
        QCOMPARE(lexiconShown, QList<int>({lexiconItem}));
        QVERIFY(!QFile::exists(file));
        // The report data were reopened and the template loaded all the
        // same, and a following report works unchanged.
        QVERIFY(objectQuery->isActive());
        QVERIFY(!actions->frxReport1.layout().bands.empty());
        actions->PrepareReport();
        actions->frxReport1.prepareReport();
        QCOMPARE(DataRows::ofReport(actions->frxReport1.preparedReport()).size(), size_t(5));
    }

    void everyMarkedObjectGetsTheSameChart()
    {
        const int first = addObject(DeviceId, QStringLiteral("A"), 1);
        addObject(DeviceId, QStringLiteral("B"), 1);
        addObject(DeviceId, QStringLiteral("C"), 1);
        addResult(first, day(1), 100, 1, QString());
        actions->PrepareReport();
        actions->frxReport1.prepareReport();
        QCOMPARE(chartSizes, QList<QSize>(3, QSize(1031, 377)));
        QList<QByteArray> pictures;
        for (const PreparedPage &page : actions->frxReport1.preparedReport().pages)
            for (const PreparedBand &band : page.bands)
                for (const PreparedItem &item : band.items)
                    if (item.object.name == u"PictureChart" && item.object.hasVectorPicture)
                        pictures << QByteArray(item.object.vectorPicture.data(),
                                               item.object.vectorPicture.size());
        QCOMPARE(pictures.size(), 3);
        QCOMPARE(pictures.count(pictures.first()), 3);
    }

    void onlyTheExactNameGetsTheChart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("charted");
        QTest::newRow("exact") << "PictureChart" << true;
        QTest::newRow("longer") << "PictureChart1" << false;
        QTest::newRow("letter case") << "picturechart" << false;
        QTest::newRow("prefix") << "MyPictureChart" << false;
        QTest::newRow("photo") << "Picture1" << false;
    }

    void onlyTheExactNameGetsTheChart()
    {
        QFETCH(QString, name);
        QFETCH(bool, charted);
        ReportObject object;
        object.kind = ObjectKind::Picture;
        object.name = name;
        object.rect = QRectF(0, 0, 1031.8, 453.9);
        actions->frxReport1BeforePrint(object);
        QCOMPARE(object.hasVectorPicture, charted);
        QCOMPARE(chartSizes, charted ? QList<QSize>{QSize(1031, 453)} : QList<QSize>{});
    }

    void aMissingTemplateStopsBeforeAnythingIsWritten()
    {
        fillHerd();
        QTemporaryDir emptyFolder;
        makeActions(emptyFolder.path() + u'/');
        language = 2;
        const QString pdf = out.filePath(QStringLiteral("never.pdf"));
        try {
            actions->exportPdf(pdf);
            QFAIL("a missing template must fail");
        } catch (const ReportError &error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(QStringLiteral("ZorvQEVrep_de.fr3")));
        }
        QVERIFY(!QFile::exists(pdf));
        actions->frxJPEGExport1.setFileName(out.filePath(QStringLiteral("never.jpg")));
        QVERIFY_THROWS_EXCEPTION(ReportError, actions->PrintChart(true, nullptr));
        QVERIFY(!QFile::exists(actions->frxJPEGExport1.fileName()));
    }

    void noMarkedObjectGivesAnEmptyReport()
    {
        addObject(DeviceId, QStringLiteral("Unmarked"), 0);
        const QString file = out.filePath(QStringLiteral("empty.csv"));
        QVERIFY(actions->exportData(file, ReportActions::TextFile));
        QVERIFY(csvLines(file).isEmpty());
        QVERIFY(resultQuery->isActive());
        QVERIFY(resultQuery->isEmpty());
    }

    void preparingAgainKeepsEachObjectWithItsResults()
    {
        fillHerd();
        actions->PrepareReport();
        actions->frxReport1.prepareReport();
        const std::vector<DataRow> before = DataRows::ofReport(actions->frxReport1.preparedReport());
        // As the preview's page set-up does: the pages again, without the
        // program reopening anything first.
        actions->frxReport1.prepareReport();
        const std::vector<DataRow> after = DataRows::ofReport(actions->frxReport1.preparedReport());
        QCOMPARE(after.size(), before.size());
        for (size_t row = 0; row < after.size(); ++row)
            QCOMPARE(after[row].at(0).text, before[row].at(0).text);
    }

    void pdfOfTheRussianReportHoldsItsTexts()
    {
        fillHerd();
        language = 5;
        const QString file = out.filePath(QStringLiteral("отчёт.pdf"));
        actions->exportPdf(file);
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        QVERIFY(pdftotext.waitForFinished());
        const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
        for (const QString &expected :
             {QStringLiteral("Шарик"), QStringLiteral("Łatka"), QStringLiteral("Дата и время"),
              QStringLiteral("вечер"), QStringLiteral("Страница 1 из 2")})
            QVERIFY2(text.contains(expected), qPrintable(expected + u'\n' + text));
        QVERIFY(!text.contains(QStringLiteral("unmarked")));
    }

    void chartTemplateShowsThePositionedObject()
    {
        fillHerd();
        objectQuery->setParam(QStringLiteral("IDDEV"), DeviceId);
        objectQuery->open();
        QVERIFY(objectQuery->locate(QStringLiteral("IDOB"), 2));
        actions->frxJPEGExport1.setFileName(out.filePath(QStringLiteral("chart.jpg")));
        actions->PrintChart(true, nullptr);
        QCOMPARE(QImage(actions->frxJPEGExport1.fileName()).size(), QSize(1123, 794));
        const PreparedPage &page = actions->frxReport1.preparedReport().pages.at(0);
        QCOMPARE(page.bands.at(0).items.at(1).object.text, QStringLiteral("Шарик"));
        QCOMPARE(chartSizes.size(), 1);
    }
};

QTEST_MAIN(TestReportActions)
#include "TestReportActions.moc"
