#include "TestMainWindowStartUp.h"

#include "Connection.h"
#include "Dataset.h"
#include "DatePicker.h"
#include "ErrorLog.h"
#include "FTDIchip.h"
#include "MainWindowDriver.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSplitter>

namespace
{

const QDateTime designFrom(QDate(2017, 5, 30), QTime(0, 0, 0));
const QDateTime designTo(QDate(2017, 5, 30), QTime(23, 59, 59));

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QList<int> columnWidths(const DbGrid &grid)
{
    QList<int> widths;
    for (int logical = 0; logical < grid.columns().size(); ++logical)
        widths.append(grid.columnWidth(logical));
    return widths;
}

} // namespace

void TestMainWindowStartUp::init()
{
    shownErrors().clear();
}

void TestMainWindowStartUp::cleanup()
{
    QVERIFY2(shownErrors().isEmpty(), qPrintable(shownErrors().join(u'\n')));
}

void TestMainWindowStartUp::startUpFindsItsFilesInFolderWithBlanks()
{
    ProgramFolder folder;
    const int bella = folder.addObject(1, QStringLiteral("Bella"));
    folder.addObject(2, QStringLiteral("Luna"));
    folder.addResult(bella, QDateTime(QDate(2024, 3, 1), QTime(8, 0)), 310);
    folder.addResult(bella, QDateTime(QDate(2024, 3, 2), QTime(8, 0)), 420);
    // Another instrument's animal, which the lists of device 3 never show.
    folder.execute(
        QStringLiteral("insert into ZRVDEVICES (IDDEV, DEV_TYPE, NUMER_SER) values (1, 'QEV', 7)"));
    folder.execute(
        QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV) values (1, 1, 'Other')"));

    const auto window = openMainWindow(folder);

    QCOMPARE(window->windowTitle(), QStringLiteral("ZORVIK S. A.   v.1.32"));
    QCOMPARE(window->ProgramPath, folder.path());
    QVERIFY(window->FDConnection1->isOpen());
    QCOMPARE(QFileInfo(window->FDConnection1->databaseFile()).canonicalFilePath(),
             QFileInfo(folder.databaseFile()).canonicalFilePath());
    QVERIFY(window->JpegImagePuste && !window->JpegImagePuste->isNull());
    QVERIFY(window->FtdiRS != nullptr);
    QVERIFY(!window->FtdiRS->fconnected);
    QVERIFY(!window->FlagaJest);
    QVERIFY(window->FDTableKonfig->isActive());
    QCOMPARE(window->FDTableDevices->asInteger(QStringLiteral("IDDEV")), 3);
    QCOMPARE(columnTexts(*window->JvDBUGTempObjects, QStringLiteral("NAZWA_DEV")),
             (QStringList{QStringLiteral("Bella"), QStringLiteral("Luna")}));
    QCOMPARE(window->FDQWyniki->recordCount(), 2);
    QCOMPARE(window->FDQWyniki->asInteger(QStringLiteral("IDOB")), bella);

    window->close();
    QVERIFY(!window->FDConnection1->isOpen());
    QVERIFY(window->FtdiRS == nullptr);
}

void TestMainWindowStartUp::failedStartUpLeavesWindowUsable_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("databaseOpens");
    QTest::newRow("database missing") << QStringLiteral("database missing") << false;
    QTest::newRow("database not a database") << QStringLiteral("database garbage") << false;
    QTest::newRow("placeholder missing") << QStringLiteral("placeholder missing") << true;
    QTest::newRow("placeholder not a JPEG") << QStringLiteral("placeholder garbage") << true;
}

// The user learns which file is wrong and where it should be; every later
// handler finds nothing to work on instead of an object never created.
void TestMainWindowStartUp::failedStartUpLeavesWindowUsable()
{
    QFETCH(QString, fault);
    QFETCH(bool, databaseOpens);
    ProgramFolder folder;
    folder.addObject(1, QStringLiteral("Bella"));
    const bool databaseFault = fault.startsWith(QLatin1String("database"));
    const QString brokenFile = databaseFault ? folder.databaseFile() : folder.placeholderFile();
    QFile::remove(brokenFile);
    if (fault.endsWith(QLatin1String("garbage")))
        writeFile(brokenFile, QByteArray("this is no file of ours\n").repeated(40));

    const auto window = openMainWindow(folder);

    QCOMPARE(shownErrors().size(), 1);
    const QString message = shownErrors().first();
    const QFileInfo broken(brokenFile);
    QVERIFY2(message.contains(QDir::toNativeSeparators(brokenFile)) ||
                 (message.contains(QDir::toNativeSeparators(broken.absolutePath())) &&
                  message.contains(broken.fileName())),
             qPrintable(message));
    shownErrors().clear();
    QVERIFY(window->isVisible());
    QCOMPARE(window->FDConnection1->isOpen(), databaseOpens);
    QVERIFY(window->FtdiRS == nullptr);
    QVERIFY(!window->FDQObiekty->isActive());

    for (int position = 0; position < 4; ++position) {
        clickTitle(*window->JvDBUGTempObjects, position);
        clickTitle(*window->JvDBUGTemp_details, position);
        window->jvdbGrHobjectsCellClick(position);
        window->jvdbGrHresultsCellClick(position);
    }
    window->RefreshObjects(QStringLiteral("NAZWA_DEV asc "));
    window->JvDBUGTempObjects->grab();
    window->close();

    QVERIFY2(shownErrors().isEmpty(), qPrintable(shownErrors().join(u'\n')));
    QVERIFY(!window->FDConnection1->isOpen());
    if (databaseOpens)
        QCOMPARE(folder.scalar(QStringLiteral("select count(*) from OBIEKTY where REZI2 = 0")), 1);
}

