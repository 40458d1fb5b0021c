#include "FakeD2xx.h"

#include "FTDItypes.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstring>

namespace
{

constexpr std::array<const char *, 24> libraryFunctions = {"FT_CreateDeviceInfoList",
                                                           "FT_GetDeviceInfoList",
                                                           "FT_OpenEx",
                                                           "FT_Close",
                                                           "FT_ResetDevice",
                                                           "FT_CyclePort",
                                                           "FT_SetBaudRate",
                                                           "FT_SetDataCharacteristics",
                                                           "FT_SetFlowControl",
                                                           "FT_SetTimeouts",
                                                           "FT_SetLatencyTimer",
                                                           "FT_Purge",
                                                           "FT_Read",
                                                           "FT_Write",
                                                           "FT_GetQueueStatus",
                                                           "FT_GetStatus",
                                                           "FT_GetModemStatus",
                                                           "FT_SetDtr",
                                                           "FT_ClrDtr",
                                                           "FT_SetRts",
                                                           "FT_ClrRts",
                                                           "FT_GetDeviceInfo",
                                                           "FT_SetEventNotification",
                                                           "FT_SetUSBParameters"};

void copyText(char *target, const QByteArray &text, std::size_t capacity)
{
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(text.size()), capacity - 1);
    std::memcpy(target, text.constData(), length);
    target[length] = '\0';
}

} // namespace

FakeD2xx &FakeD2xx::instance()
{
    static FakeD2xx fake;
    return fake;
}

void FakeD2xx::reset()
{
    std::lock_guard lock(mutex_);
    devices_.clear();
    statuses_.clear();
    hook_ = nullptr;
    calls_.clear();
    open_.clear();
    receiveQueue_.clear();
    scheduled_.clear();
    written_.clear();
    sendQueueBytes_ = 0;
    modemStatus_ = 0;
    eventStatus_ = 0;
    eventMask_ = 0;
    platform::CloseEventObject(event_);
    event_ = nullptr;
}

void FakeD2xx::addDevice(const Device &device)
{
    std::lock_guard lock(mutex_);
    devices_.append(device);
}

void FakeD2xx::removeDevice(const QByteArray &serialNumber)
{
    std::lock_guard lock(mutex_);
    devices_.removeIf([&](const Device &device) { return device.serialNumber == serialNumber; });
}

void FakeD2xx::setStatus(const char *function, FT_STATUS status)
{
    const bool known = std::any_of(libraryFunctions.begin(), libraryFunctions.end(),
                                   [&](const char *name) { return qstrcmp(name, function) == 0; });
    if (!known)
        qFatal("FakeD2xx::setStatus: no library function named %s", function);
    std::lock_guard lock(mutex_);
    statuses_[function] = status;
}

void FakeD2xx::setHook(std::function<void(const Call &)> hook)
{
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

void FakeD2xx::appendReceived(const QByteArray &bytes)
{
    std::lock_guard lock(mutex_);
    receive(bytes);
}

void FakeD2xx::scheduleReceived(std::int64_t atMs, const QByteArray &bytes)
{
    std::lock_guard lock(mutex_);
    const auto later = std::upper_bound(scheduled_.begin(), scheduled_.end(), atMs,
                                        [](std::int64_t at, const Piece &piece) { return at < piece.atMs; });
    scheduled_.insert(later, Piece{atMs, bytes});
}

void FakeD2xx::deliverUntil(std::int64_t nowMs)
{
    std::lock_guard lock(mutex_);
    while (!scheduled_.isEmpty() && scheduled_.front().atMs <= nowMs)
        receive(scheduled_.takeFirst().bytes);
}

QByteArray FakeD2xx::receiveQueue() const
{
    std::lock_guard lock(mutex_);
    return receiveQueue_;
}

void FakeD2xx::setSendQueueBytes(std::uint32_t bytes)
{
    std::lock_guard lock(mutex_);
    sendQueueBytes_ = bytes;
}

void FakeD2xx::setModemStatus(std::uint32_t status)
{
    std::lock_guard lock(mutex_);
    const bool changed = status != modemStatus_;
    modemStatus_ = status;
    if (changed && (eventMask_ & FT_EVENT_MODEM_STATUS)) {
        eventStatus_ |= FT_EVENT_MODEM_STATUS;
        platform::SetEventObject(event_);
    }
}

void FakeD2xx::setEventStatus(std::uint32_t bits)
{
    std::lock_guard lock(mutex_);
    eventStatus_ = bits;
}

void FakeD2xx::signalEvent()
{
    std::lock_guard lock(mutex_);
    platform::SetEventObject(event_);
}

std::uint32_t FakeD2xx::eventMask() const
{
    std::lock_guard lock(mutex_);
    return eventMask_;
}

QList<FakeD2xx::Call> FakeD2xx::calls() const
{
    std::lock_guard lock(mutex_);
    return calls_;
}

QList<FakeD2xx::Call> FakeD2xx::calls(const char *function) const
{
    std::lock_guard lock(mutex_);
    QList<Call> matching;
    for (const Call &call : calls_)
        if (call.function == function)
            matching.append(call);
    return matching;
}

QList<QByteArray> FakeD2xx::functionNames() const
{
    std::lock_guard lock(mutex_);
    QList<QByteArray> names;
    for (const Call &call : calls_)
        names.append(call.function);
    return names;
}

void FakeD2xx::clearCalls()
{
    std::lock_guard lock(mutex_);
    calls_.clear();
}

QByteArray FakeD2xx::written() const
{
    std::lock_guard lock(mutex_);
    return written_;
}

bool FakeD2xx::isOpen(FT_HANDLE handle) const
{
    std::lock_guard lock(mutex_);
    return open_.count(handle) != 0;
}

int FakeD2xx::openHandleCount() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(open_.size());
}

