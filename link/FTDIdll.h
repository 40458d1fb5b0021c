#pragma once

// The 24 functions of the FTDI D2XX library that the program uses. On Linux
// our own implementation (platform/) provides them; the tests link a fake in
// its place. Every function returns FT_OK on success and a non-zero status
// otherwise.

#include <cstdint>

using FT_HANDLE = void *;
using FT_STATUS = std::uint32_t;

constexpr FT_STATUS FT_OK = 0;

// FT_OpenEx flags: what the argument names.
constexpr std::uint32_t FT_OPEN_BY_SERIAL_NUMBER = 1;
constexpr std::uint32_t FT_OPEN_BY_DESCRIPTION = 2;

// FT_SetEventNotification mask bits.
constexpr std::uint32_t FT_EVENT_RXCHAR = 1;
constexpr std::uint32_t FT_EVENT_MODEM_STATUS = 2;

// FT_Purge mask bits.
constexpr std::uint32_t FT_PURGE_RX = 1;
constexpr std::uint32_t FT_PURGE_TX = 2;

extern "C" {

FT_STATUS FT_CreateDeviceInfoList(std::uint32_t *numDevs);
// list: a block of ftdiDeviceNode entries, *numDevs of them.
FT_STATUS FT_GetDeviceInfoList(void *list, std::uint32_t *numDevs);
// arg: a zero-ended serial number or description, chosen by flags.
FT_STATUS FT_OpenEx(void *arg, std::uint32_t flags, FT_HANDLE *handle);
FT_STATUS FT_Close(FT_HANDLE handle);
FT_STATUS FT_ResetDevice(FT_HANDLE handle);
FT_STATUS FT_CyclePort(FT_HANDLE handle);
FT_STATUS FT_SetBaudRate(FT_HANDLE handle, std::uint32_t baudRate);
// wordLength 8 or 7; stopBits 0 (one) or 2 (two); parity 0 none, 1 odd,
// 2 even, 3 mark, 4 space.
FT_STATUS FT_SetDataCharacteristics(FT_HANDLE handle, std::uint8_t wordLength, std::uint8_t stopBits,
                                    std::uint8_t parity);
// flowControl 0x0000 none, 0x0100 RTS/CTS, 0x0200 DTR/DSR, 0x0400 XON/XOFF.
FT_STATUS FT_SetFlowControl(FT_HANDLE handle, std::uint16_t flowControl, std::uint8_t xonChar,
                            std::uint8_t xoffChar);
FT_STATUS FT_SetTimeouts(FT_HANDLE handle, std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs);
FT_STATUS FT_SetLatencyTimer(FT_HANDLE handle, std::uint8_t millisecs);
FT_STATUS FT_Purge(FT_HANDLE handle, std::uint32_t mask);
FT_STATUS FT_Read(FT_HANDLE handle, void *buffer, std::uint32_t bytesToRead, std::uint32_t *bytesRead);
FT_STATUS FT_Write(FT_HANDLE handle, void *buffer, std::uint32_t bytesToWrite, std::uint32_t *bytesWritten);
FT_STATUS FT_GetQueueStatus(FT_HANDLE handle, std::uint32_t *rxBytes);
FT_STATUS FT_GetStatus(FT_HANDLE handle, std::uint32_t *rxBytes, std::uint32_t *txBytes,
                       std::uint32_t *eventStatus);
// Bits 0x10 CTS, 0x20 DSR, 0x40 RI, 0x80 DCD.
FT_STATUS FT_GetModemStatus(FT_HANDLE handle, std::uint32_t *modemStatus);
FT_STATUS FT_SetDtr(FT_HANDLE handle);
FT_STATUS FT_ClrDtr(FT_HANDLE handle);
FT_STATUS FT_SetRts(FT_HANDLE handle);
FT_STATUS FT_ClrRts(FT_HANDLE handle);
// serialNumber takes 16 characters and a zero, description 64 and a zero;
// id is the USB vendor in the high half and the product in the low half.
FT_STATUS FT_GetDeviceInfo(FT_HANDLE handle, std::uint32_t *deviceType, std::uint32_t *id, char *serialNumber,
                           char *description, void *reserved);
// eventParam: a platform::EventHandle that the library signals.
FT_STATUS FT_SetEventNotification(FT_HANDLE handle, std::uint32_t mask, void *eventParam);
FT_STATUS FT_SetUSBParameters(FT_HANDLE handle, std::uint32_t inTransferSize, std::uint32_t outTransferSize);
}
