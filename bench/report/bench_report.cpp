// Times the report over a large herd: 50 marked objects with a photo and
// 100 marked results each (plus unmarked ones that the report leaves out),
// from a real database through the main window's report steps.
//
//   bench_report [folder [language]]   keeps the written files in the folder;
//                                      language number 0..5 (default 1, Polish)
#include "Dataset.h"
#include "ReportActions.h"
#include "TestDatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace
{

constexpr int Objects = 50;
constexpr int ResultsPerObject = 100;
constexpr int DeviceId = 3;
constexpr int Runs = 3;

void exec(QSqlQuery &query)
{
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
}

void fillHerd(store::Connection &connection)
{
    QFile photoFile(QStringLiteral(QEV_RESOURCES_DIR "/Puste.jpg"));
    photoFile.open(QIODevice::ReadOnly);
    const QByteArray photo = photoFile.readAll();
    QSqlDatabase database = connection.database();
    database.transaction();
    QSqlQuery object(database);
    object.prepare(
        QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, NAZWA_LONG, OPIS, REZI2, OBRAZEK) "
                       "values (?, ?, ?, ?, ?, 1, ?) returning IDOB"));
    QSqlQuery result(database);
    result.prepare(
        QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE2, REZI1, REZC) values (?, ?, ?, ?, ?)"));
    for (int number = 1; number <= Objects; ++number) {
        object.addBindValue(DeviceId);
        object.addBindValue(number);
        object.addBindValue(QStringLiteral("Suczka %1 Żółć").arg(number));
        object.addBindValue(QStringLiteral("Long name %1").arg(number));
        object.addBindValue(QStringLiteral("Opis psa numer %1. Spokojna, dobry apetyt.").arg(number));
        object.addBindValue(photo);
        exec(object);
        object.next();
        const int id = object.value(0).toInt();
        for (int index = 0; index < ResultsPerObject * 11 / 10; ++index) {
            result.addBindValue(id);
            result.addBindValue(QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(index * 6 * 3600));
            result.addBindValue(200.0 + (index * 37) % 900);
            result.addBindValue(index % 11 == 10 ? 0 : 1);
            result.addBindValue(QStringLiteral("Komentarz %1").arg(index));
            exec(result);
        }
    }
    database.commit();
}

// A chart picture of about the chart window's complexity: axes, a grid and
// a line through 100 points.
QPicture chartPicture(QSize size)
{
    QPicture picture;
    QPainter painter(&picture);
    painter.setPen(QColor(200, 200, 200));
    for (int x = 0; x < size.width(); x += 40)
        painter.drawLine(x, 0, x, size.height());
    QPolygonF line;
    for (int point = 0; point < 100; ++point)
        line << QPointF(size.width() * point / 100.0, size.height() * (0.5 + 0.4 * std::sin(point / 7.0)));
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawPolyline(line);
    for (const QPointF &point : line)
        painter.fillRect(QRectF(point - QPointF(3, 3), QSizeF(6, 6)), Qt::darkGreen);
    painter.end();
    picture.setBoundingRect(QRect(QPoint(), size));
    return picture;
}

// The processor time of the whole process (the embedded database engine
// included): on a machine shared with other work it tells how much of the
// wall time was ours.
double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void measure(const char *what, double limitMs, const std::function<void()> &run)
{
    double best = 1e9;
    double worst = 0;
    double bestProcessor = 1e9;
    for (int round = 0; round < Runs; ++round) {
        QElapsedTimer timer;
        const double processorStart = processorMs();
        timer.start();
        run();
        const double elapsed = timer.nsecsElapsed() / 1e6;
        best = std::min(best, elapsed);
        worst = std::max(worst, elapsed);
        bestProcessor = std::min(bestProcessor, processorMs() - processorStart);
    }
    std::printf("%-36s wall best %6.0f ms, worst %6.0f ms; processor %6.0f ms (limit %5.0f ms)%s\n", what,
                best, worst, bestProcessor, limitMs, worst > limitMs ? "  OVER THE LIMIT" : "");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Polish));
    QTemporaryDir scratch;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();

    TestDatabase database;
    fillHerd(database.connection());
    store::Dataset objects(database.connection());
    store::Dataset results(database.connection());

    report::ReportActions::Program program;
    program.programPath = [] { return QStringLiteral(QEV_RESOURCES_DIR "/"); };
    program.deviceId = [] { return DeviceId; };
    const int language = argc > 2 ? std::atoi(argv[2]) : 1;
    program.languageNumber = [language] { return language; };
    program.chartPicture = chartPicture;
    program.showLexiconInfo = [](int) {};
    program.excelInstalled = [] { return true; };
    program.openOfficeInstalled = [] { return true; };
    report::ReportActions actions(objects, results, program);

    std::printf("Report of %d marked objects with %d marked results each\n", Objects, ResultsPerObject);
    measure("data reopened, template loaded", 1000, [&] { actions.PrepareReport(); });
    measure("pages prepared", 1000, [&] {
        actions.PrepareReport();
        actions.frxReport1.prepareReport();
    });
    measure("prepared and written as PDF", 3000,
            [&] { actions.exportPdf(folder + QStringLiteral("/herd.pdf")); });
    std::printf("  %zu pages\n", actions.frxReport1.preparedReport().pages.size());
    measure("prepared and written as XLS", 1000, [&] {
        actions.exportData(folder + QStringLiteral("/herd.xls"), report::ReportActions::MicrosoftExcel);
    });
    measure("prepared and written as ODS", 1000, [&] {
        actions.exportData(folder + QStringLiteral("/herd.ods"), report::ReportActions::OpenOfficeCalc);
    });
    measure("prepared and written as CSV", 1000, [&] {
        actions.exportData(folder + QStringLiteral("/herd.csv"), report::ReportActions::TextFile);
    });
    return 0;
}
