#include "ShellOpen.h"

#include <QProcess>

namespace platform
{

namespace
{

ShellOpen *&current()
{
    static DesktopShellOpen desktop;
    static ShellOpen *inUse = &desktop;
    return inUse;
}

} // namespace

ShellOpen &shellOpen()
{
    return *current();
}

void DesktopShellOpen::open(const QString &address)
{
    // Detached and without a shell: the address is one argument, never a
    // command line, and the program does not wait for the browser.
    QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

FakeShellOpen::FakeShellOpen() : replaced(current())
{
    current() = this;
}

FakeShellOpen::~FakeShellOpen()
{
    current() = replaced;
}

void FakeShellOpen::open(const QString &address)
{
    opened.append(address);
}

} // namespace platform
