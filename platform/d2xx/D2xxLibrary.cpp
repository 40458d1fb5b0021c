// The D2XX functions over the kernel's serial drivers. A handle is a number
// that this file hands out and never reuses; every call looks it up, so a
// stale or foreign handle is answered with a status instead of a crash.

#include "D2xxDevice.h"
#include "D2xxStatus.h"
#include "DeviceCatalog.h"
#include "DeviceListEntry.h"
#include "FTDIdll.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

using d2xx::D2xxDevice;
using d2xx::DeviceInfo;

namespace
{

class HandleTable
{
public:
    FT_HANDLE add(std::shared_ptr<D2xxDevice> device)
    {
        std::lock_guard lock(mutex_);
        const auto handle = reinterpret_cast<FT_HANDLE>(++lastHandle_);
        devices_.emplace(handle, std::move(device));
        return handle;
    }

    // The device stays alive while the caller holds it, even when another
    // thread closes the handle meanwhile.
    std::shared_ptr<D2xxDevice> find(FT_HANDLE handle) const
    {
        std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        return it == devices_.end() ? nullptr : it->second;
    }

    std::shared_ptr<D2xxDevice> remove(FT_HANDLE handle)
    {
        std::lock_guard lock(mutex_);
        const auto it = devices_.find(handle);
        if (it == devices_.end())
            return nullptr;
        auto device = std::move(it->second);
        devices_.erase(it);
        return device;
    }

    // The handle under which this process holds the terminal open, or null.
    FT_HANDLE handleOf(const std::filesystem::path &tty) const
    {
        std::lock_guard lock(mutex_);
        for (const auto &[handle, device] : devices_)
            if (device->info().ttyPath == tty)
                return handle;
        return nullptr;
    }

private:
    mutable std::mutex mutex_;
    std::uintptr_t lastHandle_ = 0;
    std::map<FT_HANDLE, std::shared_ptr<D2xxDevice>> devices_;
};

HandleTable &handles()
{
    static HandleTable table;
    return table;
}

// The list that FT_CreateDeviceInfoList takes and FT_GetDeviceInfoList hands
// out, so that the count and the entries agree.
struct DeviceSnapshot {
    std::mutex mutex;
    std::vector<DeviceInfo> devices;
};

DeviceSnapshot &snapshot()
{
    static DeviceSnapshot s;
    return s;
}

void copyText(char *field, std::size_t fieldSize, const std::string &text)
{
    const std::size_t length = std::min(text.size(), fieldSize - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

template <typename Operation> FT_STATUS withDevice(FT_HANDLE handle, Operation operation)
{
    const auto device = handles().find(handle);
    if (!device)
        return d2xx::InvalidHandle;
    return operation(*device);
}

} // namespace

extern "C" {

FT_STATUS FT_CreateDeviceInfoList(std::uint32_t *numDevs)
{
    if (!numDevs)
        return d2xx::InvalidParameter;
    auto &s = snapshot();
    std::lock_guard lock(s.mutex);
    s.devices = d2xx::attachedDevices();
    *numDevs = static_cast<std::uint32_t>(s.devices.size());
    return FT_OK;
}

// *numDevs says on entry how many entries the block holds; more are never
// written, whatever has been plugged in since the count was taken.
FT_STATUS FT_GetDeviceInfoList(void *list, std::uint32_t *numDevs)
{
    if (!list || !numDevs)
        return d2xx::InvalidParameter;
    auto &s = snapshot();
    std::lock_guard lock(s.mutex);
    const std::size_t count = std::min<std::size_t>(*numDevs, s.devices.size());
    auto *entries = static_cast<d2xx::DeviceListEntry *>(list);
    for (std::size_t i = 0; i < count; ++i) {
        const DeviceInfo &info = s.devices[i];
        d2xx::DeviceListEntry &entry = entries[i];
        entry.handle = handles().handleOf(info.ttyPath);
        entry.flags = entry.handle ? d2xx::EntryFlagOpen : 0;
        entry.type = info.typeCode;
        entry.id = info.id;
        entry.locationId = info.locationId;
        copyText(entry.serialNumber, sizeof entry.serialNumber, info.serialNumber);
        copyText(entry.description, sizeof entry.description, info.description);
    }
    *numDevs = static_cast<std::uint32_t>(count);
    return FT_OK;
}

FT_STATUS FT_OpenEx(void *arg, std::uint32_t flags, FT_HANDLE *handle)
{
    if (!arg || !handle || (flags != FT_OPEN_BY_SERIAL_NUMBER && flags != FT_OPEN_BY_DESCRIPTION))
        return d2xx::InvalidParameter;
    const std::string wanted(static_cast<const char *>(arg));
    const auto devices = d2xx::attachedDevices();
    const auto found = std::find_if(devices.begin(), devices.end(), [&](const DeviceInfo &info) {
        return (flags == FT_OPEN_BY_SERIAL_NUMBER ? info.serialNumber : info.description) == wanted;
    });
    if (found == devices.end())
        return d2xx::DeviceNotFound;
    if (handles().handleOf(found->ttyPath))
        return d2xx::DeviceBusy;

    std::unique_ptr<d2xx::SerialLine> line;
    if (const auto status = d2xx::SerialLine::open(found->ttyPath, line); status != d2xx::Ok)
        return status;
    try {
        *handle = handles().add(std::make_shared<D2xxDevice>(*found, std::move(line)));
    } catch (const std::bad_alloc &) {
        return d2xx::OutOfResources;
    }
    return FT_OK;
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    return handles().remove(handle) ? FT_OK : d2xx::InvalidHandle;
}

FT_STATUS FT_ResetDevice(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &d) { return d.reset(); });
}

// Re-enumerating the USB device would take the terminal away under the
// caller; the kernel offers no gentler cycle.
FT_STATUS FT_CyclePort(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &) { return d2xx::NotSupported; });
}

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baudRate)
{
    return withDevice(handle, [=](D2xxDevice &d) { return d.line().setBaudRate(baudRate); });
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity)
{
    return withDevice(
        handle, [=](D2xxDevice &d) { return d.line().setDataCharacteristics(wordLength, stopBits, parity); });
}

FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xonChar,
                            std::uint8_t xoffChar)
{
    return withDevice(handle,
                      [=](D2xxDevice &d) { return d.line().setFlowControl(flowControl, xonChar, xoffChar); });
}

FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    return withDevice(handle, [=](D2xxDevice &d) {
        d.setTimeouts(readTimeoutMs, writeTimeoutMs);
        return d2xx::Ok;
    });
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t millisecs)
{
    return withDevice(handle, [=](D2xxDevice &d) { return d.setLatencyTimer(millisecs); });
}

FT_STATUS FT_Purge(FT_HANDLE handle, std::uint32_t mask)
{
    return withDevice(handle, [=](D2xxDevice &d) { return d.line().purge(mask); });
}

FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead)
{
    if (!bytesRead || (!buffer && bytesToRead > 0))
        return d2xx::InvalidParameter;
    *bytesRead = 0;
    return withDevice(handle, [=](D2xxDevice &d) { return d.read(buffer, bytesToRead, *bytesRead); });
}

FT_STATUS FT_Write(FT_HANDLE handle, void *buffer, std::uint32_t bytesToWrite, std::uint32_t *bytesWritten)
{
    if (!bytesWritten || (!buffer && bytesToWrite > 0))
        return d2xx::InvalidParameter;
    *bytesWritten = 0;
    return withDevice(handle, [=](D2xxDevice &d) { return d.write(buffer, bytesToWrite, *bytesWritten); });
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t *rxBytes)
{
    if (!rxBytes)
        return d2xx::InvalidParameter;
    return withDevice(handle, [=](D2xxDevice &d) { return d.line().bytesWaiting(*rxBytes); });
}

FT_STATUS FT_GetStatus(FT_HANDLE handle, std::uint32_t *rxBytes, std::uint32_t *txBytes,
                       std::uint32_t *eventStatus)
{
    if (!rxBytes || !txBytes || !eventStatus)
        return d2xx::InvalidParameter;
    return withDevice(handle, [=](D2xxDevice &d) { return d.status(*rxBytes, *txBytes, *eventStatus); });
}

FT_STATUS FT_GetModemStatus(FT_HANDLE handle, std::uint32_t *modemStatus)
{
    if (!modemStatus)
        return d2xx::InvalidParameter;
    return withDevice(handle, [=](D2xxDevice &d) { return d.line().modemStatus(*modemStatus); });
}

FT_STATUS FT_SetDtr(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &d) { return d.line().setDtr(true); });
}

FT_STATUS FT_ClrDtr(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &d) { return d.line().setDtr(false); });
}

FT_STATUS FT_SetRts(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &d) { return d.line().setRts(true); });
}

FT_STATUS FT_ClrRts(FT_HANDLE handle)
{
    return withDevice(handle, [](D2xxDevice &d) { return d.line().setRts(false); });
}

// serialNumber takes 16 characters and a zero, description 64 and a zero;
// any of the out-values may be left out with a null pointer.
FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t *deviceType, std::uint32_t *id, char *serialNumber,
                           char *description, void * /*reserved*/)
{
    return withDevice(handle, [=](D2xxDevice &d) {
        const DeviceInfo &info = d.info();
        if (deviceType)
            *deviceType = info.typeCode;
        if (id)
            *id = info.id;
        if (serialNumber)
            copyText(serialNumber, 17, info.serialNumber);
        if (description)
            copyText(description, 65, info.description);
        return d2xx::Ok;
    });
}

FT_STATUS FT_SetEventNotification(FT_HANDLE handle, std::uint32_t mask, void *eventParam)
{
    return withDevice(handle, [=](D2xxDevice &d) {
        return d.setEventNotification(mask, static_cast<platform::EventHandle>(eventParam));
    });
}

// The kernel driver chooses its own USB transfer sizes.
FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t /*inTransferSize*/,
                              std::uint32_t /*outTransferSize*/)
{
    return withDevice(handle, [](D2xxDevice &) { return d2xx::Ok; });
}
}
