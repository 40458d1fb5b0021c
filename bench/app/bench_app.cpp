// Prints the main window's figures:
//   1. a full repaint of the object list showing 20 rows of 4000 x 3000
//      JPEG photos (first paint, then every later one): at most 30 ms;
//   2. resident memory with 255 objects of 5 MB photos, after every row of
//      the list was drawn: under 300 MB;
//   3. refreshing a result list of 10,000 rows: at most 100 ms;
//   4. start-up to the window shown with that database: at most 1.5 s.
// With "--fill-demo <database file> <count>" it fills a database with a
// herd for looking at the window instead.
#include "Connection.h"
#include "Dataset.h"
#include "DbGrid.h"
#include "MainUniQEV.h"
#include "QevApplication.h"
#include "SqlStatement.h"
#include "StoredProcedure.h"
#include "TestDatabase.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace
{

// A photo-like picture (smooth shading with fine grain, so the encoder
// cannot shrink it to nothing) encoded as a JPEG.
QByteArray photoJpeg(int width, int height, int quality, quint32 seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = int(random.bounded(64u));
            line[x] = qRgb((x * 255 / width + grain) & 0xff, (y * 255 / height + grain) & 0xff,
                           (seed * 40 + grain) & 0xff);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPEG", quality);
    return bytes;
}

class ProgramFolder
{
public:
    ProgramFolder() : m_folder(m_root.path() + QStringLiteral("/program/"))
    {
        QDir().mkpath(m_folder);
        TestDatabase::createFile(m_folder + QStringLiteral("ZRVbase.fb"));
        QFile::copy(QStringLiteral(QEV_RESOURCES_DIR "/Puste.jpg"), m_folder + QStringLiteral("Puste.jpg"));
        m_connection.open(m_folder + QStringLiteral("ZRVbase.fb"));
    }

    QString path() const { return m_folder; }
    QString stateFile() const { return m_root.path() + QStringLiteral("/ZorviQEV.cfp"); }

    int addObject(int slot, const QByteArray &photo)
    {
        store::StoredProcedure object(m_connection, QStringLiteral("P_UPDATEOBIEKT_TEMP"));
        const QVariantList inputs{3,
                                  slot,
                                  QStringLiteral("Dog %1").arg(slot, 3, 10, QLatin1Char('0')),
                                  QString(),
                                  QStringLiteral("Description of dog %1").arg(slot),
                                  0};
        for (int i = 0; i < inputs.size(); ++i)
            object.setParam(i + 1, inputs.at(i));
        object.execute();
        const int id = object.outputInteger(7);
        store::SqlStatement::execute(m_connection.database(),
                                     QStringLiteral("update OBIEKTY set OBRAZEK = ? where IDOB = ?"),
                                     {photo, id}, QStringLiteral("bench"));
        return id;
    }

    void addResults(int objectId, int count)
    {
        store::StoredProcedure result(m_connection, QStringLiteral("P_WYNIKI_UI"));
        const QDateTime start(QDate(2020, 1, 1), QTime(6, 0));
        for (int i = 0; i < count; ++i) {
            const QVariantList inputs{objectId,
                                      start.addSecs(qint64(i) * 3 * 3600),
                                      0.0,
                                      double(200 + i % 900),
                                      i,
                                      0,
                                      i % 3 == 0 ? 1 : 0,
                                      QString()};
            for (int p = 0; p < inputs.size(); ++p)
                result.setParam(p + 1, inputs.at(p));
            result.execute();
        }
    }

    void closeConnection() { m_connection.close(); }

private:
    QTemporaryDir m_root;
    QString m_folder;
    store::Connection m_connection;
};

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return -1;
}

