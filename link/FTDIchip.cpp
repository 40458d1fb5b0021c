#include "FTDIchip.h"

#include "FTDIthread.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace
{

constexpr std::uint32_t ModemStatusCts = 0x10;
constexpr std::uint32_t ModemStatusDsr = 0x20;
constexpr std::uint32_t ModemStatusRi = 0x40;
constexpr std::uint32_t ModemStatusDcd = 0x80;

// The library reads these buffers but declares them writable.
void *libraryArgument(const void *buffer)
{
    return const_cast<void *>(buffer);
}

std::uint32_t baudRateOf(fBaudRate baudrate)
{
    switch (baudrate) {
    case fBaud300:
        return 300;
    case fBaud600:
        return 600;
    case fBaud1200:
        return 1200;
    case fBaud2400:
        return 2400;
    case fBaud4800:
        return 4800;
    case fBaud9600:
        return 9600;
    case fBaud14400:
        return 14400;
    case fBaud19200:
        return 19200;
    case fBaud38400:
        return 38400;
    case fBaud57600:
        return 57600;
    case fBaud115200:
        return 115200;
    case fBaud230400:
        return 230400;
    case fBaud460800:
        return 460800;
    case fBaud921600:
        return 921600;
    }
    throw std::runtime_error("tftdichip.setBaudRate: Invalid baud rate");
}

std::uint8_t wordLengthOf(fWordLength wordLength)
{
    switch (wordLength) {
    case fBits8:
        return 8;
    case fBits7:
        return 7;
    }
    throw std::runtime_error("tftdichip.setDataCharacteristics: Invalid wordLength");
}

std::uint8_t stopBitsOf(fStopBits stopBits)
{
    switch (stopBits) {
    case fStopBits1:
        return 0;
    case fStopBits2:
        return 2;
    }
    throw std::runtime_error("tftdichip.setDataCharacteristics: Invalid stopBits");
}

std::uint8_t parityOf(fParity parity)
{
    switch (parity) {
    case fParityNone:
        return 0;
    case fParityOdd:
        return 1;
    case fParityEven:
        return 2;
    case fParityMark:
        return 3;
    case fParitySpace:
        return 4;
    }
    throw std::runtime_error("tftdichip.setDataCharacteristics: Invalid parity");
}

std::uint16_t flowControlOf(fFlowControl flowcontrol)
{
    switch (flowcontrol) {
    case fFlowNone:
        return 0x0000;
    case fFlowRTSCTS:
        return 0x0100;
    case fFlowDTRDSR:
        return 0x0200;
    case fFlowXONXOFF:
        return 0x0400;
    }
    throw std::runtime_error("tftdichip.setFlowControl: Invalid flowcontrol");
}

std::uint32_t purgeMaskOf(fQueue queue)
{
    switch (queue) {
    case fSendQueue:
        return FT_PURGE_TX;
    case fReceiveQueue:
        return FT_PURGE_RX;
    case fAll:
        return FT_PURGE_RX | FT_PURGE_TX;
    }
    throw std::runtime_error("tftdichip.purgeQueue: Invalid queue");
}

std::uint32_t eventMaskOf(fEvent event)
{
    switch (event) {
    case fEventRXChar:
        return FT_EVENT_RXCHAR;
    case fEventModemStatus:
        return FT_EVENT_MODEM_STATUS;
    default:
        return FT_EVENT_RXCHAR | FT_EVENT_MODEM_STATUS;
    }
}

fDevice deviceOf(std::uint32_t typeCode)
{
    switch (typeCode) {
    case 0:
        return fDevice232BM;
    case 1:
        return fDevice232AM;
    case 2:
        return fDevice100AX;
    case 4:
        return fDevice2232C;
    case 5:
        return fDevice232R;
    default:
        return fDeviceUnknown;
    }
}

// The text of a zero-ended buffer that the library may have filled to the
// last byte.
QByteArray textOf(const char *buffer, std::size_t size)
{
    return QByteArray(buffer, static_cast<qsizetype>(qstrnlen(buffer, size)));
}

} // namespace