FT_STATUS FakeD2xx::enter(Call call, bool needsOpenHandle)
{
    calls_.append(call);
    if (hook_) {
        const auto hook = hook_;
        hook(call);
    }
    const auto scripted = statuses_.find(call.function);
    if (scripted != statuses_.end() && scripted->second != FT_OK)
        return scripted->second;
    if (needsOpenHandle && open_.count(call.handle) == 0)
        return InvalidHandle;
    return FT_OK;
}

void FakeD2xx::receive(const QByteArray &bytes)
{
    receiveQueue_.append(bytes);
    if (!bytes.isEmpty() && (eventMask_ & FT_EVENT_RXCHAR))
        platform::SetEventObject(event_);
}

const FakeD2xx::Device *FakeD2xx::findDevice(const QByteArray &text, std::uint32_t flags) const
{
    for (const Device &device : devices_) {
        const QByteArray &key = flags == FT_OPEN_BY_DESCRIPTION ? device.description : device.serialNumber;
        if ((flags == FT_OPEN_BY_SERIAL_NUMBER || flags == FT_OPEN_BY_DESCRIPTION) && key == text)
            return &device;
    }
    return nullptr;
}

// The library side of the fake: what each function does once the call is
// logged and its status is known to be 0.
struct FakeD2xxLibrary {
    using Call = FakeD2xx::Call;

