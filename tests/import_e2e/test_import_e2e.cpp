#include "Connection.h"
#include "Dataset.h"
#include "FTDIchip.h"
#include "HerdFile.h"
#include "LangFlagsCombo.h"
#include "MainUniQEV.h"
#include "ProgramFolder.h"
#include "QevApplication.h"
#include "SqlStatement.h"
#include "UnInfo.h"
#include "UnProgres.h"
#include "VirtualInstrument.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <mutex>
#include <time.h>

namespace
{

QStringList &shownErrors()
{
    static QStringList errors;
    return errors;
}

// Three dogs: one with readings in the hours that daylight saving skips
// and repeats in Warsaw, one at index 0x0D, one with no readings at all.
const char *const threeDogs = R"(object 1 Ada
measurement 2026-03-29 02:30:00 512 0x123456
measurement 2026-10-25 02:30:10 -7 5
object 0x0D Bea
measurement 2025-12-31 23:59:58 32767 16777215
object 0 Cid
)";

Herd herdFrom(const char *text)
{
    const HerdFileResult parsed = parseHerd(text, AnsiText::activeCodePage());
    if (!parsed.herd)
        qFatal("bad test herd: %s", qPrintable(parsed.error));
    return *parsed.herd;
}

// What the user could see while START ran: one entry each time the
// progress window's picture changed, taken as its messages come and go.
class Observation : public QObject
{
public:
    QStringList pictures;
    bool hourglassSeen = false;

    Observation()
    {
        for (QWidget *widget : watched())
            widget->installEventFilter(this);
        connect(ProgresForm->ProgressBar1, &QProgressBar::valueChanged, this, &Observation::sample);
    }
    ~Observation() override
    {
        for (QWidget *widget : watched())
            widget->removeEventFilter(this);
    }

    void sample()
    {
        QStringList visible;
        if (ProgresForm->isVisible()) {
            for (QLabel *label : labels())
                if (label->isVisible())
                    visible.append(label->objectName());
            visible.append(QString::number(ProgresForm->ProgressBar1->value()));
        } else {
            visible.append(QStringLiteral("hidden"));
        }
        hourglassSeen = hourglassSeen || QApplication::overrideCursor() != nullptr;
        const QString picture = visible.join(u' ');
        if (pictures.isEmpty() || pictures.last() != picture)
            pictures.append(picture);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
            sample();
        return false;
    }

private:
    static QList<QLabel *> labels()
    {
        return {ProgresForm->LabSearch, ProgresForm->LabImport, ProgresForm->LabNodevice,
                ProgresForm->LabError, ProgresForm->LabelFTDI};
    }
    static QList<QWidget *> watched()
    {
        QList<QWidget *> widgets{ProgresForm};
        for (QLabel *label : labels())
            widgets.append(label);
        return widgets;
    }
};

} // namespace

class TestImportEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importsTheHerd();
    void reimportStoresNothingNewAndKeepsTheUsersWork();
    void emptyObjectListRefreshesTheList();
    void impossibleDateIsSkippedSilently();
    void shortIdentifyReplyIsNoDevice();
    void objectListWithoutTerminatorIsAnImportError();
    void noDeviceLeavesTheCursorAlone();
    void onlyTheFirstOfTwoCandidatesIsOpened();
    void secondStartWhileImportingIsIgnored();
    void closeWaitsForTheImport();
    void userWorkWhileImportingDoesNoHarm();

private:
    VirtualInstrument &startInstrument(const Herd &herd, const QByteArray &usbSerial = "PPE2E001",
                                       InstrumentFault fault = InstrumentFault::None);
    void openWindow();
    // Presses START and returns when the import has ended.
    std::unique_ptr<Observation> pressStart();
    QStringList commandsReceived(const VirtualInstrument &instrument);
    QList<QVariantList> rows(const QString &sql, const QVariantList &params = {});

    std::unique_ptr<ProgramFolder> folder_;
    std::unique_ptr<TMainUniQEVForm> window_;
    std::vector<std::unique_ptr<VirtualInstrument>> instruments_;
    std::mutex logMutex_;
    QStringList log_; // every instrument's lines, each after its serial number
};

void TestImportEndToEnd::init()
{
    shownErrors().clear();
    folder_ = std::make_unique<ProgramFolder>();
}

