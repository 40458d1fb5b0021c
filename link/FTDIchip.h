#pragma once

#include "EventObject.h"
#include "FTDItypes.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>

class tftdithread;

// The program's door to the FTDI USB serial chip. Each operation is one
// call (at most two) of the D2XX library; a boolean result is true exactly
// when the library returned status 0. Link failures come back as values;
// misuse (opening twice, closing when closed, an enumeration value out of
// range, a failed modem-line query) throws std::runtime_error before the
// library is called and leaves the object unchanged.
class tftdichip
{
public:
    tftdichip();
    virtual ~tftdichip();

    tftdichip(const tftdichip &) = delete;
    tftdichip &operator=(const tftdichip &) = delete;

    // The open device's handle, null while the chip is closed.
    FT_HANDLE fhandle = nullptr;
    bool fconnected = false;
    tftdievent_onReceiveData e_onReceiveData;
    tftdievent_onSendQueueEmpty e_onSendQueueEmpty;
    tftdievent_onError e_onError;
    // The receive-event worker while one runs; owned by the chip.
    tftdithread *thread = nullptr;
    // Set by every successful write, cleared by the worker once it has seen
    // the send queue empty.
    std::atomic<bool> dataHasBeenSent{false};

    // Probes: open and close again at once, touching no field.
    bool isPresentBySerial(const QByteArray &deviceSerial);
    bool isPresentByDescription(const QByteArray &deviceDescription);

    bool openDeviceBySerial(const QByteArray &deviceSerial);
    bool openDeviceByDescription(const QByteArray &deviceDescription);
    // The chip counts as closed afterwards whatever the library answers.
    void closeDevice();

    bool resetDevice();
    bool cycleDevice();
    bool setBaudRate(fBaudRate baudrate);
    bool setBaudRateEx(std::uint32_t baudrate);
    bool setDataCharacteristics(fWordLength wordLength, fStopBits stopBits, fParity parity);
    bool setFlowControl(fFlowControl flowcontrol, std::uint8_t xonChar, std::uint8_t xoffChar);
    bool setTimeouts(std::uint32_t readTimeout, std::uint32_t writeTimeout);
    bool setLatencyTimer(std::uint8_t millisecs);
    bool purgeQueue(fQueue queue);

    // The caller's buffer goes to the library as it is. A negative count
    // is refused without calling the library.
    bool read(void *buffer, std::int32_t bytesToRead, std::int32_t &bytesRead);
    bool write(const void *buffer, std::int32_t bytesToWrite, std::int32_t &bytesWritten);
    bool getReceiveQueueStatus(std::int32_t &bytesWaiting);
    bool getSendQueueStatus(std::int32_t &bytesWaiting);

    // The state of one modem input line; throws when the library cannot
    // tell.
    bool getCTS();
    bool getDSR();
    bool getRI();
    bool getDCD();
    bool setDTR();
    bool clearDTR();
    bool setRTS();
    bool clearRTS();

    // After a failure the out-values carry no meaning.
    bool getDeviceInfo(fDevice &device, std::uint16_t &pid, std::uint16_t &vid, QByteArray &serialnumber,
                       QByteArray &description);

    // The attached devices as one block of entries, owned by the caller
    // until destroyDeviceInfoList. On failure: count 0 and no list.
    bool createDeviceInfoList(std::uint32_t &devicecount, pftdiDeviceList &devicelist);
    void destroyDeviceInfoList(pftdiDeviceList &devicelist);

    // An auto-reset event that the library signals on received characters,
    // on modem-status changes, or on both (fEventAny, fEventTimedOut and
    // fEventError). On failure the handle is null.
    bool createEventObject(fEvent event, platform::EventHandle &eventHandle);
    // Waits for the event at most timeout ms, then classifies the chip's
    // state: fEventError, fEventModemStatus, fEventTimedOut or fEventRXChar.
    fEvent waitForEventObject(platform::EventHandle eventhandle, std::uint32_t timeout);
    void closeEventObject(platform::EventHandle &eventhandle);

    // Replaces the three handlers; empty ones are allowed. Always true.
    bool setupCommEvents(tftdievent_onReceiveData onReceiveData, tftdievent_onSendQueueEmpty onSendQueueEmpty,
                         tftdievent_onError onError);

    // Starts the receive-event worker, which delivers the three events to
    // the handlers on the GUI thread. False when one runs already or the
    // dispatch (ftdiThreadModule) is not set up. Call on the GUI thread.
    bool startCommEvents();
    // Stops the worker and waits for its end; messages it left queued are
    // dropped. False when none runs. Call on the GUI thread.
    bool stopCommEvents();

private:
    bool isPresent(const QByteArray &text, std::uint32_t openFlag);
    bool openDevice(const QByteArray &text, std::uint32_t openFlag, const char *alreadyOpenMessage);
    bool modemLine(std::uint32_t bit, const char *errorMessage);
};
