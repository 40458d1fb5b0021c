#include "DeviceAccess.h"

#include "d2xx/D2xxStatus.h"

#include <QCoreApplication>
#include <QDir>

namespace platform
{

QString deviceAccessAdvice(std::uint32_t openStatus, const QString &programFolder)
{
    if (openStatus != d2xx::PermissionDenied)
        return {};
    // Debian and most other distributions give USB serial devices to the
    // group "dialout".
    return QCoreApplication::translate(
               "DeviceAccess",
               "The instrument is connected, but this user may not open it. Run \"CDM21228_Setup.exe\" in "
               "the program folder %1 once to give access, or ask the administrator to add you to the group "
               "\"dialout\" and log in again.")
        .arg(QDir::toNativeSeparators(programFolder));
}

} // namespace platform