tftdichip::tftdichip() = default;

// A device that is still open stays open in the library: the program frees
// the chip at shutdown without closing it.
tftdichip::~tftdichip()
{
    stopCommEvents();
}

bool tftdichip::isPresent(const QByteArray &text, std::uint32_t openFlag)
{
    FT_HANDLE probe = nullptr;
    if (FT_OpenEx(libraryArgument(text.constData()), openFlag, &probe) != FT_OK)
        return false;
    FT_Close(probe);
    return true;
}

bool tftdichip::isPresentBySerial(const QByteArray &deviceSerial)
{
    return isPresent(deviceSerial, FT_OPEN_BY_SERIAL_NUMBER);
}

bool tftdichip::isPresentByDescription(const QByteArray &deviceDescription)
{
    return isPresent(deviceDescription, FT_OPEN_BY_DESCRIPTION);
}

// A failed open leaves a null handle, so that the calls that follow it fail
// in the library instead of reaching a handle that was closed earlier.
bool tftdichip::openDevice(const QByteArray &text, std::uint32_t openFlag, const char *alreadyOpenMessage)
{
    if (fconnected)
        throw std::runtime_error(alreadyOpenMessage);
    FT_HANDLE handle = nullptr;
    fconnected = FT_OpenEx(libraryArgument(text.constData()), openFlag, &handle) == FT_OK;
    fhandle = fconnected ? handle : nullptr;
    return fconnected;
}

bool tftdichip::openDeviceBySerial(const QByteArray &deviceSerial)
{
    return openDevice(deviceSerial, FT_OPEN_BY_SERIAL_NUMBER, "tftdichip.openDeviceBySerial: Already open");
}

bool tftdichip::openDeviceByDescription(const QByteArray &deviceDescription)
{
    return openDevice(deviceDescription, FT_OPEN_BY_DESCRIPTION,
                      "tftdichip.openDeviceByDescription: Already open");
}

void tftdichip::closeDevice()
{
    if (!fconnected)
        throw std::runtime_error("tftdichip.closeDevice: Not open");
    // The worker must not use the handle once it is closed.
    stopCommEvents();
    FT_Close(fhandle);
    fhandle = nullptr;
    fconnected = false;
}

bool tftdichip::resetDevice()
{
    return FT_ResetDevice(fhandle) == FT_OK;
}

bool tftdichip::cycleDevice()
{
    return FT_CyclePort(fhandle) == FT_OK;
}

bool tftdichip::setBaudRate(fBaudRate baudrate)
{
    return FT_SetBaudRate(fhandle, baudRateOf(baudrate)) == FT_OK;
}

bool tftdichip::setBaudRateEx(std::uint32_t baudrate)
{
    return FT_SetBaudRate(fhandle, baudrate) == FT_OK;
}

bool tftdichip::setDataCharacteristics(fWordLength wordLength, fStopBits stopBits, fParity parity)
{
    const std::uint8_t bits = wordLengthOf(wordLength);
    const std::uint8_t stops = stopBitsOf(stopBits);
    const std::uint8_t parityCode = parityOf(parity);
    return FT_SetDataCharacteristics(fhandle, bits, stops, parityCode) == FT_OK;
}

bool tftdichip::setFlowControl(fFlowControl flowcontrol, std::uint8_t xonChar, std::uint8_t xoffChar)
{
    return FT_SetFlowControl(fhandle, flowControlOf(flowcontrol), xonChar, xoffChar) == FT_OK;
}

bool tftdichip::setTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout)
{
    return FT_SetTimeouts(fhandle, readTimeout, writeTimeout) == FT_OK;
}

bool tftdichip::setLatencyTimer(std::uint8_t millisecs)
{
    return FT_SetLatencyTimer(fhandle, millisecs) == FT_OK;
}

