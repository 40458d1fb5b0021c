#include "CommandExchange.h"

#include "FTDIchip.h"

#include <algorithm>

CommandExchange::CommandExchange(tftdichip &chip, platform::Clock &clock) : chip_(chip), clock_(clock) {}

QByteArray CommandExchange::send(const QByteArray &command, std::int32_t expected)
{
    // A negative count has no meaning; it is taken as "until silence"
    // rather than let it size the read buffer.
    expected = std::max(expected, 0);
    if (!chip_.purgeQueue(fReceiveQueue))
        return {};
    std::int32_t written = 0;
    if (!chip_.write(command.constData(), static_cast<std::int32_t>(command.size()), written))
        return {};

    const std::int32_t replyLength = waitForReply(expected);
    clock_.sleep(SettleDelay);
    return readReply(expected == 0 ? replyLength : expected, replyLength);
}

// The growth test uses the count queried before the sleep of the same pass,
// and the idle limit runs from the last growth, so a slow reply whose pieces
// keep coming less than a second apart is collected whole.
std::int32_t CommandExchange::waitForReply(std::int32_t expected)
{
    auto lastGrowth = clock_.now();
    std::int32_t lastCount = 0;
    std::int32_t count = 0;
    for (;;) {
        std::int32_t queued = 0;
        // A failed query keeps the count of the previous pass.
        if (chip_.getReceiveQueueStatus(queued))
            count = std::max(queued, 0);
        clock_.sleep(PollInterval);
        if (count > lastCount)
            lastGrowth = clock_.now();
        lastCount = count;
        if (expected != 0 && count >= expected)
            return count;
        if (clock_.now() - lastGrowth > IdleLimit)
            return count;
    }
}

// Asks for the surplus beyond the expected length so that nothing of the
// reply is left behind, then keeps only the bytes counted as the reply.
QByteArray CommandExchange::readReply(std::int32_t expected, std::int32_t replyLength)
{
    const std::int32_t wanted = expected + ReadSurplus;
    QByteArray buffer(wanted, '\0');
    std::int32_t bytesRead = 0;
    chip_.read(buffer.data(), wanted, bytesRead);
    buffer.truncate(std::clamp(std::min(bytesRead, replyLength), 0, wanted));
    return buffer;
}
