#include "D2xxStatus.h"
#include "DeviceAnnouncement.h"
#include "DeviceListEntry.h"
#include "EventObject.h"
#include "FTDIdll.h"
#include "FTDItypes.h"
#include "PseudoTerminal.h"
#include "SerialLine.h"
#include "UsbSerialDevices.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <QDeadlineTimer>
#include <thread>

// The wrapper's entry and the layer's entry must be the same block layout.
static_assert(sizeof(ftdiDeviceNode) == sizeof(d2xx::DeviceListEntry));
static_assert(offsetof(ftdiDeviceNode, ftHandle) == offsetof(d2xx::DeviceListEntry, handle));

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace
{

const char LineSerial[] = "PPTEST01";
const char LineDescription[] = "QEV test line";

void writeFile(const fs::path &path, const std::string &text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

d2xx::Announcement announcementOf(const std::string &serial, const QString &tty, long pid = ::getpid())
{
    return {serial, "QEV test line " + serial, tty.toStdString(), pid};
}

// One USB device with its interface and port in a sysfs tree made for the
// test, the way the kernel lays out an FTDI chip.
void addUsbPort(const fs::path &sys, const std::string &usbPath, const std::string &tty,
                const std::map<std::string, std::string> &attributes, int interfaceNumber = 0,
                const std::string &driver = "ftdi_sio")
{
    const fs::path device = sys / "devices/pci0000:00/usb1" / usbPath;
    for (const auto &[name, value] : attributes)
        writeFile(device / name, value + "\n");
    const fs::path interface = device / (usbPath + ":1." + std::to_string(interfaceNumber));
    writeFile(interface / "bInterfaceNumber", "0" + std::to_string(interfaceNumber) + "\n");
    const fs::path port = interface / tty;
    writeFile(port / "latency_timer", "16\n");
    fs::create_directories(sys / "bus/usb-serial/drivers" / driver);
    fs::create_directory_symlink(sys / "bus/usb-serial/drivers" / driver, port / "driver");
    fs::create_directories(sys / "class/tty" / tty);
    fs::create_directory_symlink(port, sys / "class/tty" / tty / "device");
}

} // namespace

// The D2XX layer for Linux over pseudo-terminals that the test holds: the
// far end plays the instrument byte by byte.
class TestD2xx : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void trustsOnlyAPrivateFolder_data();
    void trustsOnlyAPrivateFolder();
    void parsesAnnouncements_data();
    void parsesAnnouncements();
    void skipsStaleAnnouncements();
    void withoutRuntimeFolderListsNoVirtualDevice();
    void scansFtdiChipsInSysfs();

    void deviceListShowsTheAnnouncedLine();
    void deviceListNeverWritesBeyondTheBlock();
    void opensBySerialOrDescription_data();
    void opensBySerialOrDescription();
    void secondOpenOfTheSameLineIsBusy();
    void refusedPermissionIsADistinctStatus();
    void reportsTheDeviceInfo();

    void lineSettingsReachTheTerminal();
    void refusesWhatTheLineCannotDo_data();
    void refusesWhatTheLineCannotDo();
    void readStopsAtTheTimeout();
    void readCollectsBytesArrivingDuringTheWait();
    void writeReachesTheFarEnd();
    void queueStatusAndPurge();
    void queueHoldsMoreThanTheKernelBuffer();
    void eventNotificationSignalsArrivingCharacters();
    void hangUpIsAnIoError();
    void closedOrForeignHandlesAreRefused();

private:
    FT_HANDLE openLine();

    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<PseudoTerminal> line_;
    std::unique_ptr<d2xx::AnnouncementFile> announcement_;
    QList<FT_HANDLE> opened_;
};

