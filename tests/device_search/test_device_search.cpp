#include "CommandExchange.h"
#include "Connection.h"
#include "DeviceSearch.h"
#include "FTDIchip.h"
#include "FakeD2xx.h"
#include "ImportHost.h"
#include "InstrumentImport.h"
#include "MainUniQEV.h"
#include "ProcessLauncher.h"
#include "ProgramFolder.h"
#include "QevApplication.h"
#include "UnInfo.h"
#include "UnProgres.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace std::chrono_literals;

namespace
{

// The search's window as a test sees it: every step it takes, in order.
class RecordingSearchHost : public DeviceSearchHost
{
public:
    QStringList steps;
    bool installing = false;
    bool installerEnded = false;
    std::function<void()> onPump;
    std::function<void()> onStartInstaller;

    void showInstallingDriver(bool visible) override
    {
        installing = visible;
        steps.append(visible ? QStringLiteral("installing on") : QStringLiteral("installing off"));
    }
    void showSearching() override { steps.append(QStringLiteral("searching")); }
    void pumpEvents() override
    {
        if (onPump)
            onPump();
    }
    void startDriverInstaller() override
    {
        installerEnded = false;
        steps.append(QStringLiteral("installer started"));
        if (onStartInstaller)
            onStartInstaller();
    }
    bool driverInstallerEnded() const override { return installerEnded; }
};

FakeD2xx &fake()
{
    return FakeD2xx::instance();
}

void addDevices(const QList<QByteArray> &serials)
{
    for (const QByteArray &serial : serials)
        fake().addDevice({serial, "FT232R USB UART"});
}

constexpr FT_STATUS DeviceNotOpened = 3;
constexpr FT_STATUS PermissionDenied = 4; // our D2XX layer's "not allowed"

} // namespace

class TestDeviceSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void candidateRule_data();
    void candidateRule();
    void candidatesInEnumerationOrder();
    void moreThanAHundredCandidates();
    void deviceListedOnlyAtTheSecondLook();
    void failingEnumerationRunsTheDriverSetUpUntilItEnds();
    void driverSetUpThatCannotStartEndsTheSearch();
    void chipOpenBeforeTheSearchIsClosedAfterIt_data();
    void chipOpenBeforeTheSearchIsClosedAfterIt();

    void refusedOpenIsKeptForTheAdvice_data();
    void refusedOpenIsKeptForTheAdvice();
    void mainWindowTellsHowToGainAccess();

private:
    platform::SimulatedClock clock_;
};

void TestDeviceSearch::init()
{
    fake().reset();
    clock_ = platform::SimulatedClock();
}

void TestDeviceSearch::candidateRule_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<bool>("qualifies");
    QTest::newRow("five characters") << QByteArray("PP123") << true;
    QTest::newRow("four characters") << QByteArray("PP12") << false;
    QTest::newRow("lower case") << QByteArray("pp12345") << false;
    QTest::newRow("mixed case") << QByteArray("Pp12345") << false;
    QTest::newRow("letters further on") << QByteArray("XPP12345") << false;
    QTest::newRow("other maker") << QByteArray("FT9XK2LM") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("longest") << QByteArray("PP34567890ABCDE") << true;
}

// The rule as the search applies it to what the driver lists.
void TestDeviceSearch::candidateRule()
{
    QFETCH(QByteArray, serial);
    QFETCH(bool, qualifies);
    addDevices({serial});
    tftdichip chip;
    RecordingSearchHost host;
    DeviceSearch::CandidateList list;
    list.fill("unchanged");
    QCOMPARE(DeviceSearch(chip, host, clock_).run(list), qualifies ? 1 : 0);
    QCOMPARE(list[0], qualifies ? serial : QByteArray("unchanged"));
}

void TestDeviceSearch::candidatesInEnumerationOrder()
{
    addDevices({"PPC00003", "FTAB1234", "PPA00001", "PPB00002"});
    tftdichip chip;
    RecordingSearchHost host;
    DeviceSearch::CandidateList list;
    list.fill("old");
    QCOMPARE(DeviceSearch(chip, host, clock_).run(list), 3);
    QCOMPARE(list[0], QByteArray("PPC00003"));
    QCOMPARE(list[1], QByteArray("PPA00001"));
    QCOMPARE(list[2], QByteArray("PPB00002"));
    QCOMPARE(list[3], QByteArray("old"));
    // Found at the first look: one enumeration, no wait, no set-up.
    QCOMPARE(fake().calls("FT_CreateDeviceInfoList").size(), 1);
    QCOMPARE(clock_.elapsed(), platform::Clock::Duration::zero());
    QCOMPARE(host.steps, (QStringList{"installing off", "searching"}));
}

