#include "EventNotifier.h"

#include "SerialLine.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace d2xx
{

namespace
{

// How often the modem lines are looked at, and how soon a wake-up on
// arriving characters is re-armed while earlier ones are still unread.
constexpr int modemPollMs = 10;
constexpr int unreadPollMs = 2;

} // namespace

EventNotifier::EventNotifier(SerialLine &line, std::uint32_t mask, platform::EventHandle event)
    : line_(line), mask_(mask), event_(platform::DuplicateEventObject(event)),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      thread_([this](std::stop_token stop) { watch(stop); })
{
}

EventNotifier::~EventNotifier()
{
    thread_.request_stop();
    const std::uint64_t one = 1;
    if (wakeFd_ >= 0) [[maybe_unused]]
        auto written = ::write(wakeFd_, &one, sizeof one);
    thread_.join();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
    platform::CloseEventObject(event_);
}

void EventNotifier::raise(std::uint32_t event)
{
    pending_.fetch_or(event);
    platform::SetEventObject(event_);
}

// A poll on the line wakes as soon as characters arrive; while characters
// wait unread it would wake at once, so then only the time-out paces the
// loop. Modem lines cannot be waited on for every driver, so they are
// compared on each pass.
void EventNotifier::watch(std::stop_token stop)
{
    std::uint32_t lastWaiting = 0;
    std::uint32_t lastModem = 0;
    const bool watchModem = (mask_ & ModemStatus) && line_.modemStatus(lastModem) == Ok;
    while (!stop.stop_requested()) {
        std::uint32_t waiting = 0;
        const bool countKnown = line_.bytesWaiting(waiting) == Ok;
        if ((mask_ & RxChar) && countKnown && waiting > lastWaiting)
            raise(RxChar);
        lastWaiting = waiting;

        std::uint32_t modem = 0;
        if (watchModem && line_.modemStatus(modem) == Ok && modem != lastModem) {
            raise(ModemStatus);
            lastModem = modem;
        }

        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {line_.descriptor(), POLLIN, 0}};
        const bool waitForCharacters = (mask_ & RxChar) && countKnown && waiting == 0;
        const int timeout = (mask_ & RxChar) && waiting > 0 ? unreadPollMs : modemPollMs;
        const int n = ::poll(fds, waitForCharacters ? 2 : 1, timeout);
        // A hung-up line reports itself at once on every poll; pace the loop.
        if (n > 0 && waitForCharacters && (fds[1].revents & (POLLHUP | POLLERR)) &&
            !(fds[0].revents & POLLIN))
            ::poll(fds, 1, modemPollMs);
    }
}

} // namespace d2xx
