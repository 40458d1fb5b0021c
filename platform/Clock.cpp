#include "Clock.h"

#include <thread>

namespace platform
{

Clock::TimePoint SteadyClock::now() const
{
    return std::chrono::steady_clock::now();
}

void SteadyClock::sleep(Duration duration)
{
    std::this_thread::sleep_for(duration);
}

Clock &steadyClock()
{
    static SteadyClock clock;
    return clock;
}

// A simulated clock starts far from the epoch, so that code which subtracts
// durations from "now" never meets a negative time point.
SimulatedClock::SimulatedClock() : start_(TimePoint{} + std::chrono::hours(24)), now_(start_) {}

void SimulatedClock::advance(Duration duration)
{
    now_ += duration;
    if (observer_)
        observer_(now_);
}

} // namespace platform