void TestD2xx::init()
{
    runtime_ = std::make_unique<QTemporaryDir>();
    QVERIFY(runtime_->isValid());
    ::chmod(QFile::encodeName(runtime_->path()).constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
    line_ = std::make_unique<PseudoTerminal>();
    QVERIFY(line_->isOpen());
    std::string error;
    announcement_ = d2xx::AnnouncementFile::publish(
        {LineSerial, LineDescription, line_->path().toStdString(), ::getpid()}, error);
    QVERIFY2(announcement_, error.c_str());
}

void TestD2xx::cleanup()
{
    for (FT_HANDLE handle : opened_)
        FT_Close(handle);
    opened_.clear();
    announcement_.reset();
    line_.reset();
    runtime_.reset();
    qunsetenv("XDG_RUNTIME_DIR");
}

FT_HANDLE TestD2xx::openLine()
{
    FT_HANDLE handle = nullptr;
    const FT_STATUS status = FT_OpenEx(const_cast<char *>(LineSerial), FT_OPEN_BY_SERIAL_NUMBER, &handle);
    if (status != FT_OK) {
        qWarning("FT_OpenEx gave status %u", status);
        return nullptr;
    }
    opened_.append(handle);
    return handle;
}

void TestD2xx::trustsOnlyAPrivateFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("private") << "0700" << true;
    QTest::newRow("readable by all") << "0755" << true;
    QTest::newRow("writable by the group") << "0770" << false;
    QTest::newRow("writable by others") << "0703" << false;
    QTest::newRow("a symbolic link to a private folder") << "link" << false;
    QTest::newRow("owned by another user") << "foreign" << false;
    QTest::newRow("missing") << "missing" << false;
}

void TestD2xx::trustsOnlyAPrivateFolder()
{
    QFETCH(QString, kind);
    QFETCH(bool, trusted);
    const fs::path folder = fs::path(runtime_->path().toStdString()) / "qev-devices";
    const fs::path target = fs::path(runtime_->path().toStdString()) / "elsewhere";
    fs::remove_all(folder);
    if (kind == "link") {
        fs::create_directory(target);
        fs::permissions(target, fs::perms::owner_all);
        fs::create_directory_symlink(target, folder);
    } else if (kind == "foreign") {
        if (::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        fs::create_directory(folder);
        fs::permissions(folder, fs::perms::owner_all);
        QCOMPARE(::chown(folder.c_str(), 65534, 65534), 0);
    } else if (kind != "missing") {
        fs::create_directory(folder);
        ::chmod(folder.c_str(), static_cast<mode_t>(kind.toInt(nullptr, 8)));
    }
    QCOMPARE(d2xx::isTrustedFolder(folder), trusted);

    // An untrusted folder lists nothing, however live its announcements.
    if (kind != "missing") {
        writeFile(folder / "1-0.device", d2xx::formatAnnouncement(announcementOf("PPFOLDER", line_->path())));
        QCOMPARE(d2xx::readAnnouncements(folder).size(), trusted ? 1u : 0u);
    }
}

void TestD2xx::parsesAnnouncements_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("complete") << QByteArray("serial=PP1\ndescription=x\ntty=/dev/pts/3\npid=42\n") << true;
    QTest::newRow("comment and any order")
        << QByteArray("# made by hand\npid=42\ntty=/dev/pts/3\ndescription=\nserial=PP1\n") << true;
    QTest::newRow("no pid") << QByteArray("serial=PP1\ndescription=x\ntty=/dev/pts/3\n") << false;
    QTest::newRow("pid not a number")
        << QByteArray("serial=PP1\ndescription=x\ntty=/dev/pts/3\npid=4x\n") << false;
    QTest::newRow("pid 0") << QByteArray("serial=PP1\ndescription=x\ntty=/dev/pts/3\npid=0\n") << false;
    QTest::newRow("empty serial") << QByteArray("serial=\ndescription=x\ntty=/dev/pts/3\npid=42\n") << false;
    QTest::newRow("serial of 16") << QByteArray(
                                         "serial=PP34567890123456\ndescription=x\ntty=/dev/pts/3\npid=42\n")
                                  << false;
    QTest::newRow("relative terminal")
        << QByteArray("serial=PP1\ndescription=x\ntty=pts/3\npid=42\n") << false;
    QTest::newRow("description of 64")
        << QByteArray("serial=PP1\ndescription=" + QByteArray(64, 'd') + "\ntty=/dev/pts/3\npid=42\n")
        << false;
    QTest::newRow("control character")
        << QByteArray("serial=PP\x01\ndescription=x\ntty=/dev/pts/3\npid=42\n") << false;
    QTest::newRow("line without =") << QByteArray(
                                           "serial=PP1\ndescription=x\ntty=/dev/pts/3\npid=42\nhello\n")
                                    << false;
}