// Paints the list's visible cells into a picture, as a repaint does.
double repaintMilliseconds(DbGrid &grid)
{
    QImage canvas(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer timer;
    timer.start();
    grid.viewport()->render(&canvas);
    return timer.nsecsElapsed() / 1e6;
}

std::unique_ptr<TMainUniQEVForm> openWindow(const ProgramFolder &folder, double *shownAfterMs = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<TMainUniQEVForm>(folder.path(), folder.stateFile());
    window->resize(1280, 1000);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::fprintf(stderr, "the window was not shown\n");
    window->grab();
    if (shownAfterMs)
        *shownAfterMs = timer.nsecsElapsed() / 1e6;
    return window;
}

void benchPhotoRepaint()
{
    ProgramFolder folder;
    for (int slot = 1; slot <= 20; ++slot)
        folder.addObject(slot, photoJpeg(4000, 3000, 85, slot));
    folder.closeConnection();
    const auto window = openWindow(folder);
    DbGrid &objects = *window->JvDBUGTempObjects;
    const int visibleRows = objects.rowAt(objects.viewport()->height() - 1) + 1;

    const double first = repaintMilliseconds(objects);
    double worst = 0;
    double total = 0;
    constexpr int repaints = 50;
    for (int i = 0; i < repaints; ++i) {
        const double ms = repaintMilliseconds(objects);
        worst = qMax(worst, ms);
        total += ms;
    }
    std::printf("object list, %d rows of 4000x3000 JPEG photos shown (%d visible):\n", 20,
                visibleRows > 0 ? visibleRows : 20);
    std::printf("  first paint (reads and decodes every photo): %.1f ms\n", first);
    std::printf("  later repaints: mean %.2f ms, worst %.2f ms (limit 30 ms)\n", total / repaints, worst);
}

void benchHerd()
{
    ProgramFolder folder;
    qint64 photoBytes = 0;
    for (int slot = 0; slot < 255; ++slot) {
        const QByteArray photo = photoJpeg(4000, 3000, 97, slot);
        photoBytes += photo.size();
        folder.addObject(slot, photo);
    }
    const int firstObjectId = 1;
    folder.addResults(firstObjectId, 10000);
    folder.closeConnection();

    double startUpMs = 0;
    const auto window = openWindow(folder, &startUpMs);
    std::printf("255 objects, photos of %.1f MB on average, 10,000 results of the first object:\n",
                photoBytes / 255.0 / 1e6);
    std::printf("  start-up to the window shown: %.0f ms (limit 1500 ms)\n", startUpMs);

    DbGrid &objects = *window->JvDBUGTempObjects;
    QScrollBar *scroll = objects.verticalScrollBar();
    for (int value = scroll->minimum(); value <= scroll->maximum(); value += qMax(1, scroll->pageStep())) {
        scroll->setValue(value);
        repaintMilliseconds(objects);
    }
    scroll->setValue(scroll->maximum());
    repaintMilliseconds(objects);
    std::printf("  resident memory after drawing every photo: %.0f MB (limit 300 MB)\n", residentMegabytes());

    double worst = 0;
    double total = 0;
    constexpr int refreshes = 20;
    for (int i = 0; i < refreshes; ++i) {
        QElapsedTimer timer;
        timer.start();
        window->RefreshResults({});
        const double ms = timer.nsecsElapsed() / 1e6;
        worst = qMax(worst, ms);
        total += ms;
    }
    std::printf("  refreshing the result list of %d rows: mean %.1f ms, worst %.1f ms (limit 100 ms)\n",
                window->FDQWyniki->recordCount(), total / refreshes, worst);
}

// Fills a database with a herd for looking at the window: named animals
// with descriptions, photos and a season of results each.
void fillDemoDatabase(const QString &databaseFile, int animals)
{
    const QStringList names{"Bella", "Luna",  "Kira", "Maja", "Sonia",
                            "Tola",  "Fiona", "Nela", "Roxy", "Daisy"};
    store::Connection connection;
    connection.open(databaseFile);
    store::StoredProcedure object(connection, QStringLiteral("P_UPDATEOBIEKT_TEMP"));
    store::StoredProcedure result(connection, QStringLiteral("P_WYNIKI_UI"));
    for (int slot = 0; slot < animals; ++slot) {
        const QString name =
            names.at(slot % names.size()) + QStringLiteral(" %1").arg(slot / names.size() + 1);
        const QVariantList inputs{3, slot, name, QString(), QString(), 0};
        for (int i = 0; i < inputs.size(); ++i)
            object.setParam(i + 1, inputs.at(i));
        object.execute();
        const int id = object.outputInteger(7);
        const QByteArray photo = slot % 7 == 3 ? QByteArray() : photoJpeg(640, 480, 85, quint32(slot));
        store::SqlStatement::execute(
            connection.database(), QStringLiteral("update OBIEKTY set OBRAZEK = ?, OPIS = ? where IDOB = ?"),
            {photo.isEmpty() ? QVariant() : QVariant(photo),
             QStringLiteral("Kennel line %1, born %2").arg(slot % 5 + 1).arg(2016 + slot % 7), id},
            QStringLiteral("demo"));
        const QDateTime start(QDate(2024, 3, 1), QTime(7, 30));
        for (int day = 0; day < 12; ++day) {
            const QVariantList values{id,  start.addDays(day).addSecs(slot * 60),
                                      0.0, double(180 + day * day * 9 + slot % 40),
                                      day, 0,
                                      0,   QString()};
            for (int i = 0; i < values.size(); ++i)
                result.setParam(i + 1, values.at(i));
            result.execute();
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--fill-demo") == 0) {
        QCoreApplication application(argc, argv);
        fillDemoDatabase(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt());
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QevApplication application(argc, argv);
    QevApplication::setErrorDisplay(
        [](const QString &message) { std::fprintf(stderr, "error: %s\n", qUtf8Printable(message)); });
    benchPhotoRepaint();
    benchHerd();
    return 0;
}
