#pragma once

#include "DeviceInfo.h"
#include "EventNotifier.h"
#include "SerialLine.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace d2xx
{

// One device opened through the D2XX layer: its line, its time-outs and its
// event notification. The receive-event worker calls the status functions
// from its own thread while the owner reads and writes, so the time-outs are
// atomic and the notifier is guarded.
class D2xxDevice
{
public:
    D2xxDevice(DeviceInfo info, std::unique_ptr<SerialLine> line);
    ~D2xxDevice();

    const DeviceInfo &info() const { return info_; }
    SerialLine &line() { return *line_; }

    void setTimeouts(std::uint32_t readMs, std::uint32_t writeMs);
    Status read(void *buffer, std::uint32_t count, std::uint32_t &done);
    Status write(const void *buffer, std::uint32_t count, std::uint32_t &done);

    // Writes the driver's latency timer where sysfs lets us, otherwise
    // switches the driver's low-latency mode for short timers.
    Status setLatencyTimer(std::uint8_t millisecs);
    // Discards both queues: the kernel driver offers no reset of the chip
    // itself through the terminal.
    Status reset();

    // A mask of 0 or a null event stops the notification.
    Status setEventNotification(std::uint32_t mask, platform::EventHandle event);
    // rx and tx counts and the events since the last call.
    Status status(std::uint32_t &rx, std::uint32_t &tx, std::uint32_t &events);

private:
    DeviceInfo info_;
    std::unique_ptr<SerialLine> line_;
    std::atomic<std::uint32_t> readTimeoutMs_{0};
    std::atomic<std::uint32_t> writeTimeoutMs_{0};
    std::mutex notifierMutex_;
    std::unique_ptr<EventNotifier> notifier_;
};

} // namespace d2xx
