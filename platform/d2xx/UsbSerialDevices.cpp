#include "UsbSerialDevices.h"

#include <algorithm>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace d2xx
{

namespace
{

constexpr std::uint32_t ftdiVendor = 0x0403;

// The first line of a sysfs attribute, or nothing when it cannot be read.
std::optional<std::string> readAttribute(const fs::path &file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

std::uint32_t readNumber(const fs::path &file, int base)
{
    const auto text = readAttribute(file);
    if (!text)
        return 0;
    try {
        return static_cast<std::uint32_t>(std::stoul(*text, nullptr, base));
    } catch (const std::exception &) {
        return 0;
    }
}

// The chip family follows from the device release number the chip reports.
std::uint32_t typeFromRelease(std::uint32_t bcdDevice)
{
    switch (bcdDevice) {
    case 0x0200:
        return TypeAM;
    case 0x0400:
        return TypeBM;
    case 0x0500:
        return Type2232C;
    case 0x0600:
        return Type232R;
    case 0x0700:
        return Type2232H;
    case 0x0800:
        return Type4232H;
    case 0x0900:
        return Type232H;
    case 0x1000:
        return TypeXSeries;
    default:
        return TypeUnknown;
    }
}

// Text for a fixed-size field of the device list: the layer never hands out
// more than the field can hold with its ending zero.
std::string limited(std::string text, std::size_t maxLength)
{
    if (text.size() > maxLength)
        text.resize(maxLength);
    return text;
}

struct FoundPort {
    fs::path sortKey;
    DeviceInfo info;
};

std::optional<FoundPort> examineTty(const fs::directory_entry &tty, const fs::path &devRoot)
{
    std::error_code error;
    const fs::path portDir = fs::canonical(tty.path() / "device", error);
    if (error)
        return std::nullopt;
    const fs::path driver = fs::canonical(portDir / "driver", error);
    if (error || driver.filename() != "ftdi_sio")
        return std::nullopt;

    const fs::path interfaceDir = portDir.parent_path();
    const fs::path usbDir = interfaceDir.parent_path();
    if (readNumber(usbDir / "idVendor", 16) != ftdiVendor)
        return std::nullopt;

    DeviceInfo info;
    std::string serial = readAttribute(usbDir / "serial").value_or("");
    std::string description = readAttribute(usbDir / "product").value_or("");
    if (readNumber(usbDir / "bNumInterfaces", 10) > 1) {
        const char port = static_cast<char>('A' + readNumber(interfaceDir / "bInterfaceNumber", 16));
        serial += port;
        description += ' ';
        description += port;
    }
    info.serialNumber = limited(serial, 15);
    info.description = limited(description, 63);
    info.ttyPath = devRoot / tty.path().filename();
    info.typeCode = typeFromRelease(readNumber(usbDir / "bcdDevice", 16));
    info.id = (ftdiVendor << 16) | (readNumber(usbDir / "idProduct", 16) & 0xFFFF);
    info.locationId = (readNumber(usbDir / "busnum", 10) << 8) | (readNumber(usbDir / "devnum", 10) & 0xFF);
    if (fs::exists(portDir / "latency_timer", error))
        info.latencyTimerPath = portDir / "latency_timer";
    return FoundPort{portDir, std::move(info)};
}

} // namespace

std::vector<DeviceInfo> scanUsbSerialDevices(const fs::path &sysRoot, const fs::path &devRoot)
{
    std::vector<FoundPort> found;
    std::error_code error;
    for (const auto &tty : fs::directory_iterator(sysRoot / "class" / "tty", error)) {
        if (auto port = examineTty(tty, devRoot))
            found.push_back(std::move(*port));
    }
    std::sort(found.begin(), found.end(),
              [](const FoundPort &a, const FoundPort &b) { return a.sortKey < b.sortKey; });

    std::vector<DeviceInfo> devices;
    devices.reserve(found.size());
    for (auto &port : found)
        devices.push_back(std::move(port.info));
    return devices;
}

} // namespace d2xx