void TestD2xx::parsesAnnouncements()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    const auto announcement = d2xx::parseAnnouncement(text.toStdString());
    QCOMPARE(announcement.has_value(), valid);
    if (valid) {
        QCOMPARE(announcement->serialNumber, std::string("PP1"));
        QCOMPARE(announcement->pid, 42);
        QCOMPARE(d2xx::parseAnnouncement(d2xx::formatAnnouncement(*announcement))->ttyPath,
                 announcement->ttyPath);
    }
}

void TestD2xx::skipsStaleAnnouncements()
{
    const fs::path folder = d2xx::announcementFolder();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    QVERIFY(child > 0);
    ::waitpid(child, nullptr, 0);
    writeFile(folder / "ended.device",
              d2xx::formatAnnouncement(announcementOf("PPENDED", line_->path(), child)));
    writeFile(folder / "gone.device", d2xx::formatAnnouncement(announcementOf("PPGONE", "/dev/pts/987654")));
    writeFile(folder / "plain.device", d2xx::formatAnnouncement(announcementOf("PPPLAIN", runtime_->path())));
    writeFile(folder / "other.txt", d2xx::formatAnnouncement(announcementOf("PPOTHER", line_->path())));

    const auto live = d2xx::readAnnouncements();
    QCOMPARE(live.size(), 1u);
    QCOMPARE(live.front().serialNumber, std::string(LineSerial));
}

void TestD2xx::withoutRuntimeFolderListsNoVirtualDevice()
{
    qunsetenv("XDG_RUNTIME_DIR");
    QVERIFY(d2xx::announcementFolder().empty());
    std::uint32_t count = 99;
    QCOMPARE(FT_CreateDeviceInfoList(&count), FT_OK);
    QCOMPARE(count, d2xx::scanUsbSerialDevices().size());
    FT_HANDLE handle = nullptr;
    QCOMPARE(FT_OpenEx(const_cast<char *>(LineSerial), FT_OPEN_BY_SERIAL_NUMBER, &handle),
             d2xx::DeviceNotFound);
}

void TestD2xx::scansFtdiChipsInSysfs()
{
    const fs::path sys = fs::path(runtime_->path().toStdString()) / "sys";
    addUsbPort(sys, "1-4", "ttyUSB1",
               {{"idVendor", "0403"},
                {"idProduct", "6001"},
                {"serial", "PP123456"},
                {"product", "QEV"},
                {"bcdDevice", "0600"},
                {"busnum", "1"},
                {"devnum", "7"},
                {"bNumInterfaces", " 1"}});
    addUsbPort(sys, "1-2", "ttyUSB0",
               {{"idVendor", "0403"},
                {"idProduct", "6010"},
                {"serial", "FT2232"},
                {"product", "Dual RS232"},
                {"bcdDevice", "0500"},
                {"busnum", "1"},
                {"devnum", "3"},
                {"bNumInterfaces", " 2"}},
               1);
    addUsbPort(sys, "1-3", "ttyUSB2",
               {{"idVendor", "067b"}, {"idProduct", "2303"}, {"serial", "PL1"}, {"bNumInterfaces", " 1"}}, 0,
               "pl2303");
    writeFile(sys / "class/tty/tty0/dev", "4:0\n");

    const auto devices = d2xx::scanUsbSerialDevices(sys, "/dev");
    QCOMPARE(devices.size(), 2u);
    QCOMPARE(devices[0].serialNumber, std::string("FT2232B"));
    QCOMPARE(devices[0].description, std::string("Dual RS232 B"));
    QCOMPARE(devices[0].typeCode, std::uint32_t(d2xx::Type2232C));
    QCOMPARE(devices[0].ttyPath, fs::path("/dev/ttyUSB0"));
    QCOMPARE(devices[1].serialNumber, std::string("PP123456"));
    QCOMPARE(devices[1].description, std::string("QEV"));
    QCOMPARE(devices[1].typeCode, std::uint32_t(d2xx::Type232R));
    QCOMPARE(devices[1].id, 0x04036001u);
    QCOMPARE(devices[1].locationId, (1u << 8) | 7u);
    QCOMPARE(devices[1].latencyTimerPath.filename(), fs::path("latency_timer"));
}