    static FT_STATUS plain(const char *function, FT_HANDLE handle, QList<std::uint64_t> args = {})
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        return fake.enter(Call{function, handle, std::move(args), {}}, true);
    }

    static FT_STATUS createDeviceInfoList(std::uint32_t *numDevs)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_CreateDeviceInfoList", nullptr, {}, {}}, false);
        if (status == FT_OK)
            *numDevs = static_cast<std::uint32_t>(fake.devices_.size());
        return status;
    }

    // Fills as many entries as the block holds and reports how many devices
    // there are now, which may be more.
    static FT_STATUS getDeviceInfoList(void *list, std::uint32_t *numDevs)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_GetDeviceInfoList", nullptr, {*numDevs}, {}}, false);
        if (status != FT_OK)
            return status;
        auto *entries = static_cast<ftdiDeviceNode *>(list);
        const auto filled = std::min<qsizetype>(*numDevs, fake.devices_.size());
        for (qsizetype i = 0; i < filled; ++i) {
            const auto &device = fake.devices_[i];
            ftdiDeviceNode &entry = entries[i];
            entry = ftdiDeviceNode{};
            entry.flags = device.flags;
            entry.deviceType = device.type;
            entry.id = device.id;
            entry.locid = device.locid;
            copyText(entry.serialNumber, device.serialNumber, sizeof entry.serialNumber);
            copyText(entry.description, device.description, sizeof entry.description);
        }
        *numDevs = static_cast<std::uint32_t>(fake.devices_.size());
        return FT_OK;
    }

    static FT_STATUS openEx(void *arg, std::uint32_t flags, FT_HANDLE *handle)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const QByteArray text = arg ? QByteArray(static_cast<const char *>(arg)) : QByteArray();
        const FT_STATUS status = fake.enter(Call{"FT_OpenEx", nullptr, {flags}, text}, false);
        if (status != FT_OK)
            return status;
        const FakeD2xx::Device *device = fake.findDevice(text, flags);
        if (!device)
            return FakeD2xx::DeviceNotFound;
        *handle = reinterpret_cast<FT_HANDLE>(fake.nextHandle_);
        fake.nextHandle_ += 0x10;
        fake.open_[*handle] = *device;
        return FT_OK;
    }

    static FT_STATUS close(FT_HANDLE handle)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_Close", handle, {}, {}}, true);
        if (status == FT_OK)
            fake.open_.erase(handle);
        return status;
    }

    static FT_STATUS purge(FT_HANDLE handle, std::uint32_t mask)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_Purge", handle, {mask}, {}}, true);
        if (status != FT_OK)
            return status;
        if (mask & FT_PURGE_RX)
            fake.receiveQueue_.clear();
        if (mask & FT_PURGE_TX)
            fake.sendQueueBytes_ = 0;
        return FT_OK;
    }

    static FT_STATUS read(FT_HANDLE handle, void *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_Read", handle, {bytesToRead}, {}}, true);
        if (status != FT_OK)
            return status;
        const auto count = std::min<qsizetype>(bytesToRead, fake.receiveQueue_.size());
        std::memcpy(buffer, fake.receiveQueue_.constData(), static_cast<std::size_t>(count));
        if (!fake.calls_.isEmpty())
            fake.calls_.back().data = fake.receiveQueue_.first(count);
        fake.receiveQueue_.remove(0, count);
        *bytesRead = static_cast<std::uint32_t>(count);
        return FT_OK;
    }

    static FT_STATUS write(FT_HANDLE handle, void *buffer, std::uint32_t bytesToWrite,
                           std::uint32_t *bytesWritten)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const QByteArray bytes(static_cast<const char *>(buffer), static_cast<qsizetype>(bytesToWrite));
        const FT_STATUS status = fake.enter(Call{"FT_Write", handle, {bytesToWrite}, bytes}, true);
        if (status != FT_OK)
            return status;
        fake.written_.append(bytes);
        *bytesWritten = bytesToWrite;
        return FT_OK;
    }

    static FT_STATUS getQueueStatus(FT_HANDLE handle, std::uint32_t *rxBytes)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_GetQueueStatus", handle, {}, {}}, true);
        if (status == FT_OK)
            *rxBytes = static_cast<std::uint32_t>(fake.receiveQueue_.size());
        return status;
    }

    static FT_STATUS getStatus(FT_HANDLE handle, std::uint32_t *rxBytes, std::uint32_t *txBytes,
                               std::uint32_t *eventStatus)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_GetStatus", handle, {}, {}}, true);
        if (status != FT_OK)
            return status;
        *rxBytes = static_cast<std::uint32_t>(fake.receiveQueue_.size());
        *txBytes = fake.sendQueueBytes_;
        *eventStatus = fake.eventStatus_;
        fake.eventStatus_ = 0;
        return FT_OK;
    }

    static FT_STATUS getModemStatus(FT_HANDLE handle, std::uint32_t *modemStatus)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_GetModemStatus", handle, {}, {}}, true);
        if (status == FT_OK)
            *modemStatus = fake.modemStatus_;
        return status;
    }

    static FT_STATUS getDeviceInfo(FT_HANDLE handle, std::uint32_t *deviceType, std::uint32_t *id,
                                   char *serialNumber, char *description)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(Call{"FT_GetDeviceInfo", handle, {}, {}}, true);
        if (status != FT_OK)
            return status;
        const FakeD2xx::Device &device = fake.open_.at(handle);
        *deviceType = device.type;
        *id = device.id;
        copyText(serialNumber, device.serialNumber, 17);
        copyText(description, device.description, 65);
        return FT_OK;
    }

    // The fake keeps its own reference to the event, as a driver would.
    static FT_STATUS setEventNotification(FT_HANDLE handle, std::uint32_t mask, void *eventParam)
    {
        auto &fake = FakeD2xx::instance();
        std::lock_guard lock(fake.mutex_);
        const FT_STATUS status = fake.enter(
            Call{"FT_SetEventNotification", handle, {mask, reinterpret_cast<std::uintptr_t>(eventParam)}, {}},
            true);
        if (status != FT_OK)
            return status;
        platform::CloseEventObject(fake.event_);
        fake.event_ = platform::DuplicateEventObject(static_cast<platform::EventHandle>(eventParam));
        fake.eventMask_ = mask;
        return FT_OK;
    }
};

