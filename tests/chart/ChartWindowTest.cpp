#include "ChartWindowTest.h"

#include "ChartView.h"
#include "Dataset.h"
#include "TestDatabase.h"
#include "UnChart.h"
#include "UnViewForm.h"

#include <QBuffer>
#include <QChart>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPicture>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

namespace
{

constexpr double day = 24.0 * 60 * 60 * 1000;

double chartX(const QDateTime &when)
{
    return double(when.toMSecsSinceEpoch());
}

QValueAxis *leftAxisOf(const TWykresForm &window)
{
    return qobject_cast<QValueAxis *>(window.chart()->axes(Qt::Vertical).constFirst());
}

QDateTimeAxis *bottomAxisOf(const TWykresForm &window)
{
    return qobject_cast<QDateTimeAxis *>(window.chart()->axes(Qt::Horizontal).constFirst());
}

QByteArray jpegOf(const QColor &colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QColor centreColourOf(const QLabel &label)
{
    const QImage shown = label.pixmap().toImage();
    return shown.pixelColor(shown.width() / 2, shown.height() / 2);
}

bool nearlyEqual(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 16 && qAbs(a.green() - b.green()) < 16 && qAbs(a.blue() - b.blue()) < 16;
}

} // namespace

ChartWindowTest::ChartWindowTest() = default;
ChartWindowTest::~ChartWindowTest() = default;

void ChartWindowTest::initTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void ChartWindowTest::init()
{
    database = std::make_unique<TestDatabase>();
    objects = std::make_unique<store::Dataset>(database->connection());
    objects->setObjectName(QStringLiteral("FDQObiekty"));
    objects->setSql(QStringLiteral("select * from OBIEKTY order by IDOB"));
    results = std::make_unique<store::Dataset>(database->connection());
    results->setObjectName(QStringLiteral("FDQWyniki"));
    popup = std::make_unique<TViewForm>();
    ViewForm = popup.get();
    window = std::make_unique<TWykresForm>();
    window->setDataSources(objects.get(), results.get());
}

void ChartWindowTest::cleanup()
{
    window.reset();
    ViewForm = nullptr;
    popup.reset();
    results.reset();
    objects.reset();
    database.reset();
}

void ChartWindowTest::cleanupTestCase() {}

int ChartWindowTest::addObject(const QString &name, const QString &description)
{
    QSqlQuery insert(database->connection().database());
    insert.prepare(
        QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, OPIS) values (3, 1, ?, ?) "
                       "returning IDOB"));
    insert.addBindValue(name);
    insert.addBindValue(description);
    if (!insert.exec() || !insert.next())
        qFatal("cannot add an object: %s", qPrintable(insert.lastError().text()));
    return insert.value(0).toInt();
}

void ChartWindowTest::addResult(int object, const QDateTime &when, double reading, int mark,
                                const QString &comment)
{
    QSqlQuery insert(database->connection().database());
    insert.prepare(
        QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE2, REZI1, REZC) values (?, ?, ?, ?, ?)"));
    insert.addBindValue(object);
    insert.addBindValue(when);
    insert.addBindValue(reading);
    insert.addBindValue(mark);
    insert.addBindValue(comment.isNull() ? QVariant() : QVariant(comment));
    if (!insert.exec())
        qFatal("cannot add a result: %s", qPrintable(insert.lastError().text()));
}

void ChartWindowTest::openResultsOf(int object, const QString &order)
{
    results->close();
    results->setSql(QStringLiteral("select * from WYNIKI where IDOB = :IDobj order by ") + order);
    results->setParam(QStringLiteral("IDOBJ"), object);
    results->open();
}

QPoint ChartWindowTest::viewportPositionOf(qsizetype pointIndex) const
{
    const ChartPoint &point = window->points().at(pointIndex);
    const QPointF inChart = window->chart()->mapToPosition({point.x, point.y}, window->SeriesT);
    return window->Chart1->mapFromScene(window->chart()->mapToScene(inChart));
}

