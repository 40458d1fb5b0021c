#pragma once

#include <chrono>
#include <functional>

namespace platform
{

// Monotonic time and sleeping, behind one interface so that code which waits
// on the serial line (the exchange, the search, the import) can run on
// simulated time in tests.
class Clock
{
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;

    // The current moment; never jumps when the wall clock is set.
    virtual TimePoint now() const = 0;

    // Blocks the calling thread for the given time.
    virtual void sleep(Duration duration) = 0;
};

// The real monotonic clock.
class SteadyClock final : public Clock
{
public:
    TimePoint now() const override;
    void sleep(Duration duration) override;
};

// The one real clock of the program.
Clock &steadyClock();

// Time that moves only when someone sleeps on it or advances it. Each step
// is reported to an observer, so that a test can make things happen at given
// moments (bytes arriving on a fake line, say).
class SimulatedClock final : public Clock
{
public:
    using Observer = std::function<void(TimePoint now)>;

    SimulatedClock();

    TimePoint now() const override { return now_; }
    void sleep(Duration duration) override { advance(duration); }

    // Moves time forward and tells the observer the new moment.
    void advance(Duration duration);

    // The moment the clock started at: tests measure from here.
    TimePoint start() const { return start_; }
    Duration elapsed() const { return now_ - start_; }

    void setObserver(Observer observer) { observer_ = std::move(observer); }

private:
    TimePoint start_;
    TimePoint now_;
    Observer observer_;
};

} // namespace platform