void TestD2xx::deviceListShowsTheAnnouncedLine()
{
    std::uint32_t count = 0;
    QCOMPARE(FT_CreateDeviceInfoList(&count), FT_OK);
    const std::uint32_t usbCount = static_cast<std::uint32_t>(d2xx::scanUsbSerialDevices().size());
    QCOMPARE(count, usbCount + 1);
    std::vector<ftdiDeviceNode> list(count);
    QCOMPARE(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    const auto *block = reinterpret_cast<const char *>(list.data());
    const char *entry = block + usbCount * sizeof(ftdiDeviceNode);
    QCOMPARE(QByteArray(entry + 16), QByteArray(LineSerial));
    QCOMPARE(QByteArray(entry + 32), QByteArray(LineDescription));
    QCOMPARE(list.back().flags, 0u);

    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_CreateDeviceInfoList(&count), FT_OK);
    QCOMPARE(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    QCOMPARE(list.back().flags, d2xx::EntryFlagOpen);
    QCOMPARE(list.back().ftHandle, handle);
}

void TestD2xx::deviceListNeverWritesBeyondTheBlock()
{
    // Devices plugged in between the count and the fill must not overrun
    // the block the caller sized from the count.
    std::uint32_t count = 0;
    QCOMPARE(FT_CreateDeviceInfoList(&count), FT_OK);
    const std::uint32_t before = count;
    PseudoTerminal second, third;
    std::string error;
    auto a2 = d2xx::AnnouncementFile::publish(announcementOf("PPTEST02", second.path()), error);
    auto a3 = d2xx::AnnouncementFile::publish(announcementOf("PPTEST03", third.path()), error);
    QVERIFY(a2 && a3);
    QCOMPARE(FT_CreateDeviceInfoList(&count), FT_OK);
    QCOMPARE(count, before + 2);

    std::vector<ftdiDeviceNode> list(before + 1);
    std::memset(&list.back(), 0x5A, sizeof(ftdiDeviceNode));
    count = before;
    QCOMPARE(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    QCOMPARE(count, before);
    const auto *guard = reinterpret_cast<const unsigned char *>(&list.back());
    QVERIFY(std::all_of(guard, guard + sizeof(ftdiDeviceNode), [](unsigned char b) { return b == 0x5A; }));
}

void TestD2xx::opensBySerialOrDescription_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::uint32_t>("flags");
    QTest::addColumn<std::uint32_t>("status");
    QTest::newRow("by serial") << QByteArray(LineSerial) << FT_OPEN_BY_SERIAL_NUMBER << d2xx::Ok;
    QTest::newRow("by description") << QByteArray(LineDescription) << FT_OPEN_BY_DESCRIPTION << d2xx::Ok;
    QTest::newRow("serial as description")
        << QByteArray(LineSerial) << FT_OPEN_BY_DESCRIPTION << d2xx::DeviceNotFound;
    QTest::newRow("unknown serial") << QByteArray("PP999999") << FT_OPEN_BY_SERIAL_NUMBER
                                    << d2xx::DeviceNotFound;
    QTest::newRow("by location") << QByteArray(LineSerial) << std::uint32_t(4) << d2xx::InvalidParameter;
}

void TestD2xx::opensBySerialOrDescription()
{
    QFETCH(QByteArray, text);
    QFETCH(std::uint32_t, flags);
    QFETCH(std::uint32_t, status);
    FT_HANDLE handle = nullptr;
    QCOMPARE(FT_OpenEx(text.data(), flags, &handle), status);
    if (status == d2xx::Ok) {
        opened_.append(handle);
        QVERIFY(handle);
    }
}

void TestD2xx::secondOpenOfTheSameLineIsBusy()
{
    QVERIFY(openLine());
    FT_HANDLE second = nullptr;
    QCOMPARE(FT_OpenEx(const_cast<char *>(LineSerial), FT_OPEN_BY_SERIAL_NUMBER, &second), d2xx::DeviceBusy);
    // Another program holding the line is refused the same way.
    const pid_t child = ::fork();
    if (child == 0) {
        FT_HANDLE other = nullptr;
        ::_exit(
            static_cast<int>(FT_OpenEx(const_cast<char *>(LineSerial), FT_OPEN_BY_SERIAL_NUMBER, &other)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(std::uint32_t(WEXITSTATUS(status)), d2xx::DeviceBusy);
}

void TestD2xx::refusedPermissionIsADistinctStatus()
{
    if (::geteuid() != 0)
        QSKIP("needs root to act as a user outside the terminal's group");
    // The terminal belongs to root alone; a user whose own runtime folder
    // announces it is refused for lack of permission.
    const QByteArray tty = QFile::encodeName(line_->path());
    QCOMPARE(::chmod(tty.constData(), 0600), 0);
    const fs::path userRuntime = fs::path(runtime_->path().toStdString()) / "nobody";
    fs::create_directories(userRuntime / "qev-devices");
    writeFile(userRuntime / "qev-devices/1.device",
              d2xx::formatAnnouncement(announcementOf("PPNOBODY", line_->path())));
    for (const fs::path &p : {userRuntime, userRuntime / "qev-devices", userRuntime / "qev-devices/1.device"})
        QCOMPARE(::chown(p.c_str(), 65534, 65534), 0);
    ::chmod(runtime_->path().toLocal8Bit().constData(), 0711);

    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_RUNTIME_DIR", userRuntime.c_str(), 1);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(100);
        FT_HANDLE handle = nullptr;
        ::_exit(
            static_cast<int>(FT_OpenEx(const_cast<char *>("PPNOBODY"), FT_OPEN_BY_SERIAL_NUMBER, &handle)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(std::uint32_t(WEXITSTATUS(status)), d2xx::PermissionDenied);
}

void TestD2xx::reportsTheDeviceInfo()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    std::uint32_t type = 99, id = 99;
    char serial[17], description[65];
    std::memset(serial, 'x', sizeof serial);
    std::memset(description, 'x', sizeof description);
    QCOMPARE(FT_GetDeviceInfo(handle, &type, &id, serial, description, nullptr), FT_OK);
    QCOMPARE(type, std::uint32_t(d2xx::TypeUnknown));
    QCOMPARE(id, 0u);
    QCOMPARE(QByteArray(serial), QByteArray(LineSerial));
    QCOMPARE(QByteArray(description), QByteArray(LineDescription));
}

void TestD2xx::lineSettingsReachTheTerminal()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    // The far end of a pseudo-terminal reads the settings of the near end.
    termios t{};
    QCOMPARE(::tcgetattr(line_->master(), &t), 0);
    QVERIFY(!(t.c_lflag & (ICANON | ECHO | ISIG)));
    QVERIFY(!(t.c_oflag & OPOST));
    QVERIFY(!(t.c_iflag & (ICRNL | IXON)));
    QCOMPARE(::cfgetospeed(&t), speed_t(B9600));

    QCOMPARE(FT_SetBaudRate(handle, 115200), FT_OK);
    // A pseudo-terminal keeps 8 bits without parity whatever it is told, so
    // only the stop bits show here.
    QCOMPARE(FT_SetDataCharacteristics(handle, 7, 2, 2), FT_OK);
    QCOMPARE(FT_SetFlowControl(handle, 0x0400, 0x11, 0x13), FT_OK);
    QCOMPARE(::tcgetattr(line_->master(), &t), 0);
    QCOMPARE(::cfgetospeed(&t), speed_t(B115200));
    QVERIFY(t.c_cflag & CSTOPB);
    QVERIFY((t.c_iflag & IXON) && (t.c_iflag & IXOFF));
    QCOMPARE(t.c_cc[VSTART], cc_t(0x11));
    QCOMPARE(t.c_cc[VSTOP], cc_t(0x13));

    // What the import sets: 8N1 without flow control.
    QCOMPARE(FT_SetDataCharacteristics(handle, 8, 0, 0), FT_OK);
    QCOMPARE(FT_SetFlowControl(handle, 0, 0, 0), FT_OK);
    QCOMPARE(::tcgetattr(line_->master(), &t), 0);
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
    QVERIFY(!(t.c_cflag & (CSTOPB | PARENB | CRTSCTS)));
    QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
    QCOMPARE(FT_SetUSBParameters(handle, 16, 16), FT_OK);
    QCOMPARE(FT_SetTimeouts(handle, 5, 5), FT_OK);
    QCOMPARE(FT_ResetDevice(handle), FT_OK);
    QCOMPARE(FT_SetBaudRate(handle, 14400), FT_OK);
}

void TestD2xx::refusesWhatTheLineCannotDo_data()
{
    using Call = std::function<FT_STATUS(FT_HANDLE)>;
    QTest::addColumn<Call>("call");
    QTest::addColumn<std::uint32_t>("status");
    QTest::newRow("baud rate 0") << Call([](FT_HANDLE h) { return FT_SetBaudRate(h, 0); })
                                 << d2xx::InvalidParameter;
    QTest::newRow("6 data bits") << Call([](FT_HANDLE h) { return FT_SetDataCharacteristics(h, 6, 0, 0); })
                                 << d2xx::InvalidParameter;
    QTest::newRow("stop bits 1") << Call([](FT_HANDLE h) { return FT_SetDataCharacteristics(h, 8, 1, 0); })
                                 << d2xx::InvalidParameter;
    QTest::newRow("parity 5") << Call([](FT_HANDLE h) { return FT_SetDataCharacteristics(h, 8, 0, 5); })
                              << d2xx::InvalidParameter;
    QTest::newRow("flow word 0x0300")
        << Call([](FT_HANDLE h) { return FT_SetFlowControl(h, 0x0300, 0, 0); }) << d2xx::InvalidParameter;
    QTest::newRow("DTR/DSR flow") << Call([](FT_HANDLE h) { return FT_SetFlowControl(h, 0x0200, 0, 0); })
                                  << d2xx::NotSupported;
    QTest::newRow("purge mask 0") << Call([](FT_HANDLE h) { return FT_Purge(h, 0); })
                                  << d2xx::InvalidParameter;
    QTest::newRow("purge mask 4") << Call([](FT_HANDLE h) { return FT_Purge(h, 4); })
                                  << d2xx::InvalidParameter;
    QTest::newRow("latency 0") << Call([](FT_HANDLE h) { return FT_SetLatencyTimer(h, 0); })
                               << d2xx::InvalidParameter;
    QTest::newRow("event mask 4") << Call([](FT_HANDLE h) { return FT_SetEventNotification(h, 4, nullptr); })
                                  << d2xx::InvalidParameter;
    // A pseudo-terminal has no modem lines, no latency timer and no port to cycle.
    QTest::newRow("modem status") << Call([](FT_HANDLE h) {
        std::uint32_t status = 0;
        return FT_GetModemStatus(h, &status);
    }) << d2xx::NotSupported;
    QTest::newRow("set DTR") << Call([](FT_HANDLE h) { return FT_SetDtr(h); }) << d2xx::NotSupported;
    QTest::newRow("clear RTS") << Call([](FT_HANDLE h) { return FT_ClrRts(h); }) << d2xx::NotSupported;
    QTest::newRow("latency 2") << Call([](FT_HANDLE h) { return FT_SetLatencyTimer(h, 2); })
                               << d2xx::NotSupported;
    QTest::newRow("cycle port") << Call([](FT_HANDLE h) { return FT_CyclePort(h); }) << d2xx::NotSupported;
    QTest::newRow("read without count") << Call([](FT_HANDLE h) {
        char buffer[4];
        return FT_Read(h, buffer, 4, nullptr);
    }) << d2xx::InvalidParameter;
}

void TestD2xx::refusesWhatTheLineCannotDo()
{
    using Call = std::function<FT_STATUS(FT_HANDLE)>;
    QFETCH(Call, call);
    QFETCH(std::uint32_t, status);
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(call(handle), status);
    // The line is still usable afterwards.
    QCOMPARE(FT_SetBaudRate(handle, 115200), FT_OK);
}

void TestD2xx::readStopsAtTheTimeout()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_SetTimeouts(handle, 200, 200), FT_OK);
    QVERIFY(line_->send("abcd"));
    char buffer[10] = {};
    std::uint32_t got = 0;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(FT_Read(handle, buffer, sizeof buffer, &got), FT_OK);
    QCOMPARE(QByteArray(buffer, got), QByteArray("abcd"));
    QVERIFY2(timer.elapsed() >= 195, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(timer.elapsed() < 5000);

    // A time-out of 0 takes what is there and does not wait.
    QCOMPARE(FT_SetTimeouts(handle, 0, 0), FT_OK);
    QCOMPARE(FT_Read(handle, buffer, sizeof buffer, &got), FT_OK);
    QCOMPARE(got, 0u);
}

void TestD2xx::readCollectsBytesArrivingDuringTheWait()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_SetTimeouts(handle, 10000, 100), FT_OK);
    std::thread farEnd([this] {
        line_->send("PP CM");
        std::this_thread::sleep_for(50ms);
        line_->send("12345678 1.07");
    });
    char buffer[18] = {};
    std::uint32_t got = 0;
    const FT_STATUS status = FT_Read(handle, buffer, 18, &got);
    farEnd.join();
    QCOMPARE(status, FT_OK);
    QCOMPARE(QByteArray(buffer, got), QByteArray("PP CM12345678 1.07"));
}

void TestD2xx::writeReachesTheFarEnd()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_SetTimeouts(handle, 5, 100), FT_OK);
    const QByteArray command("M\x0D\x0D", 3);
    std::uint32_t written = 0;
    QCOMPARE(FT_Write(handle, const_cast<char *>(command.data()), 3, &written), FT_OK);
    QCOMPARE(written, 3u);
    QCOMPARE(line_->receive(), command);
}