void ChartWindowTest::designStateBeforeTheFirstOpening()
{
    QCOMPARE(window->points().count(), 1);
    const ChartPoint &sample = window->points().at(0);
    QCOMPARE(sample.when.date(), QDate(2018, 11, 20));
    QCOMPARE(sample.y, 300.0);
    QCOMPARE(leftAxisOf(*window)->min(), 150.0);
    QCOMPARE(leftAxisOf(*window)->max(), 650.0);
    QVERIFY(bottomAxisOf(*window)->min().date() <= QDate(2018, 11, 20));
    QVERIFY(bottomAxisOf(*window)->max().date() >= QDate(2018, 11, 20));
    QCOMPARE(window->SeriesT->count(), 1);
}

void ChartWindowTest::chartsMarkedResultsInTimeOrder()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    const QDate date(2024, 3, 1);
    addResult(dog, QDateTime(date.addDays(2), QTime(8, 0)), 100, 1);
    addResult(dog, QDateTime(date, QTime(8, 0)), 900, 2);
    addResult(dog, QDateTime(date.addDays(1), QTime(8, 0)), 500, 0);
    addResult(dog, QDateTime(date.addDays(3), QTime(8, 0)), 400, 1);
    addResult(dog, QDateTime(date.addDays(4), QTime(8, 0)), 300, -1);
    // The results list sorted by the reading, highest first.
    openResultsOf(dog, QStringLiteral("DANE2 desc"));

    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();

    QCOMPARE(window->points().count(), 3);
    QCOMPARE(window->points().at(0).when, QDateTime(date, QTime(8, 0)));
    QCOMPARE(window->points().at(0).y, 900.0);
    QCOMPARE(window->points().at(1).y, 100.0);
    QCOMPARE(window->points().at(2).y, 400.0);
    QCOMPARE(window->SeriesT->points(),
             (QList<QPointF>{{chartX(QDateTime(date, QTime(8, 0))), 900},
                             {chartX(QDateTime(date.addDays(2), QTime(8, 0))), 100},
                             {chartX(QDateTime(date.addDays(3), QTime(8, 0))), 400}}));
    // The walk leaves the results list on its last row.
    QVERIFY(results->eof());
    QCOMPARE(results->recNo(), results->recordCount() - 1);
}

void ChartWindowTest::colourFollowsTheTimeOfDay_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QColor>("colour");

    const QColor blue(0, 0, 255);
    const QColor green(0, 128, 0);
    QTest::newRow("midnight") << QTime(0, 0) << blue;
    QTest::newRow("a second before noon") << QTime(11, 59, 59) << blue;
    QTest::newRow("noon") << QTime(12, 0, 0) << green;
    QTest::newRow("evening") << QTime(23, 59, 58) << green;
}

void ChartWindowTest::colourFollowsTheTimeOfDay()
{
    QFETCH(QTime, time);
    QFETCH(QColor, colour);
    const int dog = addObject(QStringLiteral("Bella"), {});
    addResult(dog, QDateTime(QDate(2024, 3, 1), time), 350, 1);
    openResultsOf(dog);

    window->ClearChart();
    window->AddMarkedResults(*results);
    QCOMPARE(window->points().count(), 1);
    QCOMPARE(window->points().at(0).colour, colour);
}

void ChartWindowTest::pointsAreDrawnInTheirOwnColours()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    addResult(dog, QDateTime(QDate(2024, 3, 19), QTime(8, 0)), 500, 1);
    addResult(dog, QDateTime(QDate(2024, 3, 19), QTime(20, 0)), 1500, 1);
    openResultsOf(dog);
    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    // The evening point is the latest, on the right edge: drawn whole.
    const QImage drawn = window->Chart1->viewport()->grab().toImage();
    QCOMPARE(drawn.pixelColor(viewportPositionOf(0) + QPoint(2, 2)), QColor(0, 0, 255));
    QCOMPARE(drawn.pixelColor(viewportPositionOf(1) + QPoint(2, 2)), QColor(0, 128, 0));
}

void ChartWindowTest::objectWithoutMarkedResultsGivesAnEmptyChart()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    addResult(dog, QDateTime(QDate(2024, 3, 1), QTime(9, 0)), 2500, 0);
    openResultsOf(dog);
    window->BitBtn2->click();

    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();

    QVERIFY(window->points().isEmpty());
    QCOMPARE(window->SeriesT->count(), 0);
    QCOMPARE(leftAxisOf(*window)->min(), 0.0);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);
    QCOMPARE(window->axes().bottom.span(), 15 * day);
}

