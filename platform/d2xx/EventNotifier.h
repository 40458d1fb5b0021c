#pragma once

#include "EventObject.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace d2xx
{

class SerialLine;

// Watches one open line on a thread of its own and signals an event object
// when characters arrive or the modem status changes, as the mask asks. The
// events seen since the last look are kept for takeEvents.
class EventNotifier
{
public:
    static constexpr std::uint32_t RxChar = 1;
    static constexpr std::uint32_t ModemStatus = 2;

    // Starts watching; the notifier holds its own reference to the event.
    EventNotifier(SerialLine &line, std::uint32_t mask, platform::EventHandle event);
    // Stops the thread and waits for it, then drops the event reference.
    ~EventNotifier();
    EventNotifier(const EventNotifier &) = delete;
    EventNotifier &operator=(const EventNotifier &) = delete;

    // The events seen since the last call, cleared by the call.
    std::uint32_t takeEvents() { return pending_.exchange(0); }

private:
    void watch(std::stop_token stop);
    void raise(std::uint32_t event);

    SerialLine &line_;
    const std::uint32_t mask_;
    platform::EventHandle event_;
    std::atomic<std::uint32_t> pending_{0};
    int wakeFd_;
    std::jthread thread_;
};

} // namespace d2xx
