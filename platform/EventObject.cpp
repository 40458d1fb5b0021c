#include "EventObject.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform
{

class EventObject
{
public:
    void set()
    {
        {
            std::lock_guard lock(mutex_);
            signalled_ = true;
        }
        changed_.notify_one();
    }

    bool wait(std::uint32_t timeoutMs)
    {
        std::unique_lock lock(mutex_);
        const bool signalled =
            changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; });
        signalled_ = false;
        return signalled;
    }

    void retain() { references_.fetch_add(1, std::memory_order_relaxed); }

    bool release() { return references_.fetch_sub(1, std::memory_order_acq_rel) == 1; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool signalled_ = false;
    std::atomic<int> references_{1};
};

namespace
{
std::atomic<int> liveEventObjects{0};
}

EventHandle CreateEventObject()
{
    liveEventObjects.fetch_add(1, std::memory_order_relaxed);
    return new EventObject;
}

EventHandle DuplicateEventObject(EventHandle event)
{
    if (event)
        event->retain();
    return event;
}

void CloseEventObject(EventHandle event)
{
    if (event && event->release()) {
        delete event;
        liveEventObjects.fetch_sub(1, std::memory_order_relaxed);
    }
}

void SetEventObject(EventHandle event)
{
    if (event)
        event->set();
}

bool WaitForEventObject(EventHandle event, std::uint32_t timeoutMs)
{
    return event && event->wait(timeoutMs);
}

int LiveEventObjectCount()
{
    return liveEventObjects.load(std::memory_order_relaxed);
}

} // namespace platform
