#include "DeviceSearch.h"

#include "FTDIchip.h"

#include <cstring>

DeviceSearch::DeviceSearch(tftdichip &chip, DeviceSearchHost &host, platform::Clock &clock)
    : chip_(chip), host_(host), clock_(clock)
{
}

bool DeviceSearch::isCandidate(const QByteArray &serialNumber)
{
    return serialNumber.size() > 4 && serialNumber.startsWith("PP");
}

int DeviceSearch::run(CandidateList &candidates)
{
    std::uint32_t count = 0;
    pftdiDeviceList list = nullptr;
    if (!chip_.createDeviceInfoList(count, list)) {
        // The driver cannot even list the devices: it is taken as missing.
        // The failed enumeration counts as no device.
        host_.showInstallingDriver(true);
        host_.startDriverInstaller();
        waitForDriverInstaller();
    }
    host_.showInstallingDriver(false);
    host_.showSearching();
    int found = takeCandidates(count, list, candidates);
    if (found == 0) {
        // A device just plugged in may not be listed yet. A second failure
        // of the enumeration gives an empty list, and no second set-up.
        clock_.sleep(SecondLookDelay);
        chip_.createDeviceInfoList(count, list);
        found = takeCandidates(count, list, candidates);
    }
    if (chip_.fconnected)
        chip_.closeDevice();
    return found;
}

int DeviceSearch::takeCandidates(std::uint32_t count, ftdiDeviceNode *&list, CandidateList &candidates)
{
    int found = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        // A full serial-number field has no closing zero byte.
        const char *field = list[i].serialNumber;
        const QByteArray serial(field, qsizetype(strnlen(field, sizeof list[i].serialNumber)));
        host_.pumpEvents();
        if (isCandidate(serial)) {
            ++found;
            if (found <= ListSize)
                candidates[found - 1] = serial;
        }
    }
    if (list)
        chip_.destroyDeviceInfoList(list);
    return found;
}

void DeviceSearch::waitForDriverInstaller()
{
    do {
        host_.pumpEvents();
        clock_.sleep(InstallerPollInterval);
    } while (!host_.driverInstallerEnded());
}
