#include "SerialLine.h"

#include <algorithm>

// The kernel's own termios interface: it sets any baud rate, which the C
// library's termios cannot. It must not meet <termios.h> or <sys/ioctl.h>.
#include <asm/termios.h>
#include <linux/serial.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace d2xx
{

namespace
{

using Clock = std::chrono::steady_clock;

Status statusFromErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return DeviceNotFound;
    case EBUSY:
    case EWOULDBLOCK:
        return DeviceBusy;
    case ENOTTY:
    case EINVAL:
    case ENOSYS:
    case EOPNOTSUPP:
        return NotSupported;
    case ENOMEM:
    case EMFILE:
    case ENFILE:
        return OutOfResources;
    default:
        return IoError;
    }
}

Status lastError()
{
    return statusFromErrno(errno);
}

// A standard rate keeps its own speed code, so that every other tool reads
// it back; any other rate goes to the driver as a number.
void setSpeed(termios2 &t, std::uint32_t baudRate)
{
    static constexpr std::pair<std::uint32_t, tcflag_t> standardRates[] = {
        {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},      {4800, B4800},
        {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},    {115200, B115200},
        {230400, B230400}, {460800, B460800}, {921600, B921600}, {3000000, B3000000}};
    tcflag_t code = BOTHER;
    for (const auto &[rate, speedCode] : standardRates)
        if (rate == baudRate)
            code = speedCode;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= code;
    t.c_ispeed = t.c_ospeed = baudRate;
}

void makeRaw(termios2 &t)
{
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    setSpeed(t, 9600);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

// Applies a change to the terminal's settings.
template <typename Change> Status changeSettings(int fd, Change change)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return lastError();
    const Status status = change(t);
    if (status != Ok)
        return status;
    return ioctl(fd, TCSETS2, &t) == 0 ? Ok : lastError();
}

// Remaining time to the deadline as a timespec for ppoll, never negative.
timespec remaining(Clock::time_point deadline)
{
    const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    return {static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
}

// Waits until the terminal is ready for the event or the deadline passes.
// ready tells whether it is; IoError when the line has hung up.
Status waitFor(int fd, short event, Clock::time_point deadline, bool &ready)
{
    pollfd p{fd, event, 0};
    const timespec left = remaining(deadline);
    const int n = ::ppoll(&p, 1, &left, nullptr);
    if (n < 0)
        return errno == EINTR ? Ok : lastError();
    // Callers wait only after finding nothing to read or no room to write,
    // so a hang-up now means the line is gone, whatever else the poll says.
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
        return IoError;
    ready = n > 0 && (p.revents & event);
    return Ok;
}

} // namespace

