// Times the chart window for an animal with 5,000 marked results, from a
// real database: the opening up to the first painted window, and the search
// for the point under the mouse as the mouse sweeps over the chart.
//
//   bench_chart [folder]   also saves pictures of the window in the folder:
//                          opened, zoomed, panned and hovered
#include "ChartView.h"
#include "Dataset.h"
#include "TestDatabase.h"
#include "UnChart.h"
#include "UnViewForm.h"

#include <QApplication>
#include <QChart>
#include <QElapsedTimer>
#include <QFile>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>

namespace
{

constexpr int Results = 5000;
constexpr int Runs = 5;
constexpr int MouseMoves = 2000;

void exec(QSqlQuery &query)
{
    if (!query.exec())
        qFatal("%s", qPrintable(query.lastError().text()));
}

QByteArray programFile(const char *name)
{
    QFile file(QStringLiteral(QEV_RESOURCES_DIR "/") + QLatin1String(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// One dog measured twice a day, morning and evening, for about seven years.
int fillDog(store::Connection &connection)
{
    QSqlDatabase database = connection.database();
    database.transaction();
    QSqlQuery object(database);
    object.prepare(QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, OPIS, REZI2, OBRAZEK) "
                                  "values (3, 1, 'Bella', 'Golden retriever, calm, good appetite.', 1, ?) "
                                  "returning IDOB"));
    object.addBindValue(programFile("Puste.jpg"));
    exec(object);
    object.next();
    const int dog = object.value(0).toInt();
    QSqlQuery result(database);
    result.prepare(
        QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE2, REZI1, REZC) values (?, ?, ?, 1, ?)"));
    const QDateTime start(QDate(2018, 1, 1), QTime(7, 30, 12));
    for (int index = 0; index < Results; ++index) {
        result.addBindValue(dog);
        result.addBindValue(start.addDays(index / 2).addSecs(index % 2 * 11 * 3600 + index % 7 * 60));
        // A season every half year: readings climb towards it and fall after.
        const int dayInSeason = index / 2 % 182;
        result.addBindValue(
            double(250 + std::min(dayInSeason, 20) * (dayInSeason > 160 ? 40 : 5) + (index * 37) % 90));
        result.addBindValue(index % 5 == 0 ? QStringLiteral("Walked before the reading") : QString());
        exec(result);
    }
    database.commit();
    return dog;
}

void save(QWidget &window, const QString &folder, const char *name)
{
    if (!folder.isEmpty())
        window.grab().save(folder + QLatin1Char('/') + QLatin1String(name));
}

QPoint viewportPositionOf(TWykresForm &window, qsizetype index)
{
    const ChartPoint &point = window.points().at(index);
    const QPointF inChart = window.chart()->mapToPosition({point.x, point.y}, window.SeriesT);
    return window.Chart1->mapFromScene(window.chart()->mapToScene(inChart));
}

void moveMouse(QWidget *viewport, const QPoint &position)
{
    QMouseEvent move(QEvent::MouseMove, position, viewport->mapToGlobal(position), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QString pictures = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    TestDatabase database;
    const int dog = fillDog(database.connection());
    store::Dataset objects(database.connection());
    objects.setSql(QStringLiteral("select * from OBIEKTY"));
    objects.open();
    store::Dataset results(database.connection());
    results.setSql(QStringLiteral("select * from WYNIKI where IDOB = :IDobj order by DATACZAS desc"));
    results.setParam(QStringLiteral("IDOBJ"), dog);
    results.open();

    TViewForm popup;
    ViewForm = &popup;
    TWykresForm window;
    window.setDataSources(&objects, &results);
    const QImage placeholder = QImage::fromData(programFile("Puste.jpg"));

    double slowest = 0;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        window.ClearChart();
        window.ShowPhoto(objects.blob(QStringLiteral("OBRAZEK")), placeholder);
        window.AddMarkedResults(results);
        const double walked = clock.nsecsElapsed() / 1e6;
        window.RescaleAxis();
        const double filled = clock.nsecsElapsed() / 1e6;
        window.show();
        window.repaint();
        const double opening = clock.nsecsElapsed() / 1e6;
        slowest = std::max(slowest, opening);
        std::printf("opening with %d marked results, run %d: %.1f ms (walking the results %.1f ms, "
                    "drawing them into the series %.1f ms, showing %.1f ms)\n",
                    Results, run + 1, opening, walked, filled - walked, opening - filled);
        if (run + 1 < Runs)
            window.hide();
    }
    std::printf("opening, slowest of %d runs: %.1f ms (limit 300 ms)\n", Runs, slowest);
    save(window, pictures, "chart-opened.png");

    // Over the whole history every one of the 5,000 points is on the chart.
    window.BitBtn3->click();
    for (int step = 0; step < 12; ++step)
        window.BitBtn3->click();
    window.repaint();
    save(window, pictures, "chart-zoomed-out.png");

    QWidget *viewport = window.Chart1->viewport();
    const QRect plot =
        window.Chart1->mapFromScene(window.chart()->mapToScene(window.chart()->plotArea())).boundingRect();
    QElapsedTimer sweep;
    sweep.start();
    for (int move = 0; move < MouseMoves; ++move)
        moveMouse(viewport, {plot.left() + move * plot.width() / MouseMoves, plot.center().y()});
    std::printf("hover over %lld points: %.1f us per mouse move\n",
                static_cast<long long>(window.points().count()), sweep.nsecsElapsed() / 1e3 / MouseMoves);

    window.BitBtn4->click();
    window.BitBtn2->click();
    window.BitBtn2->click();
    window.BitBtn6->click();
    window.repaint();
    save(window, pictures, "chart-zoomed-in.png");
    window.BitBtn4->click();
    window.BitBtn7->click();
    window.BitBtn7->click();
    window.repaint();
    save(window, pictures, "chart-panned.png");

    moveMouse(viewport, viewportPositionOf(window, window.points().count() - 12));
    window.repaint();
    save(window, pictures, "chart-hovered.png");
    save(popup, pictures, "chart-popup.png");
    return 0;
}