void ChartWindowTest::opensOnTheLastFifteenDays()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    const QDateTime latest(QDate(2024, 3, 20), QTime(14, 30));
    addResult(dog, latest.addDays(-40), 2400, 1);
    addResult(dog, latest, 350, 1);
    openResultsOf(dog);

    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();

    QCOMPARE(bottomAxisOf(*window)->max(), latest);
    QCOMPARE(bottomAxisOf(*window)->min(), latest.addDays(-15));
    QCOMPARE(leftAxisOf(*window)->min(), 0.0);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);
}

// Each button's effect shows on the chart's own axes, the clamp included.
void ChartWindowTest::buttonsMoveTheAxes()
{
    window->AddChartPoint(QDateTime(QDate(2024, 3, 20), QTime(9, 0)), 300, Qt::blue);
    window->RescaleAxis();
    const AxisRange opened = window->axes().bottom;

    window->BitBtn3->click();
    QCOMPARE(leftAxisOf(*window)->min(), 0.0);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);
    QCOMPARE(window->axes().bottom, (AxisRange{opened.minimum - 1.5 * day, opened.maximum + 1.5 * day}));
    QCOMPARE(bottomAxisOf(*window)->min().toMSecsSinceEpoch(), qint64(opened.minimum - 1.5 * day));

    window->BitBtn2->click();
    window->BitBtn2->click();
    QCOMPARE(leftAxisOf(*window)->min(), 360.0);
    QCOMPARE(leftAxisOf(*window)->max(), 1640.0);

    window->BitBtn6->click();
    QCOMPARE(leftAxisOf(*window)->min(), 232.0);
    QCOMPARE(leftAxisOf(*window)->max(), 1512.0);

    window->BitBtn4->click();
    QCOMPARE(window->axes().bottom, opened);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);

    window->BitBtn5->click();
    QCOMPARE(window->axes().bottom, (AxisRange{opened.minimum + 1.5 * day, opened.maximum + 1.5 * day}));
    window->BitBtn7->click();
    window->BitBtn7->click();
    QCOMPARE(window->axes().bottom, (AxisRange{opened.minimum - 1.5 * day, opened.maximum - 1.5 * day}));
    window->BitBtn8->click();
    QCOMPARE(leftAxisOf(*window)->min(), 0.0);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);
}

void ChartWindowTest::draggingARectangleZoomsIntoIt()
{
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QRectF plot = window->chart()->plotArea();
    const QPoint topLeft = window->Chart1->mapFromScene(
        window->chart()->mapToScene(plot.topLeft() + QPointF(plot.width() / 4, plot.height() / 4)));
    const QPoint bottomRight = window->Chart1->mapFromScene(
        window->chart()->mapToScene(plot.center() + QPointF(plot.width() / 4, plot.height() / 4)));

    QWidget *viewport = window->Chart1->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, topLeft);
    QTest::mouseMove(viewport, bottomRight);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, bottomRight);

    const AxisRange left = window->axes().left;
    QVERIFY2(qAbs(left.minimum - 500) < 20 && qAbs(left.maximum - 1500) < 20,
             qPrintable(QStringLiteral("%1..%2").arg(left.minimum).arg(left.maximum)));
    QVERIFY(qAbs(window->axes().bottom.span() - 7.5 * day) < 0.2 * day);
    QCOMPARE(leftAxisOf(*window)->min(), left.minimum);
}

