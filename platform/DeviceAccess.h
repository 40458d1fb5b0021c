#pragma once

#include <QString>

#include <cstdint>

namespace platform
{

// When the driver refused to open a device for lack of permission (the
// status the open returned), what the user can do about it; empty for
// every other status.
QString deviceAccessAdvice(std::uint32_t openStatus, const QString &programFolder);

} // namespace platform