bool tftdichip::purgeQueue(fQueue queue)
{
    return FT_Purge(fhandle, purgeMaskOf(queue)) == FT_OK;
}

// A negative count would reach the library as a huge unsigned one and let
// it write past the caller's buffer.
bool tftdichip::read(void *buffer, std::int32_t bytesToRead, std::int32_t &bytesRead)
{
    bytesRead = 0;
    if (bytesToRead < 0)
        return false;
    std::uint32_t count = 0;
    const bool ok = FT_Read(fhandle, buffer, static_cast<std::uint32_t>(bytesToRead), &count) == FT_OK;
    bytesRead = static_cast<std::int32_t>(std::min<std::uint32_t>(count, bytesToRead));
    return ok;
}

bool tftdichip::write(const void *buffer, std::int32_t bytesToWrite, std::int32_t &bytesWritten)
{
    bytesWritten = 0;
    if (bytesToWrite < 0)
        return false;
    std::uint32_t count = 0;
    const bool ok =
        FT_Write(fhandle, libraryArgument(buffer), static_cast<std::uint32_t>(bytesToWrite), &count) == FT_OK;
    bytesWritten = static_cast<std::int32_t>(std::min<std::uint32_t>(count, bytesToWrite));
    if (ok)
        dataHasBeenSent = true;
    return ok;
}

bool tftdichip::getReceiveQueueStatus(std::int32_t &bytesWaiting)
{
    std::uint32_t count = 0;
    const bool ok = FT_GetQueueStatus(fhandle, &count) == FT_OK;
    bytesWaiting = static_cast<std::int32_t>(count);
    return ok;
}

bool tftdichip::getSendQueueStatus(std::int32_t &bytesWaiting)
{
    std::uint32_t receiveCount = 0;
    std::uint32_t sendCount = 0;
    std::uint32_t eventStatus = 0;
    const bool ok = FT_GetStatus(fhandle, &receiveCount, &sendCount, &eventStatus) == FT_OK;
    bytesWaiting = static_cast<std::int32_t>(sendCount);
    return ok;
}

bool tftdichip::modemLine(std::uint32_t bit, const char *errorMessage)
{
    std::uint32_t status = 0;
    if (FT_GetModemStatus(fhandle, &status) != FT_OK)
        throw std::runtime_error(errorMessage);
    return (status & bit) != 0;
}

bool tftdichip::getCTS()
{
    return modemLine(ModemStatusCts, "tftdichip.getCTS: Error");
}

bool tftdichip::getDSR()
{
    return modemLine(ModemStatusDsr, "tftdichip.getDSR: Error");
}

bool tftdichip::getRI()
{
    return modemLine(ModemStatusRi, "tftdichip.getRI: Error");
}

bool tftdichip::getDCD()
{
    return modemLine(ModemStatusDcd, "tftdichip.getDCD: Error");
}

bool tftdichip::setDTR()
{
    return FT_SetDtr(fhandle) == FT_OK;
}

bool tftdichip::clearDTR()
{
    return FT_ClrDtr(fhandle) == FT_OK;
}

bool tftdichip::setRTS()
{
    return FT_SetRts(fhandle) == FT_OK;
}

bool tftdichip::clearRTS()
{
    return FT_ClrRts(fhandle) == FT_OK;
}

bool tftdichip::getDeviceInfo(fDevice &device, std::uint16_t &pid, std::uint16_t &vid,
                              QByteArray &serialnumber, QByteArray &description)
{
    std::uint32_t typeCode = 0;
    std::uint32_t id = 0;
    char serialBuffer[17] = {};
    char descriptionBuffer[65] = {};
    const bool ok =
        FT_GetDeviceInfo(fhandle, &typeCode, &id, serialBuffer, descriptionBuffer, nullptr) == FT_OK;
    serialnumber = textOf(serialBuffer, sizeof serialBuffer);
    description = textOf(descriptionBuffer, sizeof descriptionBuffer);
    vid = static_cast<std::uint16_t>(id >> 16);
    pid = static_cast<std::uint16_t>(id & 0xFFFF);
    device = deviceOf(typeCode);
    return ok;
}

