#pragma once

#include "Clock.h"

#include <QByteArray>

#include <array>
#include <chrono>
#include <cstdint>

class tftdichip;
struct ftdiDeviceNode;

// What the search needs from the window it runs in: the two progress
// messages, the message pump, and the driver set-up process with its
// "ended" flag.
class DeviceSearchHost
{
public:
    virtual ~DeviceSearchHost() = default;

    virtual void showInstallingDriver(bool visible) = 0;
    virtual void showSearching() = 0;
    // Lets the GUI handle its pending events once.
    virtual void pumpEvents() = 0;
    // Starts the driver set-up as a separate process; throws when it cannot
    // be started. Clears the flag that driverInstallerEnded reports.
    virtual void startDriverInstaller() = 0;
    virtual bool driverInstallerEnded() const = 0;
};

// Finds the FTDI devices that may be the instrument: those whose serial
// number begins "PP" and has at least five characters. When none is there
// at the first look it looks once more two seconds later; when the driver
// cannot enumerate at all, it runs the driver set-up first and waits for it.
// The chip is closed when the search returns.
class DeviceSearch
{
public:
    static constexpr int ListSize = 100;
    using CandidateList = std::array<QByteArray, ListSize>;

    static constexpr std::chrono::milliseconds SecondLookDelay{2000};
    static constexpr std::chrono::milliseconds InstallerPollInterval{100};

    DeviceSearch(tftdichip &chip, DeviceSearchHost &host, platform::Clock &clock = platform::steadyClock());

    // The number of candidates (also those beyond the hundredth, which are
    // not kept); their serial numbers go to candidates[0..] in enumeration
    // order. Entries past the last candidate are left as they were.
    int run(CandidateList &candidates);

    static bool isCandidate(const QByteArray &serialNumber);

private:
    // Takes the candidates from one enumeration's list, then releases it.
    int takeCandidates(std::uint32_t count, ftdiDeviceNode *&list, CandidateList &candidates);
    void waitForDriverInstaller();

    tftdichip &chip_;
    DeviceSearchHost &host_;
    platform::Clock &clock_;
};
