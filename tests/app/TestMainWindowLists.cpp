#include "TestMainWindowLists.h"

#include "Connection.h"
#include "Dataset.h"
#include "ErrorLog.h"
#include "MainWindowDriver.h"
#include "ProgramFolder.h"

#include <QBuffer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace
{

QDateTime day(int dayOfMonth)
{
    return QDateTime(QDate(2024, 3, dayOfMonth), QTime(7, 30));
}

QByteArray encodedPicture(const QColor &colour, const char *format)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QList<int> marks(const DbGrid &grid, const QString &field)
{
    int logical = 0;
    while (grid.columns().at(logical).field != field)
        ++logical;
    QList<int> values;
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        values.append(grid.model()->index(row, logical).data(Qt::EditRole).toInt());
    return values;
}

// What the object list draws in the photo cell of a row.
QImage drawnPhotoCell(TMainUniQEVForm &window, int row)
{
    QImage cell(47, 27, QImage::Format_RGB32);
    cell.fill(Qt::white);
    QPainter painter(&cell);
    window.JvDBUGTempObjectsDrawColumnCell(painter, cell.rect(), row,
                                           window.JvDBUGTempObjects->columns().at(0));
    return cell;
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

// Answers the photo dialog as soon as it is shown: with a file, or cancelled.
void answerPhotoDialog(TMainUniQEVForm &window, const QString &file)
{
    QTimer::singleShot(0, &window, [&window, file] {
        QFileDialog *dialog = window.OpenPictureDialog1;
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the file name box, as a user may do.
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
        static_cast<QDialog *>(dialog)->accept();
    });
}

QByteArray storedPhoto(TMainUniQEVForm &window, int objectId)
{
    store::Dataset photo(*window.FDConnection1);
    photo.setSql(QStringLiteral("select * from OBIEKTY where IDOB = :IDobj"));
    photo.setParam(QStringLiteral("IDOBJ"), objectId);
    photo.open();
    return photo.blob(QStringLiteral("OBRAZEK"));
}

} // namespace

void TestMainWindowLists::init()
{
    shownErrors().clear();
}

void TestMainWindowLists::cleanup()
{
    QVERIFY2(shownErrors().isEmpty(), qPrintable(shownErrors().join(u'\n')));
}

// The chosen order survives every later refresh, an import among them, and
// each list keeps its own.
void TestMainWindowLists::sortIsRememberedAcrossRefreshes()
{
    ProgramFolder folder;
    const int charlie = folder.addObject(1, QStringLiteral("Charlie"));
    folder.addObject(2, QStringLiteral("Alpha"));
    folder.addObject(3, QStringLiteral("Bravo"));
    folder.addResult(charlie, day(3), 300);
    folder.addResult(charlie, day(1), 100);
    folder.addResult(charlie, day(2), 200);
    const auto window = openMainWindow(folder);
    DbGrid &objects = *window->JvDBUGTempObjects;
    DbGrid &results = *window->JvDBUGTemp_details;

    clickTitle(objects, 2);
    QCOMPARE(columnTexts(objects, "NAZWA_DEV"), (QStringList{"Alpha", "Bravo", "Charlie"}));
    QCOMPARE(window->LastSortString[0], QStringLiteral("NAZWA_DEV asc "));
    clickTitle(objects, 2);
    QCOMPARE(columnTexts(objects, "NAZWA_DEV"), (QStringList{"Charlie", "Bravo", "Alpha"}));
    clickTitle(results, 2);
    QCOMPARE(columnTexts(results, "DANE2"), (QStringList{"100", "200", "300"}));

    folder.addObject(4, QStringLiteral("Aaron"));
    window->RefreshObjects({});

    QCOMPARE(columnTexts(objects, "NAZWA_DEV"), (QStringList{"Charlie", "Bravo", "Alpha", "Aaron"}));
    QCOMPARE(columnTexts(results, "DANE2"), (QStringList{"100", "200", "300"}));
    QCOMPARE(window->LastSortString[2], QStringLiteral("DANE2 asc "));
    QCOMPARE(objects.horizontalHeader()->sortIndicatorSection(), 2);
    QCOMPARE(objects.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

void TestMainWindowLists::markTitleSetsAllMarksInTurnAndNeverSorts_data()
{
    QTest::addColumn<bool>("resultList");
    QTest::newRow("objects") << false;
    QTest::newRow("results") << true;
}

// The first click after start-up clears every mark, the second sets them
// all; the order of the list never changes.
void TestMainWindowLists::markTitleSetsAllMarksInTurnAndNeverSorts()
{
    QFETCH(bool, resultList);
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    const int zora = folder.addObject(2, QStringLiteral("Zora"));
    folder.addObject(3, QStringLiteral("Aja"));
    folder.addResult(bella, day(5), 500);
    folder.addResult(bella, day(4), 400);
    folder.addResult(zora, day(6), 600);
    folder.execute(QStringLiteral("update OBIEKTY set REZI2 = 1 where IDOB = ?"), {zora});
    folder.execute(QStringLiteral("update WYNIKI set REZI1 = 1 where DANE2 = 400"));
    const auto window = openMainWindow(folder);
    DbGrid &grid = resultList ? *window->JvDBUGTemp_details : *window->JvDBUGTempObjects;
    const QString mark = resultList ? QStringLiteral("REZI1") : QStringLiteral("REZI2");
    const QString shown = resultList ? QStringLiteral("DANE2") : QStringLiteral("NAZWA_DEV");
    const QStringList order = columnTexts(grid, shown);
    const int markPosition = resultList ? 0 : 1;

    clickTitle(grid, markPosition);
    QCOMPARE(marks(grid, mark), QList<int>(grid.model()->rowCount(), 0));
    QCOMPARE(columnTexts(grid, shown), order);
    clickTitle(grid, markPosition);
    QCOMPARE(marks(grid, mark), QList<int>(grid.model()->rowCount(), 1));
    QCOMPARE(columnTexts(grid, shown), order);
    QVERIFY(!grid.dataset()->sql().contains(QLatin1String("order by"), Qt::CaseInsensitive));

    if (resultList) // Another animal's results are not touched.
        QCOMPARE(folder.scalar(QStringLiteral("select REZI1 from WYNIKI where IDOB = ?"), {zora}), 0);
    else
        QCOMPARE(folder.scalar(QStringLiteral("select count(*) from OBIEKTY where REZI2 = 1")), 3);
}

// The user moved the name column to where the mark column was: the title
// buttons act on positions, so that title now runs the marking.
void TestMainWindowLists::titleButtonsGoByDisplayPosition()
{
    ProgramFolder folder;
    folder.addObject(1, QStringLiteral("Bella"));
    folder.addObject(2, QStringLiteral("Aja"));
    const auto window = openMainWindow(folder);
    DbGrid &objects = *window->JvDBUGTempObjects;
    objects.horizontalHeader()->moveSection(2, 1);
    QCOMPARE(displayedFields(objects), (QStringList{"OBRAZEK", "NAZWA_DEV", "REZI2", "OPIS"}));

    clickTitle(objects, 2); // the mark column, now at position 2: refused, nothing
    QCOMPARE(marks(objects, "REZI2"), (QList<int>{0, 0}));
    QCOMPARE(columnTexts(objects, "NAZWA_DEV"), (QStringList{"Bella", "Aja"}));

    folder.execute(QStringLiteral("update OBIEKTY set REZI2 = 1"));
    clickTitle(objects, 1); // the name column at position 1: sorts, then marks
    QCOMPARE(columnTexts(objects, "NAZWA_DEV"), (QStringList{"Aja", "Bella"}));
    QCOMPARE(marks(objects, "REZI2"), (QList<int>{0, 0}));
}

void TestMainWindowLists::markCellClickFlipsMark_data()
{
    QTest::addColumn<bool>("resultList");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("object null") << false << QVariant() << 1;
    QTest::newRow("object 0") << false << QVariant(0) << 1;
    QTest::newRow("object 1") << false << QVariant(1) << 0;
    QTest::newRow("result null") << true << QVariant() << 1;
    QTest::newRow("result 1") << true << QVariant(1) << 0;
}

void TestMainWindowLists::markCellClickFlipsMark()
{
    QFETCH(bool, resultList);
    QFETCH(QVariant, before);
    QFETCH(int, after);
    ProgramFolder folder;
    folder.addObject(1, QStringLiteral("Aja"));
    const int bella = folder.addObject(2, QStringLiteral("Bella"));
    folder.addResult(bella, day(1), 100);
    folder.addResult(bella, day(2), 200);
    if (resultList)
        folder.execute(QStringLiteral("update WYNIKI set REZI1 = ? where DANE2 = 200"), {before});
    else
        folder.execute(QStringLiteral("update OBIEKTY set REZI2 = ? where IDOB = ?"), {before, bella});
    const auto window = openMainWindow(folder);

    clickCell(*window->JvDBUGTempObjects, 1, resultList ? 2 : 1);
    if (resultList)
        clickCell(*window->JvDBUGTemp_details, 1, 0);

    const QString sql = resultList ? QStringLiteral("select REZI1 from WYNIKI where DANE2 = 200")
                                   : QStringLiteral("select REZI2 from OBIEKTY where NAZWA_DEV = 'Bella'");
    QCOMPARE(folder.scalar(sql), after);
    DbGrid &grid = resultList ? *window->JvDBUGTemp_details : *window->JvDBUGTempObjects;
    QCOMPARE(marks(grid, resultList ? "REZI1" : "REZI2").at(1), after);
    // The other row keeps its mark.
    const QString other = resultList ? QStringLiteral("select REZI1 from WYNIKI where DANE2 = 100")
                                     : QStringLiteral("select REZI2 from OBIEKTY where NAZWA_DEV = 'Aja'");
    QCOMPARE(folder.scalar(other), 0);
}

void TestMainWindowLists::cancelledPhotoDialogLeavesRowUntouched()
{
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    const auto window = openMainWindow(folder);

    answerPhotoDialog(*window, {});
    clickCell(*window->JvDBUGTempObjects, 0, 0);

    QCOMPARE(folder.scalar(QStringLiteral("select count(*) from OBIEKTY where OBRAZEK is null and IDOB = ?"),
                           {bella}),
             1);
    QVERIFY(!window->FDQObiekty->isEditing());
}

// The file's bytes go into the database as they are; the cell shows the new
// photo at once, not a picture decoded before.
void TestMainWindowLists::chosenPhotoIsStoredUnchangedAndDrawnAnew()
{
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    QTemporaryDir pictures;
    const QByteArray red = encodedPicture(Qt::red, "JPEG");
    const QByteArray blue = encodedPicture(Qt::blue, "JPEG");
    const QString redFile = writeFile(pictures, QStringLiteral("red dog.jpg"), red);
    const QString blueFile = writeFile(pictures, QStringLiteral("blue dog.jpeg"), blue);
    const auto window = openMainWindow(folder);

    answerPhotoDialog(*window, redFile);
    clickCell(*window->JvDBUGTempObjects, 0, 0);
    QCOMPARE(storedPhoto(*window, bella), red);
    QVERIFY(near(drawnPhotoCell(*window, 0).pixelColor(23, 13), Qt::red));

    answerPhotoDialog(*window, blueFile);
    clickCell(*window->JvDBUGTempObjects, 0, 0);
    QCOMPARE(storedPhoto(*window, bella), blue);
    QVERIFY(near(drawnPhotoCell(*window, 0).pixelColor(23, 13), Qt::blue));
}

void TestMainWindowLists::photoCellShowsPlaceholder_data()
{
    QTest::addColumn<QByteArray>("photo");
    QTest::newRow("no photo") << QByteArray();
    QTest::newRow("a PNG picture") << encodedPicture(Qt::red, "PNG");
    QTest::newRow("a cut JPEG") << encodedPicture(Qt::red, "JPEG").left(20);
}

void TestMainWindowLists::photoCellShowsPlaceholder()
{
    QFETCH(QByteArray, photo);
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    if (!photo.isEmpty())
        folder.execute(QStringLiteral("update OBIEKTY set OBRAZEK = ? where IDOB = ?"), {photo, bella});
    QFile::remove(folder.placeholderFile());
    QFile placeholder(folder.placeholderFile());
    QVERIFY(placeholder.open(QIODevice::WriteOnly));
    placeholder.write(encodedPicture(Qt::green, "JPEG"));
    placeholder.close();
    const auto window = openMainWindow(folder);

    QVERIFY(near(drawnPhotoCell(*window, 0).pixelColor(23, 13), Qt::green));
}

void TestMainWindowLists::emptyObjectListGivesEmptyResultList()
{
    ProgramFolder folder;
    const auto window = openMainWindow(folder);

    QVERIFY(window->FDQObiekty->isActive());
    QCOMPARE(window->JvDBUGTempObjects->model()->rowCount(), 0);
    QVERIFY(window->FDQWyniki->isActive());
    QCOMPARE(window->JvDBUGTemp_details->model()->rowCount(), 0);

    clickTitle(*window->JvDBUGTemp_details, 0);
    clickTitle(*window->JvDBUGTempObjects, 1);
    QVERIFY(window->FlSelect_WT);
    QVERIFY(window->FlSelect_OT);
    QCOMPARE(window->JvDBUGTemp_details->model()->rowCount(), 0);
}

void TestMainWindowLists::movingInObjectListReloadsResults()
{
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    const int zora = folder.addObject(2, QStringLiteral("Zora"));
    folder.addResult(bella, day(1), 100);
    folder.addResult(zora, day(2), 200);
    folder.addResult(zora, day(3), 300);
    const auto window = openMainWindow(folder);
    QCOMPARE(columnTexts(*window->JvDBUGTemp_details, "DANE2"), QStringList{"100"});

    clickCell(*window->JvDBUGTempObjects, 1, 2);
    QCOMPARE(columnTexts(*window->JvDBUGTemp_details, "DANE2"), (QStringList{"200", "300"}));

    window->JvDBUGTempObjects->setFocus();
    QTest::keyClick(window->JvDBUGTempObjects, Qt::Key_Up);
    QCOMPARE(window->FDQObiekty->asInteger("IDOB"), bella);
    QCOMPARE(columnTexts(*window->JvDBUGTemp_details, "DANE2"), QStringList{"100"});
}