Status SerialLine::open(const std::filesystem::path &tty, std::unique_ptr<SerialLine> &line)
{
    const int fd = ::open(tty.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return lastError();
    std::unique_ptr<SerialLine> opened(new SerialLine(fd));
    // The lock keeps a second copy of this program off the line; the
    // terminal's exclusive mode keeps other programs off where the driver
    // offers it (a pseudo-terminal may not, which is no reason to fail).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return errno == EWOULDBLOCK ? DeviceBusy : lastError();
    ioctl(fd, TIOCEXCL);
    const Status status = changeSettings(fd, [](termios2 &t) {
        makeRaw(t);
        return Ok;
    });
    if (status != Ok)
        return status;
    ioctl(fd, TCFLSH, TCIOFLUSH);
    line = std::move(opened);
    return Ok;
}

SerialLine::~SerialLine()
{
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
}

Status SerialLine::setBaudRate(std::uint32_t baudRate)
{
    if (baudRate == 0)
        return InvalidParameter; // rate 0 would hang up the line
    return changeSettings(fd_, [baudRate](termios2 &t) {
        setSpeed(t, baudRate);
        return Ok;
    });
}

Status SerialLine::setDataCharacteristics(std::uint8_t wordLength, std::uint8_t stopBits, std::uint8_t parity)
{
    if ((wordLength != 7 && wordLength != 8) || (stopBits != 0 && stopBits != 2) || parity > 4)
        return InvalidParameter;
    return changeSettings(fd_, [=](termios2 &t) {
        t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
        t.c_cflag |= wordLength == 8 ? CS8 : CS7;
        if (stopBits == 2)
            t.c_cflag |= CSTOPB;
        static constexpr tcflag_t parityFlags[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD,
                                                   PARENB | CMSPAR};
        t.c_cflag |= parityFlags[parity];
        return Ok;
    });
}

Status SerialLine::setFlowControl(std::uint16_t flowControl, std::uint8_t xonChar, std::uint8_t xoffChar)
{
    if (flowControl == 0x0200)
        return NotSupported;
    if (flowControl != 0x0000 && flowControl != 0x0100 && flowControl != 0x0400)
        return InvalidParameter;
    return changeSettings(fd_, [=](termios2 &t) {
        t.c_cflag &= ~CRTSCTS;
        t.c_iflag &= ~(IXON | IXOFF | IXANY);
        if (flowControl == 0x0100)
            t.c_cflag |= CRTSCTS;
        if (flowControl == 0x0400) {
            t.c_iflag |= IXON | IXOFF;
            t.c_cc[VSTART] = xonChar;
            t.c_cc[VSTOP] = xoffChar;
        }
        return Ok;
    });
}

Status SerialLine::purge(std::uint32_t mask)
{
    if (mask == 0 || mask > 3)
        return InvalidParameter;
    const int queue = mask == 3 ? TCIOFLUSH : mask == 1 ? TCIFLUSH : TCOFLUSH;
    if (mask & 1) {
        std::lock_guard lock(receivedMutex_);
        received_.clear();
    }
    return ioctl(fd_, TCFLSH, queue) == 0 ? Ok : lastError();
}

Status SerialLine::bytesWaiting(std::uint32_t &count)
{
    int n = 0;
    if (ioctl(fd_, TIOCINQ, &n) != 0)
        return lastError();
    std::lock_guard lock(receivedMutex_);
    // A read error (a hung-up line) is left for the next read to report.
    collectReceived();
    count = static_cast<std::uint32_t>(received_.size());
    return Ok;
}

Status SerialLine::collectReceived()
{
    char chunk[4096];
    for (;;) {
        // In raw mode without a minimum count, a read finds 0 bytes when
        // none are waiting.
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n > 0)
            received_.append(chunk, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return n < 0 && errno != EAGAIN ? lastError() : Ok;
    }
}

std::uint32_t SerialLine::takeReceived(unsigned char *bytes, std::uint32_t count)
{
    const auto taken = static_cast<std::uint32_t>(std::min<std::size_t>(count, received_.size()));
    std::copy_n(received_.begin(), taken, bytes);
    received_.erase(0, taken);
    return taken;
}

Status SerialLine::bytesToSend(std::uint32_t &count) const
{
    int n = 0;
    if (ioctl(fd_, TIOCOUTQ, &n) != 0)
        return lastError();
    count = static_cast<std::uint32_t>(n);
    return Ok;
}

Status SerialLine::modemStatus(std::uint32_t &status) const
{
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) != 0)
        return lastError();
    status = ((lines & TIOCM_CTS) ? ModemCTS : 0) | ((lines & TIOCM_DSR) ? ModemDSR : 0) |
             ((lines & TIOCM_RI) ? ModemRI : 0) | ((lines & TIOCM_CD) ? ModemDCD : 0);
    return Ok;
}

Status SerialLine::setModemLine(int line, bool on)
{
    return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0 ? Ok : lastError();
}

Status SerialLine::setDtr(bool on)
{
    return setModemLine(TIOCM_DTR, on);
}

Status SerialLine::setRts(bool on)
{
    return setModemLine(TIOCM_RTS, on);
}

Status SerialLine::setLowLatency(bool on)
{
    serial_struct serial{};
    if (ioctl(fd_, TIOCGSERIAL, &serial) != 0)
        return lastError();
    serial.flags = on ? (serial.flags | ASYNC_LOW_LATENCY) : (serial.flags & ~ASYNC_LOW_LATENCY);
    return ioctl(fd_, TIOCSSERIAL, &serial) == 0 ? Ok : lastError();
}

// Every byte goes through our queue, so that bytes the receive-event
// worker has moved there meanwhile keep their order. The worker may also
// empty the kernel's queue between our poll and our look, so the poll waits
// at most a millisecond at a time.
Status SerialLine::read(void *buffer, std::uint32_t count, std::uint32_t &done, Milliseconds timeout)
{
    auto *bytes = static_cast<unsigned char *>(buffer);
    const auto deadline = Clock::now() + timeout;
    done = 0;
    for (;;) {
        Status status = Ok;
        {
            std::lock_guard lock(receivedMutex_);
            status = collectReceived();
            done += takeReceived(bytes + done, count - done);
        }
        if (done == count || status != Ok || Clock::now() >= deadline)
            return done == count ? Ok : status;
        bool ready = false;
        const auto pause = std::min(deadline, Clock::now() + std::chrono::milliseconds(1));
        if (const Status waited = waitFor(fd_, POLLIN, pause, ready); waited != Ok)
            return waited;
    }
}

Status SerialLine::write(const void *buffer, std::uint32_t count, std::uint32_t &done, Milliseconds timeout)
{
    const auto *bytes = static_cast<const unsigned char *>(buffer);
    const auto deadline = Clock::now() + timeout;
    done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN)
            return lastError();
        if (Clock::now() >= deadline)
            break;
        bool ready = false;
        if (const Status status = waitFor(fd_, POLLOUT, deadline, ready); status != Ok)
            return status;
    }
    return Ok;
}

} // namespace d2xx
