#include "DeviceCatalog.h"

#include "DeviceAnnouncement.h"
#include "UsbSerialDevices.h"

namespace d2xx
{

std::vector<DeviceInfo> attachedDevices()
{
    std::vector<DeviceInfo> devices = scanUsbSerialDevices();
    for (const auto &announcement : readAnnouncements())
        devices.push_back(deviceFromAnnouncement(announcement));
    return devices;
}

} // namespace d2xx
