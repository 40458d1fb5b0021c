#include "AnsiCodePage.h"
#include "Biff8Workbook.h"
#include "CompoundFileWriter.h"
#include "CsvExport.h"
#include "HerdFixture.h"
#include "JpegExport.h"
#include "OdsExport.h"
#include "PdfExport.h"
#include "ReportError.h"
#include "ReportPrinter.h"
#include "SimpleTextExport.h"
#include "XlsExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;

namespace
{

// The system's own Python, where Debian installs xlrd and odfpy.
const QString Python = QStringLiteral("/usr/bin/python3");

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

QJsonArray readWithPython(const char *script, const QString &file, const QStringList &arguments = {})
{
    const QString path = QStringLiteral(QEV_SOURCE_DIR "/tests/report/") + QString::fromLatin1(script);
    return QJsonDocument::fromJson(run(Python, QStringList{path, file} + arguments)).array();
}

std::unique_ptr<ReportExport> exportFor(const QString &format)
{
    if (format == u"pdf")
        return std::make_unique<PdfExport>();
    if (format == u"xls")
        return std::make_unique<XlsExport>();
    if (format == u"ods")
        return std::make_unique<OdsExport>();
    if (format == u"csv")
        return std::make_unique<CsvExport>();
    if (format == u"jpg")
        return std::make_unique<JpegExport>();
    return std::make_unique<SimpleTextExport>();
}

QStringList texts(const QJsonArray &row)
{
    QStringList result;
    for (const QJsonValue &cell : row)
        result << (cell.isDouble() ? QString::number(cell.toDouble()) : cell.toString());
    return result;
}

} // namespace