void TestD2xx::queueStatusAndPurge()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QVERIFY(line_->send("12345"));
    std::uint32_t waiting = 0;
    QTRY_VERIFY_WITH_TIMEOUT(FT_GetQueueStatus(handle, &waiting) == FT_OK && waiting == 5, 5000);
    std::uint32_t rx = 0, tx = 99, events = 99;
    QCOMPARE(FT_GetStatus(handle, &rx, &tx, &events), FT_OK);
    QCOMPARE(rx, 5u);
    QCOMPARE(tx, 0u);
    QCOMPARE(events, 0u);
    QCOMPARE(FT_Purge(handle, FT_PURGE_RX), FT_OK);
    QCOMPARE(FT_GetQueueStatus(handle, &waiting), FT_OK);
    QCOMPARE(waiting, 0u);
}

// A measurement reply of a thousand readings is 9000 bytes, more than the
// kernel's terminal keeps; the caller reads only once the line is silent.
void TestD2xx::queueHoldsMoreThanTheKernelBuffer()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_SetTimeouts(handle, 5, 100), FT_OK);
    QByteArray reply;
    for (int i = 0; i < 9000; ++i)
        reply.append(static_cast<char>(i * 7 % 251));
    std::thread farEnd([this, &reply] { line_->send(reply); });
    std::uint32_t waiting = 0;
    QDeadlineTimer deadline(10000);
    while (!(FT_GetQueueStatus(handle, &waiting) == FT_OK && waiting == 9000) && !deadline.hasExpired())
        std::this_thread::sleep_for(10ms);
    if (waiting != 9000) {
        // The far end is stuck on a full terminal: read it free before failing.
        char sink[512];
        std::uint32_t got = 0;
        while (FT_Read(handle, sink, sizeof sink, &got) == FT_OK && got > 0) {
        }
    }
    farEnd.join();
    QCOMPARE(waiting, 9000u);
    QByteArray buffer(9005, '\0');
    std::uint32_t got = 0;
    QCOMPARE(FT_Read(handle, buffer.data(), 9005, &got), FT_OK);
    QCOMPARE(buffer.left(static_cast<int>(got)), reply);
}