void TestMainWindowStartUp::deviceTableWithoutRow3_data()
{
    QTest::addColumn<bool>("otherDevice");
    QTest::addColumn<QStringList>("shownObjects");
    QTest::newRow("another device only") << true << QStringList{QStringLiteral("Kept")};
    QTest::newRow("no device at all") << false << QStringList{};
}

// The table stays on its first row: the lists show that device's objects,
// or nothing when there is no device.
void TestMainWindowStartUp::deviceTableWithoutRow3()
{
    QFETCH(bool, otherDevice);
    QFETCH(QStringList, shownObjects);
    ProgramFolder folder;
    folder.addObject(1, QStringLiteral("Device 3"));
    folder.execute(QStringLiteral("delete from ZRVDEVICES"));
    if (otherDevice) {
        folder.execute(
            QStringLiteral("insert into ZRVDEVICES (IDDEV, DEV_TYPE, NUMER_SER) values (5, 'QEV', 1)"));
        folder.execute(
            QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV) values (5, 1, 'Kept')"));
    }

    const auto window = openMainWindow(folder);

    QCOMPARE(columnTexts(*window->JvDBUGTempObjects, QStringLiteral("NAZWA_DEV")), shownObjects);
    QVERIFY(window->FDQWyniki->isActive());
    QCOMPARE(window->FDQWyniki->recordCount(), 0);
    QVERIFY(window->FtdiRS != nullptr);
}

void TestMainWindowStartUp::firstRunUsesDesignValues()
{
    ProgramFolder folder;
    QVERIFY(!QFile::exists(folder.stateFile()));

    const auto window = openMainWindow(folder);

    QCOMPARE(window->dtpDataOd->dateTime(), designFrom);
    QCOMPARE(window->dtpDataDo->dateTime(), designTo);
    QCOMPARE(window->Panel3->width(), 496);
    QCOMPARE(columnWidths(*window->JvDBUGTempObjects), (QList<int>{47, 28, 173, 322}));
    QCOMPARE(columnWidths(*window->JvDBUGTemp_details), (QList<int>{23, 145, 82, 301}));
    QCOMPARE(displayedFields(*window->JvDBUGTempObjects),
             (QStringList{"OBRAZEK", "REZI2", "NAZWA_DEV", "OPIS"}));
    QCOMPARE(displayedFields(*window->JvDBUGTemp_details),
             (QStringList{"REZI1", "DATACZAS", "DANE2", "REZC"}));
}

void TestMainWindowStartUp::windowStateComesBack()
{
    ProgramFolder folder;
    const QDateTime from(QDate(2024, 2, 1), QTime(0, 0));
    const QDateTime to(QDate(2024, 2, 14), QTime(23, 59, 59));
    {
        const auto window = openMainWindow(folder);
        window->dtpDataOd->setDateTime(from);
        window->dtpDataDo->setDateTime(to);
        window->Splitter2->setSizes({380, window->Splitter2->width() - 380});
        window->JvDBUGTempObjects->horizontalHeader()->moveSection(2, 1);
        window->JvDBUGTempObjects->setColumnWidth(3, 200);
        window->JvDBUGTemp_details->setColumnWidth(1, 160);
        window->resize(1100, 720);
        window->close();
    }
    QSettings stored(folder.stateFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("MainUniQEVForm/JvDBUGTempObjects.OPIS")).toString(),
             QStringLiteral("3,200"));
    QCOMPARE(stored.value(QStringLiteral("MainUniQEVForm/JvDBUGTempObjects.NAZWA_DEV")).toString(),
             QStringLiteral("1,173"));

    const auto window = openMainWindow(folder);
    QCOMPARE(window->dtpDataOd->dateTime(), from);
    QCOMPARE(window->dtpDataDo->dateTime(), to);
    QCOMPARE(window->Panel3->width(), 380);
    QCOMPARE(window->size(), QSize(1100, 720));
    QCOMPARE(displayedFields(*window->JvDBUGTempObjects),
             (QStringList{"OBRAZEK", "NAZWA_DEV", "REZI2", "OPIS"}));
    QCOMPARE(columnWidths(*window->JvDBUGTempObjects), (QList<int>{47, 28, 173, 200}));
    QCOMPARE(window->JvDBUGTemp_details->columnWidth(1), 160);
}

void TestMainWindowStartUp::damagedLayoutKeepsDesignColumns()
{
    ProgramFolder folder;
    QDir().mkpath(QFileInfo(folder.stateFile()).path());
    {
        QSettings stored(folder.stateFile(), QSettings::IniFormat);
        stored.setValue(QStringLiteral("MainUniQEVForm/JvDBUGTempObjects.OPIS"), QStringLiteral("wide"));
        stored.setValue(QStringLiteral("MainUniQEVForm/JvDBUGTempObjects.NAZWA_DEV"), QStringLiteral("9,-5"));
        stored.setValue(QStringLiteral("MainUniQEVForm/Panel3.Width"), QStringLiteral("broad"));
        stored.setValue(QStringLiteral("MainUniQEVForm/dtpDataOd.Date"), QStringLiteral("yesterday"));
    }

    const auto window = openMainWindow(folder);

    QCOMPARE(columnWidths(*window->JvDBUGTempObjects), (QList<int>{47, 28, 173, 322}));
    QCOMPARE(displayedFields(*window->JvDBUGTempObjects),
             (QStringList{"OBRAZEK", "REZI2", "NAZWA_DEV", "OPIS"}));
    QCOMPARE(window->Panel3->width(), 496);
    QCOMPARE(window->dtpDataOd->dateTime(), designFrom);
}
