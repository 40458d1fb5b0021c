#pragma once

#include <QString>
#include <QStringList>

namespace platform
{

// The desktop's "open" of a document or address: a web page in the browser,
// a "mailto:" address in the mail program. Nothing comes back: an address
// that nothing can open is dropped without a word, as a link click should be.
class ShellOpen
{
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QString &address) = 0;
};

// The one the program uses: the desktop's own, unless a test has put a fake
// in its place.
ShellOpen &shellOpen();

// Hands every address to xdg-open, the desktop's opener on Linux.
class DesktopShellOpen final : public ShellOpen
{
public:
    void open(const QString &address) override;
};

// Takes the desktop's place while it lives and records what would have been
// opened, so that tests can check links without starting a browser.
class FakeShellOpen final : public ShellOpen
{
public:
    FakeShellOpen();
    ~FakeShellOpen() override;
    FakeShellOpen(const FakeShellOpen &) = delete;
    FakeShellOpen &operator=(const FakeShellOpen &) = delete;

    void open(const QString &address) override;
    const QStringList &openedAddresses() const { return opened; }

private:
    ShellOpen *replaced;
    QStringList opened;
};

} // namespace platform