void TestDeviceSearch::moreThanAHundredCandidates()
{
    for (int i = 1; i <= 102; ++i)
        addDevices({QByteArray("PP") + QByteArray::number(i).rightJustified(6, '0')});
    tftdichip chip;
    RecordingSearchHost host;
    DeviceSearch::CandidateList list;
    QCOMPARE(DeviceSearch(chip, host, clock_).run(list), 102);
    QCOMPARE(list[0], QByteArray("PP000001"));
    QCOMPARE(list[99], QByteArray("PP000100"));
}

void TestDeviceSearch::deviceListedOnlyAtTheSecondLook()
{
    clock_.setObserver([this](platform::Clock::TimePoint now) {
        if (now - clock_.start() >= 1500ms)
            addDevices({"PPLATE01"});
    });
    tftdichip chip;
    RecordingSearchHost host;
    DeviceSearch::CandidateList list;
    QCOMPARE(DeviceSearch(chip, host, clock_).run(list), 1);
    QCOMPARE(list[0], QByteArray("PPLATE01"));
    QCOMPARE(fake().calls("FT_CreateDeviceInfoList").size(), 2);
    QCOMPARE(clock_.elapsed(), platform::Clock::Duration(2000ms));
    clock_.setObserver({});
}

// A real process stands in for the driver set-up: the search shows its
// message and pumps events until the process has ended, and only then
// looks again, once, without starting the set-up a second time.
void TestDeviceSearch::failingEnumerationRunsTheDriverSetUpUntilItEnds()
{
    QTemporaryDir folder;
    const QString marker = folder.filePath(QStringLiteral("ended"));
    QFile script(folder.filePath(QStringLiteral("CDM21228_Setup.exe")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 0.4\ntouch \"$(dirname \"$0\")/ended\"\nexit 3\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    platform::ProcessLauncher launcher;
    launcher.setCommandLine(QStringLiteral("CDM21228_Setup.exe"));
    launcher.setCurrentDirectory(folder.path());
    RecordingSearchHost host;
    QObject::connect(&launcher, &platform::ProcessLauncher::terminated,
                     [&host] { host.installerEnded = true; });
    host.onStartInstaller = [&launcher] { launcher.run(); };
    int pumpsWhileInstalling = 0;
    bool installingAfterTheEnd = false;
    host.onPump = [&] {
        QCoreApplication::processEvents();
        if (host.installing) {
            ++pumpsWhileInstalling;
            installingAfterTheEnd = installingAfterTheEnd || host.installerEnded;
        }
    };
    fake().setStatus("FT_CreateDeviceInfoList", DeviceNotOpened);
    // The sleeps of the wait pass in real time here, so that the process
    // can run while the search waits for it.
    platform::SteadyClock realTime;
    tftdichip chip;
    DeviceSearch::CandidateList list;
    QCOMPARE(DeviceSearch(chip, host, realTime).run(list), 0);

    QVERIFY(QFile::exists(marker));
    QVERIFY2(pumpsWhileInstalling >= 3, "the message stays on while the set-up runs");
    QCOMPARE(host.steps, (QStringList{"installing on", "installer started", "installing off", "searching"}));
    QCOMPARE(fake().calls("FT_CreateDeviceInfoList").size(), 2);
}

void TestDeviceSearch::driverSetUpThatCannotStartEndsTheSearch()
{
    QTemporaryDir emptyFolder;
    platform::ProcessLauncher launcher;
    launcher.setCommandLine(QStringLiteral("CDM21228_Setup.exe"));
    launcher.setCurrentDirectory(emptyFolder.path());
    RecordingSearchHost host;
    host.onStartInstaller = [&launcher] { launcher.run(); };
    fake().setStatus("FT_CreateDeviceInfoList", DeviceNotOpened);
    tftdichip chip;
    DeviceSearch::CandidateList list;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, DeviceSearch(chip, host, clock_).run(list));
    QCOMPARE(fake().calls("FT_CreateDeviceInfoList").size(), 1);
}

void TestDeviceSearch::chipOpenBeforeTheSearchIsClosedAfterIt_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::newRow("a candidate") << QByteArray("PPOPEN01");
    QTest::newRow("no candidate") << QByteArray("FTOPEN01");
}