void TestImportEndToEnd::cleanup()
{
    window_.reset();
    MainUniQEVForm = nullptr;
    ProgresForm = nullptr;
    InfoForm = nullptr;
    instruments_.clear();
    log_.clear();
    folder_.reset();
    QVERIFY2(shownErrors().isEmpty(), qPrintable(shownErrors().join(u'\n')));
}

VirtualInstrument &TestImportEndToEnd::startInstrument(const Herd &herd, const QByteArray &usbSerial,
                                                       InstrumentFault fault)
{
    InstrumentOptions options;
    options.usbSerial = usbSerial;
    options.fault = fault;
    // The log names the instrument by its serial number, which is unique.
    auto instrument =
        std::make_unique<VirtualInstrument>(options, herd, [this, usbSerial](const QString &line) {
            std::lock_guard lock(logMutex_);
            log_.append(QString::fromLatin1(usbSerial) + u' ' + line);
        });
    QString error;
    if (!instrument->start(error))
        qFatal("cannot start the virtual instrument: %s", qPrintable(error));
    instruments_.push_back(std::move(instrument));
    return *instruments_.back();
}

QStringList TestImportEndToEnd::commandsReceived(const VirtualInstrument &instrument)
{
    const QString prefix = QString::fromLatin1(instrument.options().usbSerial) + QStringLiteral(" command ");
    std::lock_guard lock(logMutex_);
    QStringList commands;
    for (const QString &line : log_)
        if (line.startsWith(prefix))
            commands.append(line.mid(prefix.size()).section(u':', 0, 0));
    return commands;
}

