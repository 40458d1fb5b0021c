#pragma once

#include <cstdint>

// Status codes of our D2XX layer. 0 is success; every other value names one
// kind of failure, so that a caller can tell the user what to do (a refused
// open for lack of permission, say, asks them to join the serial group).
namespace d2xx
{

using Status = std::uint32_t;

constexpr Status Ok = 0;
// The handle is not one this layer gave out, or it has been closed.
constexpr Status InvalidHandle = 1;
// No device with that serial number or description is attached.
constexpr Status DeviceNotFound = 2;
// The device is open in another program (or another handle of this one).
constexpr Status DeviceBusy = 3;
// The user may not open the device's terminal: not a member of its group.
constexpr Status PermissionDenied = 4;
// The terminal failed or went away (unplugged, hung up).
constexpr Status IoError = 5;
// An argument outside what the function accepts.
constexpr Status InvalidParameter = 6;
// The device or the kernel driver does not offer this operation
// (modem lines and the latency timer on a pseudo-terminal, say).
constexpr Status NotSupported = 7;
// The system refused memory, a thread or a descriptor.
constexpr Status OutOfResources = 8;

} // namespace d2xx
