#pragma once

#include <cstddef>
#include <cstdint>

namespace d2xx
{

// One entry of the device list as this layer writes it. The handle field has
// the width of a pointer, so the entry is 104 bytes on a 64-bit build; the
// serial number stays at byte 16 and the description at byte 32.
struct DeviceListEntry {
    std::uint32_t flags;
    std::uint32_t type;
    std::uint32_t id;
    std::uint32_t locationId;
    char serialNumber[16];
    char description[64];
    void *handle;
};
static_assert(offsetof(DeviceListEntry, serialNumber) == 16);
static_assert(offsetof(DeviceListEntry, description) == 32);

// flags: bit 0 is set while this process holds the device open.
constexpr std::uint32_t EntryFlagOpen = 0x1;

} // namespace d2xx