void TestDeviceSearch::chipOpenBeforeTheSearchIsClosedAfterIt()
{
    QFETCH(QByteArray, serial);
    addDevices({serial});
    tftdichip chip;
    QVERIFY(chip.openDeviceBySerial(serial));
    RecordingSearchHost host;
    DeviceSearch::CandidateList list;
    DeviceSearch(chip, host, clock_).run(list);
    QVERIFY(!chip.fconnected);
    QCOMPARE(fake().openHandleCount(), 0);
}

namespace
{

// An import host that answers from a script and records the messages.
class ScriptedImportHost : public ImportHost
{
public:
    ScriptedImportHost(tftdichip &chip, platform::Clock &clock) : chip_(chip), clock_(clock) {}

    QStringList shown;
    int candidates = 1;

    void setMessageVisible(Message message, bool visible) override
    {
        if (visible && message == Message::NoDevice)
            shown.append(QStringLiteral("not connected"));
    }
    void setProgress(int) override {}
    void showProgressWindow() override {}
    void hideProgressWindow() override {}
    void pumpEvents() override {}
    void setHourglassCursor() override {}
    void restoreCursor() override {}
    int searchDevices() override { return candidates; }
    QByteArray sendCommand(const QByteArray &command, int expectedLength) override
    {
        return CommandExchange(chip_, clock_).send(command, expectedLength);
    }
    void showInstrument(const QString &, const QString &) override
    {
        shown.append(QStringLiteral("instrument"));
    }
    void refreshObjects() override {}

private:
    tftdichip &chip_;
    platform::Clock &clock_;
};

} // namespace

void TestDeviceSearch::refusedOpenIsKeptForTheAdvice_data()
{
    QTest::addColumn<FT_STATUS>("status");
    QTest::newRow("no permission") << PermissionDenied;
    QTest::newRow("gone") << FT_STATUS(2);
}

void TestDeviceSearch::refusedOpenIsKeptForTheAdvice()
{
    QFETCH(FT_STATUS, status);
    addDevices({"PPLOCK01"});
    fake().setStatus("FT_OpenEx", status);
    // Nothing reaches the database when no instrument answers.
    store::Connection unopened;
    tftdichip chip;
    ScriptedImportHost host(chip, clock_);
    std::array<QByteArray, 100> candidates;
    candidates[0] = "PPLOCK01";
    QByteArray opened;
    QByteArray firmware;
    bool present = true;
    InstrumentImport import(chip, unopened, host, ImportState{candidates, opened, present, firmware}, clock_);
    import.run();
    QCOMPARE(host.shown, QStringList{"not connected"});
    QVERIFY(!present);
    QCOMPARE(opened, QByteArray("PPLOCK01"));
    QVERIFY(import.openFailure());
    QCOMPARE(*import.openFailure(), status);
}

// On the main window: START with a device that refuses this user ends as
// "not connected", then the information window says how to get access.
void TestDeviceSearch::mainWindowTellsHowToGainAccess()
{
    ProgramFolder folder;
    TMainUniQEVForm window(folder.path(), folder.stateFile());
    MainUniQEVForm = &window;
    ProgresForm = new TProgresForm(&window);
    InfoForm = new TInfoForm(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    addDevices({"PPLOCK01"});
    fake().setStatus("FT_OpenEx", PermissionDenied);
    QString advice;
    QTimer watcher;
    watcher.setInterval(20);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (InfoForm->isVisible() && advice.isEmpty()) {
            advice = InfoForm->Label2->text();
            InfoForm->BitBtn1->click();
        }
    });
    watcher.start();
    window.ButtonConnect->click();
    watcher.stop();

    QVERIFY(ProgresForm->LabNodevice->isVisibleTo(ProgresForm));
    QVERIFY2(advice.contains(QStringLiteral("dialout")), qPrintable(advice));
    QVERIFY(advice.contains(QStringLiteral("CDM21228_Setup.exe")));
    QVERIFY(!ProgresForm->isVisible());
    QVERIFY(!window.FlagaJest);
    MainUniQEVForm = nullptr;
    ProgresForm = nullptr;
    InfoForm = nullptr;
}

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    QevApplication application(argc, argv);
    QStringList errors;
    QevApplication::setErrorDisplay([&errors](const QString &message) { errors.append(message); });
    TestDeviceSearch test;
    const int failures = QTest::qExec(&test, argc, argv);
    if (!errors.isEmpty())
        qWarning("errors shown: %s", qPrintable(errors.join(u'\n')));
    return failures == 0 && errors.isEmpty() ? 0 : 1;
}

#include "test_device_search.moc"