bool tftdichip::createDeviceInfoList(std::uint32_t &devicecount, pftdiDeviceList &devicelist)
{
    devicelist = nullptr;
    std::uint32_t attached = 0;
    if (FT_CreateDeviceInfoList(&attached) != FT_OK) {
        devicecount = 0;
        return false;
    }
    devicecount = attached;
    if (attached == 0)
        return true;
    auto block = std::make_unique<ftdiDeviceNode[]>(attached);
    std::uint32_t filled = attached;
    if (FT_GetDeviceInfoList(block.get(), &filled) != FT_OK) {
        devicecount = 0;
        return false;
    }
    // A device plugged in since the count was taken is not in the block.
    devicecount = std::min(filled, attached);
    devicelist = block.release();
    return true;
}

void tftdichip::destroyDeviceInfoList(pftdiDeviceList &devicelist)
{
    std::unique_ptr<ftdiDeviceNode[]> released(devicelist);
    devicelist = nullptr;
}

bool tftdichip::createEventObject(fEvent event, platform::EventHandle &eventHandle)
{
    eventHandle = platform::CreateEventObject();
    if (FT_SetEventNotification(fhandle, eventMaskOf(event), eventHandle) != FT_OK) {
        closeEventObject(eventHandle);
        return false;
    }
    return true;
}

// The wait's own outcome does not matter: signalled or timed out, the
// chip's status decides what happened.
fEvent tftdichip::waitForEventObject(platform::EventHandle eventhandle, std::uint32_t timeout)
{
    platform::WaitForEventObject(eventhandle, timeout);
    std::uint32_t receiveCount = 0;
    std::uint32_t sendCount = 0;
    std::uint32_t eventStatus = 0;
    if (FT_GetStatus(fhandle, &receiveCount, &sendCount, &eventStatus) != FT_OK)
        return fEventError;
    if (eventStatus & FT_EVENT_MODEM_STATUS)
        return fEventModemStatus;
    if (static_cast<std::int32_t>(receiveCount) <= 0)
        return fEventTimedOut;
    return fEventRXChar;
}

void tftdichip::closeEventObject(platform::EventHandle &eventhandle)
{
    platform::CloseEventObject(eventhandle);
    eventhandle = nullptr;
}

bool tftdichip::setupCommEvents(tftdievent_onReceiveData onReceiveData,
                                tftdievent_onSendQueueEmpty onSendQueueEmpty, tftdievent_onError onError)
{
    e_onReceiveData = std::move(onReceiveData);
    e_onSendQueueEmpty = std::move(onSendQueueEmpty);
    e_onError = std::move(onError);
    return true;
}

// The chip is registered before its worker runs, so that the first message
// finds it.
bool tftdichip::startCommEvents()
{
    if (thread || !ftdiRegistry)
        return false;
    auto worker = std::make_unique<tftdithread>(*this, true);
    const std::string key = ftdiKey(ftdiIdentity(this));
    hashAdd(*ftdiRegistry, key, this);
    if (!worker->Start()) {
        hashRemove(*ftdiRegistry, key);
        return false;
    }
    thread = worker.release();
    return true;
}

// The chip is unregistered before the worker is told to stop, so that
// every message the worker still posts is dropped.
bool tftdichip::stopCommEvents()
{
    if (!thread)
        return false;
    std::unique_ptr<tftdithread> worker(thread);
    thread = nullptr;
    if (ftdiRegistry)
        hashRemove(*ftdiRegistry, ftdiKey(ftdiIdentity(this)));
    worker->Terminate();
    worker->WaitFor();
    return true;
}
