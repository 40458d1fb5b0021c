#pragma once

#include "DeviceInfo.h"

#include <vector>

namespace d2xx
{

// Every device the layer can open, in the order the device list shows them:
// the FTDI chips first, then the virtual instruments.
std::vector<DeviceInfo> attachedDevices();

} // namespace d2xx
