#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace d2xx
{

// Device type codes as the library reports them.
enum DeviceTypeCode : std::uint32_t {
    TypeBM = 0,
    TypeAM = 1,
    Type100AX = 2,
    TypeUnknown = 3,
    Type2232C = 4,
    Type232R = 5,
    Type2232H = 6,
    Type4232H = 7,
    Type232H = 8,
    TypeXSeries = 9
};

// One device that the layer can open: an FTDI chip bound to the kernel's
// serial driver, or a virtual instrument on a pseudo-terminal.
struct DeviceInfo {
    std::string serialNumber;
    std::string description;
    std::filesystem::path ttyPath;
    std::uint32_t typeCode = TypeUnknown;
    // USB vendor in the high half, product in the low half; 0 for a virtual
    // device, which has no USB identity.
    std::uint32_t id = 0;
    // Bus number times 256 plus the device number on the bus.
    std::uint32_t locationId = 0;
    // The driver's latency_timer attribute in sysfs, empty when there is none.
    std::filesystem::path latencyTimerPath;
};

} // namespace d2xx