void ChartWindowTest::aClickWithoutDragZoomsNothing()
{
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const ChartAxes before = window->axes();
    const QPoint centre =
        window->Chart1->mapFromScene(window->chart()->mapToScene(window->chart()->plotArea().center()));
    QTest::mouseClick(window->Chart1->viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(window->axes().left, before.left);
    QCOMPARE(window->axes().bottom, before.bottom);
}

void ChartWindowTest::rightDragScrollsAndStaysWithinBounds()
{
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->BitBtn2->click(); // readings 200..1800
    const AxisRange dates = window->axes().bottom;
    const QRectF plot = window->chart()->plotArea();
    const QPoint centre = window->Chart1->mapFromScene(window->chart()->mapToScene(plot.center()));
    QWidget *viewport = window->Chart1->viewport();

    // Dragging right by a tenth of the plot shows earlier dates.
    const QPoint right = centre + QPoint(qRound(plot.width() / 10), 0);
    QTest::mousePress(viewport, Qt::RightButton, {}, centre);
    QTest::mouseMove(viewport, right);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, right);
    QVERIFY(qAbs(window->axes().bottom.minimum - (dates.minimum - dates.span() / 10)) < dates.span() / 100);
    QCOMPARE(window->axes().left, (AxisRange{200, 1800}));

    // One long drag down carries the readings wholly above 2000: the view
    // comes back inside with its span.
    QTest::mousePress(viewport, Qt::RightButton, {}, centre);
    viewport->setMaximumHeight(QWIDGETSIZE_MAX);
    QMouseEvent far(QEvent::MouseMove, centre + QPoint(0, 3 * qRound(plot.height())),
                    viewport->mapToGlobal(centre + QPoint(0, 3 * qRound(plot.height()))), Qt::NoButton,
                    Qt::RightButton, {});
    QApplication::sendEvent(viewport, &far);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, centre);
    QCOMPARE(window->axes().left, (AxisRange{400, 2000}));
    QCOMPARE(leftAxisOf(*window)->min(), 400.0);
    QCOMPARE(leftAxisOf(*window)->max(), 2000.0);
}

void ChartWindowTest::wheelScrollsTheReadingsWithinBounds()
{
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->BitBtn2->click(); // 200..1800
    const QPoint centre =
        window->Chart1->mapFromScene(window->chart()->mapToScene(window->chart()->plotArea().center()));
    auto turn = [&](int notches) {
        QWheelEvent wheel(centre, window->Chart1->viewport()->mapToGlobal(centre), {}, {0, 120 * notches},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->Chart1->viewport(), &wheel);
    };

    turn(1);
    QCOMPARE(window->axes().left, (AxisRange{360, 1960}));
    turn(1);
    QCOMPARE(window->axes().left, (AxisRange{520, 2000}));
    turn(-20);
    QCOMPARE(window->axes().left, (AxisRange{0, 1480}));
}

void ChartWindowTest::hoverShowsDateReadingAndComment()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    const QDateTime morning(QDate(2024, 3, 19), QTime(9, 15, 4));
    const QDateTime evening(QDate(2024, 3, 20), QTime(19, 40, 0));
    addResult(dog, morning, 350, 1, QStringLiteral("before the walk"));
    addResult(dog, evening, 1250, 1, QStringLiteral("ready"));
    openResultsOf(dog);
    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget *viewport = window->Chart1->viewport();

    QTest::mouseMove(viewport, viewportPositionOf(0) + QPoint(2, -2));
    QVERIFY(ViewForm->isVisible());
    QCOMPARE(ViewForm->Label2->text(), QStringLiteral("350"));
    QCOMPARE(ViewForm->Memo1->toPlainText(), QStringLiteral("before the walk"));
    QVERIFY(ViewForm->Label1->text().contains(QStringLiteral("09:15:04")) ||
            ViewForm->Label1->text().contains(QStringLiteral("9:15:04")));
    QCOMPARE(results->asDateTime(QStringLiteral("DATACZAS")), morning);

    QTest::mouseMove(viewport, viewportPositionOf(0) + QPoint(30, 30));
    QVERIFY(!ViewForm->isVisible());

    QTest::mouseMove(viewport, viewportPositionOf(1));
    QVERIFY(ViewForm->isVisible());
    QCOMPARE(ViewForm->Label2->text(), QStringLiteral("1250"));
    QCOMPARE(ViewForm->Memo1->toPlainText(), QStringLiteral("ready"));
    QCOMPARE(results->asDateTime(QStringLiteral("DATACZAS")), evening);

    window->hide();
    QVERIFY(!ViewForm->isVisible());
}

void ChartWindowTest::hoverOnResultsAtTheSameMomentShowsTheFirstInListOrder()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    const QDateTime moment(QDate(2024, 3, 19), QTime(9, 15, 4));
    addResult(dog, moment, 350, 1, QStringLiteral("first"));
    addResult(dog, moment, 1250, 1, QStringLiteral("second"));
    openResultsOf(dog, QStringLiteral("IDWYN"));
    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    QCOMPARE(window->points().count(), 2);
    QTest::mouseMove(window->Chart1->viewport(), viewportPositionOf(1) + QPoint(1, 1));
    QVERIFY(ViewForm->isVisible());
    QCOMPARE(ViewForm->Label2->text(), QStringLiteral("1250"));
    QCOMPARE(ViewForm->Memo1->toPlainText(), QStringLiteral("first"));
}

