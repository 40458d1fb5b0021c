#pragma once

#include "FTDIdll.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Link enumerations, each held in one byte. The ordinal of a value is not
// the number it stands for: the chip wrapper maps each to the library's
// argument.
enum fBaudRate : std::uint8_t {
    fBaud300,
    fBaud600,
    fBaud1200,
    fBaud2400,
    fBaud4800,
    fBaud9600,
    fBaud14400,
    fBaud19200,
    fBaud38400,
    fBaud57600,
    fBaud115200,
    fBaud230400,
    fBaud460800,
    fBaud921600
};

enum fWordLength : std::uint8_t { fBits8, fBits7 };

enum fStopBits : std::uint8_t { fStopBits1, fStopBits2 };

enum fParity : std::uint8_t { fParityNone, fParityOdd, fParityEven, fParityMark, fParitySpace };

enum fFlowControl : std::uint8_t { fFlowNone, fFlowRTSCTS, fFlowDTRDSR, fFlowXONXOFF };

enum fQueue : std::uint8_t { fSendQueue, fReceiveQueue, fAll };

enum fDevice : std::uint8_t {
    fDevice232BM,
    fDevice232AM,
    fDevice100AX,
    fDeviceUnknown,
    fDevice2232C,
    fDevice232R
};

enum fEvent : std::uint8_t { fEventRXChar, fEventModemStatus, fEventAny, fEventTimedOut, fEventError };

// One entry of the library's device list. The handle field has the width of
// our library's handle, so the entry is larger than 100 bytes on a 64-bit
// build; the serial number stays at byte 16.
struct ftdiDeviceNode {
    std::uint32_t flags;
    std::uint32_t deviceType;
    std::uint32_t id;
    std::uint32_t locid;
    char serialNumber[16];
    char description[64];
    FT_HANDLE ftHandle;
};
static_assert(offsetof(ftdiDeviceNode, serialNumber) == 16);
static_assert(offsetof(ftdiDeviceNode, description) == 32);

// A block of entries counted from 0, owned by whoever created it.
using ftdiDeviceList = ftdiDeviceNode;
using pftdiDeviceList = ftdiDeviceList *;

class tftdichip;

// Handlers of the three link events: each an object bound to one of its
// methods, or empty.
using tftdievent_onReceiveData = std::function<void(tftdichip *ftdichip, std::int32_t datalength)>;
using tftdievent_onSendQueueEmpty = std::function<void(tftdichip *ftdichip)>;
using tftdievent_onError = std::function<void(tftdichip *ftdichip)>;
