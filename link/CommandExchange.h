#pragma once

#include "Clock.h"

#include <QByteArray>

#include <chrono>
#include <cstdint>

class tftdichip;

// One command/reply exchange with the instrument over the open chip: clear
// stale input, send the command, wait until the reply is complete, hand the
// reply back. It knows nothing of what the bytes mean; the caller says how
// many bytes make a complete reply, or 0 for "complete when the line falls
// silent". An empty reply stands for every kind of failure.
//
// The chip must be open and configured (read and write time-outs of a few
// milliseconds). Nothing else may read from the chip during an exchange.
class CommandExchange
{
public:
    static constexpr std::chrono::milliseconds PollInterval{10};
    static constexpr std::chrono::seconds IdleLimit{1};
    static constexpr std::chrono::milliseconds SettleDelay{300};
    static constexpr std::int32_t ReadSurplus = 5;

    explicit CommandExchange(tftdichip &chip, platform::Clock &clock = platform::steadyClock());

    QByteArray send(const QByteArray &command, std::int32_t expected);

private:
    // The number of bytes in the reply: queued bytes counted every poll
    // interval until the expected count is in or no byte has come for more
    // than the idle limit.
    std::int32_t waitForReply(std::int32_t expected);
    QByteArray readReply(std::int32_t expected, std::int32_t replyLength);

    tftdichip &chip_;
    platform::Clock &clock_;
};