extern "C" {

FT_STATUS FT_CreateDeviceInfoList(std::uint32_t *numDevs)
{
    return FakeD2xxLibrary::createDeviceInfoList(numDevs);
}

FT_STATUS FT_GetDeviceInfoList(void *list, std::uint32_t *numDevs)
{
    return FakeD2xxLibrary::getDeviceInfoList(list, numDevs);
}

FT_STATUS FT_OpenEx(void *arg, std::uint32_t flags, FT_HANDLE *handle)
{
    return FakeD2xxLibrary::openEx(arg, flags, handle);
}

FT_STATUS FT_Close(FT_HANDLE handle)
{
    return FakeD2xxLibrary::close(handle);
}

FT_STATUS FT_ResetDevice(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_ResetDevice", handle);
}

FT_STATUS FT_CyclePort(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_CyclePort", handle);
}

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baudRate)
{
    return FakeD2xxLibrary::plain("FT_SetBaudRate", handle, {baudRate});
}

FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity)
{
    return FakeD2xxLibrary::plain("FT_SetDataCharacteristics", handle, {wordLength, stopBits, parity});
}

FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xonChar,
                            std::uint8_t xoffChar)
{
    return FakeD2xxLibrary::plain("FT_SetFlowControl", handle, {flowControl, xonChar, xoffChar});
}

FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs)
{
    return FakeD2xxLibrary::plain("FT_SetTimeouts", handle, {readTimeoutMs, writeTimeoutMs});
}

FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t millisecs)
{
    return FakeD2xxLibrary::plain("FT_SetLatencyTimer", handle, {millisecs});
}

FT_STATUS FT_Purge(FT_HANDLE handle, std::uint32_t mask)
{
    return FakeD2xxLibrary::purge(handle, mask);
}

FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead)
{
    return FakeD2xxLibrary::read(handle, buffer, bytesToRead, bytesRead);
}

FT_STATUS FT_Write(FT_HANDLE handle, void *buffer, std::uint32_t bytesToWrite, std::uint32_t *bytesWritten)
{
    return FakeD2xxLibrary::write(handle, buffer, bytesToWrite, bytesWritten);
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t *rxBytes)
{
    return FakeD2xxLibrary::getQueueStatus(handle, rxBytes);
}

FT_STATUS FT_GetStatus(FT_HANDLE handle, std::uint32_t *rxBytes, std::uint32_t *txBytes,
                       std::uint32_t *eventStatus)
{
    return FakeD2xxLibrary::getStatus(handle, rxBytes, txBytes, eventStatus);
}

FT_STATUS FT_GetModemStatus(FT_HANDLE handle, std::uint32_t *modemStatus)
{
    return FakeD2xxLibrary::getModemStatus(handle, modemStatus);
}

FT_STATUS FT_SetDtr(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_SetDtr", handle);
}

FT_STATUS FT_ClrDtr(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_ClrDtr", handle);
}

FT_STATUS FT_SetRts(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_SetRts", handle);
}

FT_STATUS FT_ClrRts(FT_HANDLE handle)
{
    return FakeD2xxLibrary::plain("FT_ClrRts", handle);
}

FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t *deviceType, std::uint32_t *id, char *serialNumber,
                           char *description, void *)
{
    return FakeD2xxLibrary::getDeviceInfo(handle, deviceType, id, serialNumber, description);
}

FT_STATUS FT_SetEventNotification(FT_HANDLE handle, std::uint32_t mask, void *eventParam)
{
    return FakeD2xxLibrary::setEventNotification(handle, mask, eventParam);
}

FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize, std::uint32_t outTransferSize)
{
    return FakeD2xxLibrary::plain("FT_SetUSBParameters", handle, {inTransferSize, outTransferSize});
}
}
