#pragma once

#include "DeviceInfo.h"

#include <filesystem>
#include <vector>

namespace d2xx
{

// The FTDI chips (USB vendor 0x0403) that the kernel's serial driver has
// bound to a terminal, read from sysfs. Ordered by their place on the USB
// tree, so that the same set of plugged devices always lists the same way.
// A chip with several ports lists each port, its serial number and
// description followed by the port letter (A, B, ...).
std::vector<DeviceInfo> scanUsbSerialDevices(const std::filesystem::path &sysRoot = "/sys",
                                             const std::filesystem::path &devRoot = "/dev");

} // namespace d2xx