void ChartWindowTest::stripFollowsTheSelectedObject()
{
    addObject(QStringLiteral("Bella"), QStringLiteral("Golden retriever, second season"));
    addObject(QStringLiteral("Luna"), QStringLiteral("Beagle"));
    objects->open();
    objects->first();
    QCOMPARE(window->DBText2->text(), QStringLiteral("Bella"));
    QCOMPARE(window->DBText1->text(), QStringLiteral("Golden retriever, second season"));
    objects->next();
    QCOMPARE(window->DBText2->text(), QStringLiteral("Luna"));
    QCOMPARE(window->DBText1->text(), QStringLiteral("Beagle"));
}

void ChartWindowTest::photoOrPlaceholder()
{
    QImage placeholder(20, 20, QImage::Format_RGB32);
    placeholder.fill(Qt::red);

    window->ShowPhoto(jpegOf(Qt::green), placeholder);
    QVERIFY(nearlyEqual(centreColourOf(*window->Image1), Qt::green));
    window->ShowPhoto({}, placeholder);
    QVERIFY(nearlyEqual(centreColourOf(*window->Image1), Qt::red));
    window->ShowPhoto(QByteArray("GIF89a not a jpeg"), placeholder);
    QVERIFY(nearlyEqual(centreColourOf(*window->Image1), Qt::red));
    // A photo is shown whole: scaled in proportion into the strip.
    QVERIFY(window->Image1->pixmap().width() <= window->Image1->width());
    QVERIFY(window->Image1->pixmap().height() <= window->Image1->height());
}

void ChartWindowTest::exportAsksForAFileAndCancelDoesNothing()
{
    QTemporaryDir folder;
    QSignalSpy exports(window.get(), &TWykresForm::exportPictureRequested);
    window->SavePictureDialog1->setOption(QFileDialog::DontUseNativeDialog);
    window->SavePictureDialog1->setDirectory(folder.path());

    QTimer::singleShot(0, window.get(), [this] { window->SavePictureDialog1->reject(); });
    window->BitBtn1->click();
    QCOMPARE(exports.count(), 0);

    QTimer::singleShot(0, window.get(), [&] {
        QFileDialog *dialog = window->SavePictureDialog1;
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("bella"));
        static_cast<QDialog *>(dialog)->accept();
        // A refused name must fail the test, not hang it.
        if (dialog->isVisible())
            dialog->reject();
    });
    window->BitBtn1->click();
    QCOMPARE(exports.count(), 1);
    QCOMPARE(exports.at(0).at(0).toString(), folder.filePath(QStringLiteral("bella.jpg")));

    QSignalSpy prints(window.get(), &TWykresForm::printChartRequested);
    window->btnPrint->click();
    QCOMPARE(prints.count(), 1);
}

void ChartWindowTest::chartStaysAsLeftAfterClosing()
{
    const int dog = addObject(QStringLiteral("Bella"), {});
    addResult(dog, QDateTime(QDate(2024, 3, 19), QTime(9, 15)), 350, 1);
    openResultsOf(dog);
    window->ClearChart();
    window->AddMarkedResults(*results);
    window->RescaleAxis();

    QTimer::singleShot(0, window.get(), [this] {
        window->BitBtn2->click();
        window->BitBtn5->click();
        window->close();
    });
    window->exec();
    const ChartAxes left = window->axes();
    QCOMPARE(leftAxisOf(*window)->min(), 200.0);
    QCOMPARE(leftAxisOf(*window)->max(), 1800.0);

    // Drawing it for a report changes neither the chart nor its size.
    const QSizeF shownSize = window->chart()->size();
    const QPicture picture = window->chartPicture(QSize(1031, 453));
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.boundingRect().size(), QSize(1031, 453));
    QCOMPARE(window->chart()->size(), shownSize);
    QCOMPARE(window->axes().left, left.left);
    QCOMPARE(window->axes().bottom, left.bottom);
    QCOMPARE(window->SeriesT->count(), 1);
}
