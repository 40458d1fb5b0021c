#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

// The far end of a pseudo-terminal, held by a test: what it writes arrives
// at the terminal the D2XX layer opens, and what the layer writes can be
// read here.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        char name[128] = {};
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0 &&
            ::ptsname_r(master_, name, sizeof name) == 0)
            path_ = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal() { hangUp(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isOpen() const { return master_ >= 0 && !path_.isEmpty(); }
    QString path() const { return path_; }
    int master() const { return master_; }

    bool send(const QByteArray &bytes) const
    {
        return ::write(master_, bytes.constData(), bytes.size()) == bytes.size();
    }

    // What the other side has written, waiting up to timeoutMs for the first byte.
    QByteArray receive(int timeoutMs = 2000) const
    {
        QByteArray bytes;
        pollfd p{master_, POLLIN, 0};
        while (::poll(&p, 1, bytes.isEmpty() ? timeoutMs : 50) > 0 && (p.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, n);
        }
        return bytes;
    }

    void hangUp()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString path_;
};