void TestD2xx::eventNotificationSignalsArrivingCharacters()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    platform::EventHandle event = platform::CreateEventObject();
    QCOMPARE(FT_SetEventNotification(handle, FT_EVENT_RXCHAR | FT_EVENT_MODEM_STATUS, event), FT_OK);
    QVERIFY(!platform::WaitForEventObject(event, 50));
    QVERIFY(line_->send("abc"));
    QVERIFY(platform::WaitForEventObject(event, 5000));
    std::uint32_t rx = 0, tx = 0, events = 0;
    QTRY_VERIFY_WITH_TIMEOUT(FT_GetStatus(handle, &rx, &tx, &events) == FT_OK && rx == 3, 5000);
    QCOMPARE(FT_GetStatus(handle, &rx, &tx, &events), FT_OK);
    QCOMPARE(events, 0u); // reported once

    // Unread characters do not signal again; new ones do.
    QVERIFY(!platform::WaitForEventObject(event, 100));
    QVERIFY(line_->send("d"));
    QVERIFY(platform::WaitForEventObject(event, 5000));

    QCOMPARE(FT_SetEventNotification(handle, 0, nullptr), FT_OK);
    platform::WaitForEventObject(event, 0);
    QVERIFY(line_->send("e"));
    QVERIFY(!platform::WaitForEventObject(event, 200));

    // Closing with notification on stops the watcher before the line goes,
    // and the event object outlives the layer's reference.
    QCOMPARE(FT_SetEventNotification(handle, FT_EVENT_RXCHAR, event), FT_OK);
    platform::CloseEventObject(event);
    QCOMPARE(FT_Close(handle), FT_OK);
    opened_.removeAll(handle);
}