void TestImportEndToEnd::openWindow()
{
    window_ = std::make_unique<TMainUniQEVForm>(folder_->path(), folder_->stateFile());
    MainUniQEVForm = window_.get();
    ProgresForm = new TProgresForm(window_.get());
    InfoForm = new TInfoForm(window_.get());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

std::unique_ptr<Observation> TestImportEndToEnd::pressStart()
{
    auto observation = std::make_unique<Observation>();
    QTimer sampler;
    sampler.setInterval(5);
    QObject::connect(&sampler, &QTimer::timeout, observation.get(), &Observation::sample);
    sampler.start();
    QTest::mouseClick(window_->ButtonConnect, Qt::LeftButton);
    sampler.stop();
    observation->sample();
    return observation;
}

QList<QVariantList> TestImportEndToEnd::rows(const QString &sql, const QVariantList &params)
{
    return store::SqlStatement::select(window_->FDConnection1->database(), sql, params,
                                       QStringLiteral("test"))
        .rows;
}

void TestImportEndToEnd::importsTheHerd()
{
    const VirtualInstrument &instrument = startInstrument(herdFrom(threeDogs), "PPE2E001");
    openWindow();
    const auto seen = pressStart();

    // The instrument's own serial number is "CM" and the last six
    // characters of the chip's.
    QCOMPARE(window_->LabSN->text(), QStringLiteral("CME2E001"));
    QCOMPARE(window_->LabFV->text(), QStringLiteral("1.07"));
    QCOMPARE(window_->LabNazwa->text(), QStringLiteral("Cycle monitor"));
    QVERIFY(window_->FlagaJest);
    QCOMPARE(window_->DevFirmWare, QByteArray("1.07"));
    QCOMPARE(window_->USBPortSerial, QByteArray("PPE2E001"));
    QVERIFY(window_->FtdiRS->fconnected);
    QCOMPARE(commandsReceived(instrument), (QStringList{"I", "L", "M 1", "M 13", "M 0"}));

    QCOMPARE(rows("SELECT IDO_INDEV, NAZWA_DEV FROM OBIEKTY WHERE IDDEV = 3 ORDER BY IDO_INDEV"),
             (QList<QVariantList>{{0, "Cid"}, {1, "Ada"}, {13, "Bea"}}));
    // The instrument's wall-clock time as it is, also in the hour that
    // daylight saving skips here and the one it repeats.
    QCOMPARE(rows("SELECT O.IDO_INDEV, CAST(W.DATACZAS AS VARCHAR(24)), W.DANE1, W.DANE2, W.DANE3, W.DANE4, "
                  "W.REZI1, W.REZC FROM WYNIKI W JOIN OBIEKTY O ON O.IDOB = W.IDOB ORDER BY W.DATACZAS"),
             (QList<QVariantList>{{13, "2025-12-31 23:59:58.0000", 0.0, 32767.0, 16777215, 0, 0, ""},
                                  {1, "2026-03-29 02:30:00.0000", 0.0, 512.0, 0x123456, 0, 0, ""},
                                  {1, "2026-10-25 02:30:10.0000", 0.0, -7.0, 5, 0, 0, ""}}));

    // The list shows the herd; the window is gone, the cursor is back.
    QCOMPARE(window_->FDQObiekty->recordCount(), 3);
    QCOMPARE(ProgresForm->ProgressBar1->value(), 100);
    QVERIFY(!ProgresForm->isVisible());
    QVERIFY(seen->hourglassSeen);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // Searching at 0, then importing at 60 and 80, then gone.
    const QStringList &pictures = seen->pictures;
    const qsizetype searching = pictures.indexOf(QStringLiteral("LabSearch 0"));
    const qsizetype identified = pictures.indexOf(QStringLiteral("LabImport 60"));
    const qsizetype listed = pictures.indexOf(QStringLiteral("LabImport 80"));
    QVERIFY2(searching >= 0 && searching < identified && identified < listed,
             qPrintable(pictures.join(u'|')));
    QCOMPARE(seen->pictures.last(), QStringLiteral("hidden"));
}

void TestImportEndToEnd::reimportStoresNothingNewAndKeepsTheUsersWork()
{
    startInstrument(herdFrom(threeDogs));
    openWindow();
    pressStart();
    const int objects = rows("SELECT COUNT(*) FROM OBIEKTY").first().first().toInt();
    const int results = rows("SELECT COUNT(*) FROM WYNIKI").first().first().toInt();
    QCOMPARE(objects, 3);
    QCOMPARE(results, 3);

    // The user's work on Ada (index 1) and on one of her results.
    store::Dataset &list = *window_->FDQObiekty;
    QVERIFY(list.locate(QStringLiteral("IDO_INDEV"), 1));
    const int ada = list.asInteger(QStringLiteral("IDOB"));
    list.edit();
    list.setValue(QStringLiteral("OPIS"), QStringLiteral("calm, eats well"));
    list.setValue(QStringLiteral("NAZWA_LONG"), QStringLiteral("Ada of the Hill"));
    list.setValue(QStringLiteral("REZI2"), 1);
    list.loadBlobFromFile(QStringLiteral("OBRAZEK"), folder_->placeholderFile());
    list.post();
    store::SqlStatement::execute(window_->FDConnection1->database(),
                                 "UPDATE WYNIKI SET REZC = 'peak', REZI1 = 1 WHERE IDOB = ?", {ada},
                                 QStringLiteral("test"));

    pressStart();
    QCOMPARE(rows("SELECT COUNT(*) FROM OBIEKTY").first().first().toInt(), objects);
    QCOMPARE(rows("SELECT COUNT(*) FROM WYNIKI").first().first().toInt(), results);
    QFile photo(folder_->placeholderFile());
    QVERIFY(photo.open(QIODevice::ReadOnly));
    QCOMPARE(rows("SELECT OPIS, NAZWA_LONG, REZI2, OBRAZEK FROM OBIEKTY WHERE IDOB = ?", {ada}),
             (QList<QVariantList>{{"calm, eats well", "Ada of the Hill", 1, photo.readAll()}}));
    QCOMPARE(rows("SELECT REZC, REZI1 FROM WYNIKI WHERE IDOB = ?", {ada}),
             (QList<QVariantList>{{"peak", 1}, {"peak", 1}}));
}

void TestImportEndToEnd::emptyObjectListRefreshesTheList()
{
    startInstrument(herdFrom(""));
    openWindow();
    // A row the list has not seen yet: only a refresh shows it.
    store::SqlStatement::execute(window_->FDConnection1->database(),
                                 "INSERT INTO OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV) VALUES (3, 7, 'Old')", {},
                                 QStringLiteral("test"));
    QCOMPARE(window_->FDQObiekty->recordCount(), 0);
    const auto seen = pressStart();
    QCOMPARE(rows("SELECT COUNT(*) FROM OBIEKTY").first().first().toInt(), 1);
    QCOMPARE(rows("SELECT COUNT(*) FROM WYNIKI").first().first().toInt(), 0);
    QCOMPARE(window_->FDQObiekty->recordCount(), 1);
    QCOMPARE(ProgresForm->ProgressBar1->value(), 100);
    QVERIFY(window_->FlagaJest);
    QVERIFY(!seen->pictures.join(u'|').contains(QStringLiteral("LabError")));
}

void TestImportEndToEnd::impossibleDateIsSkippedSilently()
{
    startInstrument(herdFrom("object 5 Dot\n"
                             "raw 0x285E 0x3C00 377\n"
                             "measurement 2019-02-28 07:00:00 378\n"));
    openWindow();
    pressStart();
    QCOMPARE(rows("SELECT CAST(DATACZAS AS VARCHAR(24)), DANE2 FROM WYNIKI"),
             (QList<QVariantList>{{"2019-02-28 07:00:00.0000", 378.0}}));
    QVERIFY(window_->FlagaJest);
}

void TestImportEndToEnd::shortIdentifyReplyIsNoDevice()
{
    const VirtualInstrument &instrument =
        startInstrument(herdFrom(threeDogs), "PPE2E001", InstrumentFault::ShortIdentify);
    openWindow();
    window_->LabSN->setText(QStringLiteral("CMOLD0001"));
    const auto seen = pressStart();
    QVERIFY(seen->pictures.contains(QStringLiteral("LabNodevice 0")));
    QVERIFY(!window_->FlagaJest);
    QCOMPARE(commandsReceived(instrument), QStringList{"I"});
    QCOMPARE(rows("SELECT COUNT(*) FROM OBIEKTY").first().first().toInt(), 0);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    // The old text goes within three seconds.
    QCOMPARE(window_->LabSN->text(), QStringLiteral("CMOLD0001"));
    QTRY_COMPARE_WITH_TIMEOUT(window_->LabSN->text(), QStringLiteral(" "), 4000);
    QCOMPARE(window_->LabFV->text(), QStringLiteral(" "));
    QCOMPARE(window_->LabNazwa->text(), QStringLiteral(" "));
}

void TestImportEndToEnd::objectListWithoutTerminatorIsAnImportError()
{
    startInstrument(herdFrom(threeDogs), "PPE2E001", InstrumentFault::NoTerminator);
    openWindow();
    const auto seen = pressStart();
    QVERIFY2(seen->pictures.contains(QStringLiteral("LabError 60")), qPrintable(seen->pictures.join(u'|')));
    QVERIFY(!window_->FlagaJest);
    QCOMPARE(rows("SELECT COUNT(*) FROM OBIEKTY").first().first().toInt(), 0);
    QVERIFY(!ProgresForm->isVisible());
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestImportEndToEnd::noDeviceLeavesTheCursorAlone()
{
    openWindow();
    const auto seen = pressStart();
    QVERIFY2(seen->pictures.contains(QStringLiteral("LabNodevice 0")), qPrintable(seen->pictures.join(u'|')));
    QVERIFY(!seen->pictures.join(u'|').contains(QStringLiteral("LabImport")));
    QCOMPARE(seen->pictures.last(), QStringLiteral("hidden"));
    QVERIFY(!seen->hourglassSeen);
    QVERIFY(!window_->FlagaJest);
    QVERIFY(!window_->FtdiRS->fconnected);
}

void TestImportEndToEnd::onlyTheFirstOfTwoCandidatesIsOpened()
{
    const VirtualInstrument &first = startInstrument(herdFrom("object 1 Ada\n"), "PPFIRST1");
    const VirtualInstrument &second = startInstrument(herdFrom("object 2 Bob\n"), "PPSECND2");
    openWindow();
    pressStart();
    QCOMPARE(window_->ListaPPDev[1].isEmpty(), false);
    const QByteArray opened = window_->ListaPPDev[0];
    QCOMPARE(window_->USBPortSerial, opened);
    const VirtualInstrument &used = opened == "PPFIRST1" ? first : second;
    const VirtualInstrument &unused = opened == "PPFIRST1" ? second : first;
    QCOMPARE(commandsReceived(used), (QStringList{"I", "L", opened == "PPFIRST1" ? "M 1" : "M 2"}));
    QCOMPARE(commandsReceived(unused), QStringList());
    QCOMPARE(window_->LabSN->text(), QStringLiteral("CM") + QString::fromLatin1(opened.right(6)));
}

void TestImportEndToEnd::secondStartWhileImportingIsIgnored()
{
    const VirtualInstrument &instrument = startInstrument(herdFrom(threeDogs));
    openWindow();
    int presses = 0;
    QTimer presser;
    presser.setInterval(10);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        if (ProgresForm->LabImport->isVisible() && presses < 3) {
            ++presses;
            QTest::mouseClick(window_->ButtonConnect, Qt::LeftButton);
        }
    });
    presser.start();
    pressStart();
    presser.stop();
    QCOMPARE(presses, 3);
    QCOMPARE(commandsReceived(instrument), (QStringList{"I", "L", "M 1", "M 13", "M 0"}));
    QCOMPARE(rows("SELECT COUNT(*) FROM WYNIKI").first().first().toInt(), 3);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestImportEndToEnd::closeWaitsForTheImport()
{
    startInstrument(herdFrom(threeDogs));
    openWindow();
    bool closedAtOnce = true;
    bool asked = false;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (ProgresForm->LabImport->isVisible() && !asked) {
            asked = true;
            closedAtOnce = window_->close();
        }
    });
    closer.start();
    pressStart();
    closer.stop();
    QVERIFY(asked);
    QVERIFY(!closedAtOnce);
    // Everything arrived, and then the window closed as asked.
    QCOMPARE(window_->ListaPPDev[0], QByteArray("PPE2E001"));
    QTRY_VERIFY(!window_->isVisible());
    QVERIFY(!window_->FDConnection1->isOpen());
    window_.reset();
    store::Connection connection;
    connection.open(folder_->databaseFile());
    QCOMPARE(store::SqlStatement::select(connection.database(), "SELECT COUNT(*) FROM WYNIKI", {},
                                         QStringLiteral("test"))
                 .rows.first()
                 .first()
                 .toInt(),
             3);
}

