#include "DataRows.h"
#include "HerdFixture.h"
#include "ReportError.h"
#include "ReportPreview.h"
#include "TextMetrics.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace report;

class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }

    void missingTemplateThrowsNamingTheFileAndDropsTheLayout()
    {
        HerdFixture herd;
        herd.engine.setLayout(TemplateLoader::loadText(HerdTemplate, QStringLiteral("first")));
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("ZorvQEVrep_de.fr3"));
        try {
            herd.engine.loadFromFile(missing);
            QFAIL("loading a missing template must fail");
        } catch (const ReportError &error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(missing));
        }
        QVERIFY(herd.engine.layout().bands.empty());
    }

    void malformedTemplateIsRefused_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not xml") << QByteArray("<report><band") << QString();
        QTest::newRow("wrong root") << QByteArray("<layout/>") << QString("<report>");
        QTest::newRow("unknown band")
            << QByteArray(R"(<report><band type="summary"/></report>)") << QString("summary");
        QTest::newRow("data band without dataset")
            << QByteArray(R"(<report><band type="masterData" height="5"/></report>)") << QString("dataset");
        QTest::newRow("detail before master")
            << QByteArray(R"(<report><band type="detailData" dataset="frxDBWyniki"/></report>)")
            << QString("master");
        QTest::newRow("bad number") << QByteArray(
                                           R"(<report><band type="reportTitle" height="ten"/></report>)")
                                    << QString("ten");
        QTest::newRow("unknown style")
            << QByteArray(
                   R"(<report><band type="reportTitle"><text name="A" style="Big">x</text></band></report>)")
            << QString("Big");
        QTest::newRow("no room on the page")
            << QByteArray(R"(<report><page width="20" height="20" left="10" right="10"/></report>)")
            << QString("margins");
    }

    void malformedTemplateIsRefused()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, reason);
        try {
            TemplateLoader::loadText(xml, QStringLiteral("broken.fr3"));
            QFAIL("the template must be refused");
        } catch (const ReportError &error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.contains(QStringLiteral("broken.fr3")), qPrintable(message));
            QVERIFY2(message.contains(reason), qPrintable(message));
        }
    }

    void templateGeometryIsInReportUnits()
    {
        const ReportLayout layout = TemplateLoader::loadText(R"(<report>
            <page width="210" height="297" orientation="landscape" left="10" top="10" right="10" bottom="10"/>
            <band type="reportTitle" height="168"><picture name="PictureChart" left="3" top="47" width="273" height="120"/></band>
            </report>)",
                                                             QStringLiteral("model"));
        const ReportObject &chart = layout.bands.at(0).objects.at(0);
        QCOMPARE(int(chart.width()), 1031);
        QCOMPARE(int(chart.height()), 453);
        QCOMPARE(layout.page.paperUnits().toSize(), QSize(1123, 794));
    }

    void masterDetailListsEachObjectWithItsOwnResults()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QStringLiteral("Bitch, 3 years"), 2);
        herd.addObject(2, QStringLiteral("Żaba"), QString(), 0);
        herd.addObject(3, QStringLiteral("Шарик"), QStringLiteral("Москва"), 3);
        herd.prepare(HerdTemplate);

        const std::vector<DataRow> rows = DataRows::ofReport(herd.engine.preparedReport());
        QStringList firstColumn;
        for (const DataRow &row : rows)
            firstColumn << row.at(0).text;
        QCOMPARE(firstColumn, QStringList({"Luna", "01/01/2024 08:30", "02/01/2024 15:30", "Żaba", "Шарик",
                                           "01/01/2024 08:30", "02/01/2024 15:30", "03/01/2024 08:30"}));
        QCOMPARE(rows.at(7).at(2).text, QStringLiteral("Шарик note 2"));
        // The reading 110 is shown as a whole number and kept as a number.
        QCOMPARE(rows.at(2).at(1).text, QStringLiteral("110"));
        QCOMPARE(rows.at(2).at(1).value.toDouble(), 110.0);
        // After-next runs for the second and third object, never for the first.
        QCOMPARE(herd.afterNextCount, 2);
    }

    void preparingAgainDropsEarlierPages()
    {
        HerdFixture herd;
        for (int id = 1; id <= 4; ++id)
            herd.addObject(id, QStringLiteral("Dog %1").arg(id), QString(), 30);
        herd.prepare(HerdTemplate);
        const size_t pages = herd.engine.preparedReport().pages.size();
        QVERIFY(pages > 1);
        herd.objects.first();
        herd.reopenResults();
        herd.engine.prepareReport();
        QCOMPARE(herd.engine.preparedReport().pages.size(), pages);
    }

    void bandsBreakOntoNewPagesAboveTheFooter()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QString(), 120);
        herd.prepare(HerdTemplate);
        const PreparedReport &prepared = herd.engine.preparedReport();
        const int pageCount = static_cast<int>(prepared.pages.size());
        QVERIFY(pageCount >= 4);

        const double footerTop = prepared.page.printableUnits().bottom() - 6 * UnitsPerMm;
        int detailBands = 0;
        for (int page = 0; page < pageCount; ++page) {
            const std::vector<PreparedBand> &bands = prepared.pages[page].bands;
            QCOMPARE(bands.back().kind, BandKind::PageFooter);
            QCOMPARE(bands.back().items.at(1).object.text,
                     QStringLiteral("Page %1 of %2").arg(page + 1).arg(pageCount));
            QCOMPARE(bands.back().items.at(0).object.text, QStringLiteral("05/03/2024, 14:30"));
            for (const PreparedBand &band : bands) {
                if (band.kind == BandKind::DetailData) {
                    ++detailBands;
                    QVERIFY(band.rect.bottom() <= footerTop + 0.001);
                }
            }
        }
        QCOMPARE(detailBands, 120);
        QCOMPARE(prepared.pages[0].bands.front().kind, BandKind::ReportTitle);
        QCOMPARE(prepared.pages[1].bands.front().kind, BandKind::DetailData);
    }

    void longTextGrowsItsObjectAndBand()
    {
        HerdFixture herd;
        const QString longText = QStringLiteral("A calm bitch with a good appetite. ").repeated(12);
        herd.addObject(1, QStringLiteral("Luna"), longText, 1);
        herd.prepare(HerdTemplate);
        const PreparedBand &master = herd.engine.preparedReport().pages[0].bands.at(1);
        QCOMPARE(master.kind, BandKind::MasterData);
        const ReportObject &description = master.items.at(1).object;
        QVERIFY(description.height() > 8 * UnitsPerMm);
        QVERIFY(description.height() >= TextMetrics::neededHeight(description) - 0.001);
        QVERIFY(master.rect.bottom() >= description.rect.bottom() - 0.001);
        // The detail band starts below the grown text, not inside it.
        const PreparedBand &detail = herd.engine.preparedReport().pages[0].bands.at(2);
        QVERIFY(detail.rect.top() >= description.rect.bottom() - 0.001);
    }

    void objectsBelowAGrownTextMoveDown()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QStringLiteral("Long description. ").repeated(30), 0);
        herd.prepare(R"(<report><band type="masterData" dataset="frxDBObiekty" height="40">
            <text name="Memo4" left="0" top="0" width="60" height="10" stretch="true">[frxDBObiekty."OPIS"]</text>
            <picture name="PictureChart" left="0" top="12" width="60" height="20"/>
            <text name="Beside" left="70" top="12" width="20" height="5">x</text>
            </band></report>)");
        const PreparedBand &band = herd.engine.preparedReport().pages[0].bands[0];
        const QRectF text = band.items[0].object.rect;
        const QRectF chart = band.items[1].object.rect;
        QVERIFY(text.height() > 20 * UnitsPerMm);
        QCOMPARE(chart.top() - text.bottom(), 2 * UnitsPerMm);
        QCOMPARE(band.items[2].object.rect.top(), band.rect.top() + 12 * UnitsPerMm);
        QCOMPARE(band.rect.bottom() - chart.bottom(), 8 * UnitsPerMm);
    }

    void autoWidthTextWidensToItsText()
    {
        HerdFixture herd;
        herd.prepare(R"(<report><band type="reportTitle" height="6">
            <text name="Memo10" left="1" top="1" width="5" height="5" autoWidth="true">[Date], [Time]</text>
            </band></report>)");
        const ReportObject &memo = herd.engine.preparedReport().pages[0].bands[0].items[0].object;
        QVERIFY(memo.width() >= TextMetrics::neededWidth(memo));
        QVERIFY(memo.width() > 5 * UnitsPerMm);
    }

    void photoFieldFillsThePictureAndBadDataLeavesItEmpty()
    {
        QImage photo(40, 20, QImage::Format_RGB32);
        photo.fill(Qt::red);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(photo.save(&buffer, "JPG"));

        HerdFixture herd;
        herd.addObject(1, QStringLiteral("With photo"), QString(), 0, jpeg);
        herd.addObject(2, QStringLiteral("Broken photo"), QString(), 0, QByteArray("not a jpeg"));
        herd.prepare(HerdTemplate);
        const std::vector<PreparedBand> &bands = herd.engine.preparedReport().pages[0].bands;
        QCOMPARE(bands.at(1).items.at(2).object.image.size(), QSize(40, 20));
        QVERIFY(bands.at(2).items.at(2).object.image.isNull());
    }

    void beforePrintSeesEveryObjectAndItsChangesArePrinted()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QString(), 1);
        QStringList seen;
        herd.engine.setOnBeforePrint([&seen](ReportObject &object) {
            seen << object.name;
            if (object.name == u"Photo") {
                QImage mark(int(object.width()), int(object.height()), QImage::Format_RGB32);
                mark.fill(Qt::green);
                object.setPicture(mark);
            }
        });
        herd.prepare(HerdTemplate);
        QCOMPARE(seen, QStringList({"Title", "Name", "Description", "Photo", "When", "Reading", "Comment",
                                    "Printed", "PageNo"}));
        const ReportObject &photo = herd.engine.preparedReport().pages[0].bands.at(1).items.at(2).object;
        QCOMPARE(photo.image.size(), QSize(int(40 * UnitsPerMm), int(20 * UnitsPerMm)));
    }

    void emptyObjectSetGivesOnePageWithoutData()
    {
        HerdFixture herd;
        herd.prepare(HerdTemplate);
        const PreparedReport &prepared = herd.engine.preparedReport();
        QCOMPARE(prepared.pages.size(), size_t(1));
        QVERIFY(DataRows::ofReport(prepared).empty());
        QCOMPARE(prepared.pages[0].bands.size(), size_t(2)); // title and footer
    }

    void masterBandMayStartEachObjectOnANewPage()
    {
        HerdFixture herd;
        for (int id = 1; id <= 3; ++id)
            herd.addObject(id, QStringLiteral("Dog %1").arg(id), QString(), 1);
        QByteArray xml = HerdTemplate;
        xml.replace(R"(dataset="frxDBObiekty" height="20")",
                    R"(dataset="frxDBObiekty" height="20" startNewPage="true")");
        herd.prepare(xml);
        const PreparedReport &prepared = herd.engine.preparedReport();
        QCOMPARE(prepared.pages.size(), size_t(3));
        for (int page = 0; page < 3; ++page) {
            const auto rows = DataRows::ofPage(prepared.pages[page]);
            QCOMPARE(rows.front().front().text, QStringLiteral("Dog %1").arg(page + 1));
        }
    }

    void previewShowsThePagesAtFullSize()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QString(), 100);
        herd.prepare(HerdTemplate);
        const int pages = static_cast<int>(herd.engine.preparedReport().pages.size());
        QVERIFY(pages >= 3);
        ReportPreview preview(herd.engine);
        QCOMPARE(preview.zoom(), 1.0);
        QCOMPARE(preview.currentPage(), 0);
        auto *view = preview.findChild<QWidget *>(QStringLiteral("PageView"));
        QVERIFY(view);
        QCOMPARE(view->size(), herd.engine.preparedReport().page.paperUnits().toSize());
        QCOMPARE(preview.findChild<QLabel *>(QStringLiteral("PreviewPageCount"))->text(),
                 QStringLiteral("of %1").arg(pages));

        preview.findChild<QToolButton *>(QStringLiteral("PreviewLast"))->click();
        QCOMPARE(preview.currentPage(), pages - 1);
        preview.findChild<QToolButton *>(QStringLiteral("PreviewNext"))->click();
        QCOMPARE(preview.currentPage(), pages - 1);
        preview.findChild<QToolButton *>(QStringLiteral("PreviewPrior"))->click();
        QCOMPARE(preview.currentPage(), pages - 2);
        QCOMPARE(preview.findChild<QSpinBox *>(QStringLiteral("PreviewPageNumber"))->value(), pages - 1);

        preview.findChild<QToolButton *>(QStringLiteral("PreviewZoomIn"))->click();
        QCOMPARE(preview.zoom(), 1.25);
        QCOMPARE(view->width(), qRound(herd.engine.preparedReport().page.paperUnits().width() * 1.25));
    }

    void unknownExpressionsFailThePreparation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("dataset") << QStringLiteral("[frxDBKonfig.\"LANG\"]");
        QTest::newRow("field") << QStringLiteral("[frxDBObiekty.\"COLOUR\"]");
        QTest::newRow("variable") << QStringLiteral("[Weekday]");
        QTest::newRow("unclosed") << QStringLiteral("Name: [frxDBObiekty.\"NAZWA_DEV\"");
    }

    void unknownExpressionsFailThePreparation()
    {
        QFETCH(QString, text);
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QString(), 0);
        const QByteArray xml =
            QStringLiteral(R"(<report><band type="masterData" dataset="frxDBObiekty" height="5">
            <text name="A" width="50" height="5">%1</text></band></report>)")
                .arg(text.toHtmlEscaped())
                .toUtf8();
        QVERIFY_THROWS_EXCEPTION(ReportError, herd.prepare(xml));
    }

    void fieldAliasesRenameFields()
    {
        HerdFixture herd;
        herd.addObject(1, QStringLiteral("Luna"), QString(), 0);
        herd.frxDBObiekty.setFieldAlias(QStringLiteral("NAZWA_DEV"), QStringLiteral("Name"));
        herd.prepare(R"(<report><band type="masterData" dataset="frxDBObiekty" height="5">
            <text name="A" width="50" height="5">Dog: [frxDBObiekty."Name"]</text></band></report>)");
        const PreparedItem &item = herd.engine.preparedReport().pages[0].bands[0].items[0];
        QCOMPARE(item.object.text, QStringLiteral("Dog: Luna"));
        QVERIFY(!item.value.isValid()); // mixed text is not a single field
        QVERIFY(!herd.frxDBObiekty.hasAlias(QStringLiteral("NAZWA_DEV")));
    }
};

QTEST_MAIN(TestReportEngine)
#include "TestReportEngine.moc"