class TestReportExports : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    static void fillHerd(HerdFixture &herd)
    {
        herd.addObject(1, QStringLiteral("Łatka Źrebna"), QStringLiteral("Suka; \"spokojna\""), 2);
        herd.addObject(2, QStringLiteral("Шарик"), QStringLiteral("Москва\nвторая строка"), 1);
        herd.prepare(HerdTemplate);
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        QVERIFY(dir.isValid());
    }

    void xlsIsAWorkbookThatXlrdReads()
    {
        HerdFixture herd;
        fillHerd(herd);
        XlsExport xls;
        xls.setFileName(path(QStringLiteral("herd.xls")));
        xls.exportReport(herd.engine.preparedReport());

        const QJsonArray sheets = readWithPython("read_xls.py", xls.fileName());
        QCOMPARE(sheets.size(), 1);
        const QJsonArray rows = sheets[0].toArray()[1].toArray();
        QCOMPARE(rows.size(), 5);
        QCOMPARE(texts(rows[0].toArray()).mid(0, 2), QStringList({"Łatka Źrebna", "Suka; \"spokojna\""}));
        QCOMPARE(texts(rows[1].toArray()),
                 QStringList({"date:2024-01-01 08:30", "100", "Łatka Źrebna note 0"}));
        QCOMPARE(rows[2].toArray()[1].toDouble(), 110.0);
        QCOMPARE(texts(rows[3].toArray()).mid(0, 2), QStringList({"Шарик", "Москва\nвторая строка"}));
    }

    // Enough distinct texts to overflow one record of the string table, a
    // text that straddles a record boundary, and more rows than one sheet
    // holds, in a file large enough to need the extra FAT index sectors.
    void largeWorkbooksStayReadable()
    {
        Biff8Workbook::Sheet sheet{QStringLiteral("Big"), {}};
        const QString padding(40, QChar(0x017C) /* ż */);
        for (int row = 0; row < Biff8Workbook::MaxRows + 10; ++row)
            sheet.rows.push_back(
                {{QStringLiteral("row %1 ").arg(row) + padding, {}}, {QString::number(row), row}});
        sheet.rows[3][0].text = QString(5000, QChar(0x042E) /* Ю */);
        const QByteArray file =
            CompoundFileWriter::build(QStringLiteral("Workbook"), Biff8Workbook::build({sheet}));
        QVERIFY(file.size() > 109 * 128 * 512);
        const QString name = path(QStringLiteral("big.xls"));
        QFile out(name);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        const QJsonArray result = readWithPython("read_xls.py", name, {"3", "9", "65535"});
        const QJsonArray first = result[0].toArray();
        QCOMPARE(first[0].toString(), QStringLiteral("Big"));
        QCOMPARE(first[2].toInt(), Biff8Workbook::MaxRows);
        const QJsonArray firstRows = first[1].toArray();
        QCOMPARE(firstRows[0].toArray()[0].toString(), QString(5000, QChar(0x042E) /* Ю */));
        QCOMPARE(firstRows[1].toArray()[0].toString(), QStringLiteral("row 9 ") + padding);
        QCOMPARE(texts(firstRows[2].toArray()),
                 QStringList({QStringLiteral("row 65535 ") + padding, "65535"}));
        const QJsonArray second = result[1].toArray();
        QCOMPARE(second[0].toString(), QStringLiteral("Big (2)"));
        QCOMPARE(second[2].toInt(), 10);
        QCOMPARE(second[1].toArray()[1].toArray()[0].toString(), QStringLiteral("row 65545 ") + padding);
    }

    void odsIsASpreadsheetThatOdfpyReads()
    {
        HerdFixture herd;
        fillHerd(herd);
        OdsExport ods;
        ods.setFileName(path(QStringLiteral("herd.ods")));
        ods.exportReport(herd.engine.preparedReport());

        const QJsonArray tables = readWithPython("read_ods.py", ods.fileName());
        QCOMPARE(tables.size(), static_cast<qsizetype>(herd.engine.preparedReport().pages.size()));
        QCOMPARE(tables[0].toArray()[0].toString(), QStringLiteral("Page 1"));
        const QJsonArray rows = tables[0].toArray()[1].toArray();
        QCOMPARE(rows.size(), 5);
        QCOMPARE(texts(rows[0].toArray()).at(0), QStringLiteral("Łatka Źrebna"));
        QCOMPARE(texts(rows[2].toArray()),
                 QStringList({"date:2024-01-02T15:30:00", "110", "Łatka Źrebna note 1"}));
        QVERIFY(rows[2].toArray()[1].isDouble());
        QCOMPARE(texts(rows[3].toArray()).at(0), QStringLiteral("Шарик"));

        // The mimetype leads the archive, unpacked, as the format demands.
        QFile file(ods.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(90);
        QCOMPARE(head.mid(30, 8), QByteArray("mimetype"));
        QCOMPARE(head.mid(38, 46), QByteArray("application/vnd.oasis.opendocument.spreadsheet"));
    }

    void pdfHoldsTheTextWithEmbeddedFonts()
    {
        HerdFixture herd;
        fillHerd(herd);
        PdfExport pdf;
        pdf.setFileName(path(QStringLiteral("herd.pdf")));
        pdf.exportReport(herd.engine.preparedReport());

        const QString text =
            QString::fromUtf8(run(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")}));
        for (const QString &expected :
             {QStringLiteral("Herd report"), QStringLiteral("Łatka Źrebna"), QStringLiteral("Шарик"),
              QStringLiteral("Москва"), QStringLiteral("Page 1 of 1"), QStringLiteral("05/03/2024, 14:30")})
            QVERIFY2(text.contains(expected),
                     qPrintable(expected + QStringLiteral(" missing from:\n") + text));

        const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {pdf.fileName()}));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12](\\.\\d+)? x 595"))),
                 qPrintable(info));
        const QStringList fonts = QString::fromUtf8(run(QStringLiteral("pdffonts"), {pdf.fileName()}))
                                      .split(u'\n', Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts)
            QVERIFY2(font.contains(QRegularExpression(QStringLiteral("\\byes\\s+(yes|no)\\s+yes\\b"))),
                     qPrintable(font));
    }

    void csvFollowsTheCodePage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Polish in 1250") << 1250 << QStringLiteral("Łatka")
                                        << QByteArray("\xA3"
                                                      "atka");
        QTest::newRow("Russian in 1251")
            << 1251 << QStringLiteral("Шарик") << QByteArray("\xD8\xE0\xF0\xE8\xEA");
        QTest::newRow("German in 1252") << 1252 << QStringLiteral("Bärbel") << QByteArray("B\xE4rbel");
        QTest::newRow("Russian in 1252") << 1252 << QStringLiteral("Шарик") << QByteArray("?????");
    }

    void csvFollowsTheCodePage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QCOMPARE(AnsiCodePage::encode(name, codePage), bytes);
    }

    void csvWritesSemicolonSeparatedDataRows()
    {
        HerdFixture herd;
        fillHerd(herd);
        CsvExport csv;
        csv.setCodePage(1250);
        csv.setFileName(path(QStringLiteral("herd.csv")));
        csv.exportReport(herd.engine.preparedReport());

        QFile file(csv.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 6); // five rows and the end after the last
        QCOMPARE(lines[0], QByteArray("\xA3"
                                      "atka \x8F"
                                      "rebna;\"Suka; \"\"spokojna\"\"\"\r"));
        QCOMPARE(lines[1], QByteArray("01/01/2024 08:30;100;\xA3"
                                      "atka \x8F"
                                      "rebna note 0\r"));
        // Cyrillic is not in code page 1250; the line break inside a value
        // is left out of the line structure.
        QCOMPARE(lines[3], QByteArray("?????;?????? ?????? ??????\r"));
    }

    void jpegShowsWholePages()
    {
        HerdFixture herd;
        herd.prepare(
            R"(<report><page width="100" height="50" orientation="landscape" left="0" top="0" right="0" bottom="0"/>
            <band type="reportTitle" height="50">
            <frame name="Box" left="10" top="10" width="30" height="20" color="black" fill="red"/>
            <gradient name="Shade" left="60" top="10" width="30" height="20" begin="blue" end="blue"/>
            </band></report>)");
        JpegExport jpeg;
        jpeg.setFileName(path(QStringLiteral("page.jpg")));
        jpeg.exportReport(herd.engine.preparedReport());

        QImage image(jpeg.fileName(), "JPG");
        QCOMPARE(image.size(), QSize(378, 189)); // 100 x 50 mm at 96 dpi
        const auto near = [](QColor actual, QColor expected) {
            return std::abs(actual.red() - expected.red()) < 40 &&
                   std::abs(actual.green() - expected.green()) < 40 &&
                   std::abs(actual.blue() - expected.blue()) < 40;
        };
        QVERIFY(near(image.pixelColor(95, 75), Qt::red));
        QVERIFY(near(image.pixelColor(283, 75), Qt::blue));
        QVERIFY(near(image.pixelColor(5, 5), Qt::white));
    }

    // The chart arrives as a vector picture of the object's size in report
    // units; it must fill the object on every output, whatever the device.
    void vectorPictureFillsItsObject()
    {
        HerdFixture herd;
        herd.engine.setOnBeforePrint([](ReportObject &object) {
            const QSize size(int(object.width()), int(object.height()));
            QPicture picture;
            QPainter painter(&picture);
            painter.fillRect(QRect(QPoint(), size), Qt::red);
            painter.fillRect(QRect(size.width() / 2, 0, size.width() / 2, size.height()), Qt::blue);
            painter.end();
            picture.setBoundingRect(QRect(QPoint(), size));
            object.setPicture(picture);
        });
        herd.prepare(
            R"(<report><page width="100" height="50" orientation="landscape" left="0" top="0" right="0" bottom="0"/>
            <band type="reportTitle" height="50">
            <picture name="PictureChart" left="10" top="10" width="80" height="30"/>
            </band></report>)");
        JpegExport jpeg;
        jpeg.setResolution(192);
        const QImage image = jpeg.render(herd.engine.preparedReport());
        const auto near = [](QColor actual, QColor expected) {
            return std::abs(actual.red() - expected.red()) < 40 &&
                   std::abs(actual.green() - expected.green()) < 40 &&
                   std::abs(actual.blue() - expected.blue()) < 40;
        };
        const double dotsPerMm = 192 / 25.4;
        const auto at = [&](double x, double y) {
            return image.pixelColor(int(x * dotsPerMm), int(y * dotsPerMm));
        };
        QVERIFY(near(at(11, 11), Qt::red));
        QVERIFY(near(at(49, 39), Qt::red));
        QVERIFY(near(at(51, 11), Qt::blue));
        QVERIFY(near(at(89, 39), Qt::blue));
        QVERIFY(near(at(91, 20), Qt::white));
        QVERIFY(near(at(50, 41), Qt::white));
    }

    void plainTextKeepsThePageTexts()
    {
        HerdFixture herd;
        fillHerd(herd);
        SimpleTextExport text;
        const QStringList lines = text.text(herd.engine.preparedReport()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("Herd report"));
        // Each result on one line, its texts in their columns.
        const auto resultLine = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
            return line.simplified() == QStringLiteral("01/01/2024 08:30 100 Łatka Źrebna note 0");
        });
        QVERIFY2(resultLine != lines.end(), qPrintable(lines.join(u'\n')));
        for (const QString &line : lines)
            QVERIFY2(!line.trimmed().isEmpty(), "no empty lines");
        QVERIFY(lines.last().contains(QStringLiteral("Page 1 of 1")));
    }

    void printingDrawsEveryPage()
    {
        HerdFixture herd;
        for (int id = 1; id <= 3; ++id)
            herd.addObject(id, QStringLiteral("Dog %1").arg(id), QString(), 40);
        herd.prepare(HerdTemplate);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path(QStringLiteral("printed.pdf")));
        printer.setPageLayout(herd.engine.preparedReport().page.pageLayout());
        ReportPrinter::printTo(printer, herd.engine.preparedReport());
        const QString info = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {printer.outputFileName()}));
        const auto pages = herd.engine.preparedReport().pages.size();
        QVERIFY(pages > 1);
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))),
                 qPrintable(info));
    }

    void anExistingFileIsReplaced_data()
    {
        QTest::addColumn<QString>("format");
        for (const char *format : {"pdf", "xls", "ods", "csv", "jpg", "txt"})
            QTest::newRow(format) << QString::fromLatin1(format);
    }

    void anExistingFileIsReplaced()
    {
        QFETCH(QString, format);
        std::unique_ptr<ReportExport> exporter = exportFor(format);

        const QString name = path(QStringLiteral("existing.") + format);
        QFile old(name);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();

        HerdFixture herd;
        fillHerd(herd);
        exporter->setFileName(name);
        exporter->exportReport(herd.engine.preparedReport());
        QFile replaced(name);
        QVERIFY(replaced.open(QIODevice::ReadOnly));
        QVERIFY(!replaced.readAll().contains(QByteArray(1000, 'x')));
        QVERIFY(!QFile::exists(name + QStringLiteral(".part")));
    }

    void anUnwritableFileFailsWithItsName_data() { anExistingFileIsReplaced_data(); }

    void anUnwritableFileFailsWithItsName()
    {
        QFETCH(QString, format);
        const QString name = path(QStringLiteral("no such folder/report.") + format);
        std::unique_ptr<ReportExport> exporter = exportFor(format);
        HerdFixture herd;
        fillHerd(herd);
        exporter->setFileName(name);
        try {
            exporter->exportReport(herd.engine.preparedReport());
            QFAIL("the export must fail");
        } catch (const ReportError &error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(name));
        }
        QVERIFY(!QFile::exists(name));
    }
};

QTEST_MAIN(TestReportExports)
#include "TestReportExports.moc"
