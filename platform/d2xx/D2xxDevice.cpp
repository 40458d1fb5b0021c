#include "D2xxDevice.h"

#include <fstream>

namespace d2xx
{

namespace
{

// A chip sends what it has collected at the latest when its latency timer
// runs out; the chip's own default is 16 ms.
constexpr std::uint8_t defaultLatencyMs = 16;

} // namespace

D2xxDevice::D2xxDevice(DeviceInfo info, std::unique_ptr<SerialLine> line)
    : info_(std::move(info)), line_(std::move(line))
{
}

// The notifier watches the line, so it goes first.
D2xxDevice::~D2xxDevice()
{
    notifier_.reset();
}

void D2xxDevice::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    readTimeoutMs_ = readMs;
    writeTimeoutMs_ = writeMs;
}

Status D2xxDevice::read(void *buffer, std::uint32_t count, std::uint32_t &done)
{
    return line_->read(buffer, count, done, SerialLine::Milliseconds(readTimeoutMs_.load()));
}

Status D2xxDevice::write(const void *buffer, std::uint32_t count, std::uint32_t &done)
{
    return line_->write(buffer, count, done, SerialLine::Milliseconds(writeTimeoutMs_.load()));
}

Status D2xxDevice::setLatencyTimer(std::uint8_t millisecs)
{
    if (millisecs == 0)
        return InvalidParameter;
    if (!info_.latencyTimerPath.empty()) {
        std::ofstream timer(info_.latencyTimerPath);
        if (timer << static_cast<unsigned>(millisecs) << '\n' && timer.flush())
            return Ok;
    }
    return line_->setLowLatency(millisecs < defaultLatencyMs);
}

Status D2xxDevice::reset()
{
    return line_->purge(3);
}

Status D2xxDevice::setEventNotification(std::uint32_t mask, platform::EventHandle event)
{
    if (mask & ~(EventNotifier::RxChar | EventNotifier::ModemStatus))
        return InvalidParameter;
    std::lock_guard lock(notifierMutex_);
    notifier_.reset();
    if (mask != 0 && event) {
        try {
            notifier_ = std::make_unique<EventNotifier>(*line_, mask, event);
        } catch (const std::exception &) {
            return OutOfResources;
        }
    }
    return Ok;
}

Status D2xxDevice::status(std::uint32_t &rx, std::uint32_t &tx, std::uint32_t &events)
{
    if (const Status s = line_->bytesWaiting(rx); s != Ok)
        return s;
    if (const Status s = line_->bytesToSend(tx); s != Ok)
        return s;
    std::lock_guard lock(notifierMutex_);
    events = notifier_ ? notifier_->takeEvents() : 0;
    return Ok;
}

} // namespace d2xx
