#include "VirtualInstrument.h"

#include "DeviceAnnouncement.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

// Bytes of an incomplete command are forgotten after this much silence.
constexpr int commandIdleMs = 500;
// A byte on an 8N1 line: start bit, 8 data bits, stop bit.
constexpr int bitsPerByte = 10;

} // namespace

VirtualInstrument::VirtualInstrument(InstrumentOptions options, Herd herd, Log log)
    : options_(std::move(options)),
      engine_(std::move(herd), options_.instrumentSerial(), options_.firmware, options_.fault, options_.seed),
      log_(std::move(log))
{
}

VirtualInstrument::~VirtualInstrument()
{
    stop();
}

bool VirtualInstrument::start(QString &error)
{
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0 || !openTerminal(error)) {
        if (error.isEmpty())
            error = QStringLiteral("cannot create an event descriptor");
        stop();
        return false;
    }
    std::string why;
    announcement_ =
        d2xx::AnnouncementFile::publish({options_.usbSerial.toStdString(), options_.description.toStdString(),
                                         ttyPath().toStdString(), ::getpid()},
                                        why);
    if (!announcement_) {
        error = QString::fromStdString(why);
        stop();
        return false;
    }
    log(QStringLiteral("serial %1 on %2, announced in %3")
            .arg(QString::fromLatin1(options_.usbSerial), ttyPath(),
                 QString::fromStdString(announcement_->path().native())));
    thread_ = std::jthread([this](std::stop_token stop) { serve(stop); });
    return true;
}

void VirtualInstrument::stop()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    announcement_.reset();
    closeTerminal();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    wakeFd_ = -1;
}

QString VirtualInstrument::ttyPath() const
{
    std::lock_guard lock(ttyMutex_);
    return ttyPath_;
}

bool VirtualInstrument::openTerminal(QString &error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    char name[128] = {};
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
        ::ptsname_r(master_, name, sizeof name) != 0) {
        error =
            QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0) {
        error = QStringLiteral("cannot open %1").arg(QString::fromLocal8Bit(name));
        return false;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    std::lock_guard lock(ttyMutex_);
    ttyPath_ = QString::fromLocal8Bit(name);
    return true;
}

void VirtualInstrument::closeTerminal()
{
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
    master_ = slave_ = -1;
}

void VirtualInstrument::serve(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {master_, POLLIN, 0}};
        const int n = ::poll(fds, 2, commandIdleMs);
        if (n == 0)
            engine_.discardPartialCommand();
        if (n <= 0 || !(fds[1].revents & POLLIN))
            continue;
        char buffer[256];
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count <= 0)
            continue;
        const qsizetype strayBefore = engine_.strayBytes();
        for (const InstrumentAnswer &answer : engine_.receive(QByteArrayView(buffer, count))) {
            log(QStringLiteral("command %1: %2 bytes").arg(answer.command).arg(answer.reply.size()));
            send(answer, stop);
        }
        if (engine_.strayBytes() > strayBefore)
            log(QStringLiteral("%1 stray bytes ignored").arg(engine_.strayBytes() - strayBefore));
    }
}

// Every byte has its moment on the line, counted from the start of the
// reply, so that pacing does not drift with the time each write takes.
void VirtualInstrument::send(const InstrumentAnswer &answer, std::stop_token stop)
{
    if (!pause(options_.replyDelay, stop))
        return;
    const QByteArray &reply = answer.reply;
    const qsizetype end = answer.hangUpAfter >= 0 ? answer.hangUpAfter : reply.size();
    const auto byteTime = options_.baudRate > 0
                              ? std::chrono::nanoseconds(1'000'000'000LL * bitsPerByte / options_.baudRate)
                              : std::chrono::nanoseconds(0);
    const auto start = Clock::now();
    qsizetype sent = 0;
    while (sent < end) {
        const auto gaps = options_.gap.count() > 0 ? sent / options_.gapEvery : 0;
        const auto due = start + byteTime * sent + options_.gap * gaps;
        if (!pause(due - Clock::now(), stop))
            return;
        // Everything due by now goes in one write, up to the next pause.
        qsizetype upTo = sent + 1;
        const auto now = Clock::now();
        while (upTo < end && start + byteTime * upTo + options_.gap * gaps <= now &&
               (options_.gap.count() == 0 || upTo % options_.gapEvery != 0))
            ++upTo;
        if (!writeAll(QByteArrayView(reply).sliced(sent, upTo - sent), stop))
            return;
        sent = upTo;
    }
    if (answer.hangUpAfter >= 0)
        hangUp();
}

bool VirtualInstrument::writeAll(QByteArrayView bytes, std::stop_token stop)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.sliced(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {master_, POLLOUT, 0}};
        ::poll(fds, 2, 100);
        if (stop.stop_requested())
            return false;
    }
    return true;
}

bool VirtualInstrument::pause(std::chrono::nanoseconds duration, std::stop_token stop)
{
    if (duration.count() > 0) {
        pollfd wake{wakeFd_, POLLIN, 0};
        const timespec time{static_cast<time_t>(duration.count() / 1'000'000'000),
                            static_cast<long>(duration.count() % 1'000'000'000)};
        ::ppoll(&wake, 1, &time, nullptr);
    }
    return !stop.stop_requested();
}

// The line drops as when the cable is pulled, and the instrument comes back
// on a new terminal, as when it is plugged in again.
void VirtualInstrument::hangUp()
{
    const QString old = ttyPath();
    closeTerminal();
    QString error;
    if (!openTerminal(error)) {
        log(QStringLiteral("hung up on %1 and cannot come back: %2").arg(old, error));
        return;
    }
    announcement_->update({options_.usbSerial.toStdString(), options_.description.toStdString(),
                           ttyPath().toStdString(), ::getpid()});
    log(QStringLiteral("hung up on %1, back on %2").arg(old, ttyPath()));
}

void VirtualInstrument::log(const QString &line) const
{
    if (log_)
        log_(line);
}