// While START waits on the line the user goes on working: edits a
// description, switches the language, sorts and deletes the dog being
// imported. None of it may crash or damage what is stored.
void TestImportEndToEnd::userWorkWhileImportingDoesNoHarm()
{
    startInstrument(herdFrom(threeDogs));
    openWindow();
    bool worked = false;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (worked || !ProgresForm->LabImport->isVisible() || ProgresForm->ProgressBar1->value() < 80)
            return;
        worked = true;
        window_->LangFlagsCombo1->setCurrentIndex(1);
        window_->RefreshObjects({});
        store::Dataset &list = *window_->FDQObiekty;
        if (list.locate(QStringLiteral("IDO_INDEV"), 1)) {
            list.edit();
            list.setValue(QStringLiteral("OPIS"), QStringLiteral("edited while importing"));
            list.post();
            list.deleteRecord();
        }
    });
    user.start();
    pressStart();
    user.stop();
    QVERIFY(worked);
    QVERIFY(window_->FlagaJest);
    // The other dogs and their readings are whole.
    QCOMPARE(rows("SELECT COUNT(*) FROM OBIEKTY WHERE IDO_INDEV IN (0, 13)").first().first().toInt(), 2);
    QCOMPARE(rows("SELECT COUNT(*) FROM WYNIKI W JOIN OBIEKTY O ON O.IDOB = W.IDOB WHERE O.IDO_INDEV = 13")
                 .first()
                 .first()
                 .toInt(),
             1);
    window_->LangFlagsCombo1->setCurrentIndex(0);
}

int main(int argc, char *argv[])
{
    // Timestamps must come through unchanged in a zone with daylight saving.
    qputenv("TZ", "Europe/Warsaw");
    ::tzset();
    QTemporaryDir home;
    // The D2XX layer finds the virtual instruments announced in the
    // runtime folder; the database engine keeps its lock files there too,
    // so it lives as long as the process.
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    QevApplication application(argc, argv);
    QevApplication::setErrorDisplay([](const QString &message) {
        qWarning("error shown: %s", qPrintable(message));
        shownErrors().append(message);
    });
    TestImportEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_import_e2e.moc"