void TestD2xx::hangUpIsAnIoError()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_SetTimeouts(handle, 100, 100), FT_OK);
    line_->hangUp();
    char buffer[4];
    std::uint32_t got = 99;
    QCOMPARE(FT_Read(handle, buffer, sizeof buffer, &got), d2xx::IoError);
    QCOMPARE(got, 0u);
}

void TestD2xx::closedOrForeignHandlesAreRefused()
{
    FT_HANDLE handle = openLine();
    QVERIFY(handle);
    QCOMPARE(FT_Close(handle), FT_OK);
    opened_.removeAll(handle);
    char buffer[4];
    std::uint32_t got = 0;
    QCOMPARE(FT_Read(handle, buffer, sizeof buffer, &got), d2xx::InvalidHandle);
    QCOMPARE(FT_Close(handle), d2xx::InvalidHandle);
    QCOMPARE(FT_Purge(reinterpret_cast<FT_HANDLE>(0xdead), FT_PURGE_RX), d2xx::InvalidHandle);
    QCOMPARE(FT_Purge(nullptr, FT_PURGE_RX), d2xx::InvalidHandle);
    // Reopened, the line gets a handle of its own, never the old one.
    FT_HANDLE again = openLine();
    QVERIFY(again);
    QVERIFY(again != handle);
}

QTEST_GUILESS_MAIN(TestD2xx)
#include "test_d2xx.moc"
