#include "InstrumentEngine.h"

#include "InstrumentReplies.h"

namespace
{

constexpr char carriageReturn = '\r';
constexpr int noiseBytes = 7;

} // namespace

InstrumentEngine::InstrumentEngine(Herd herd, QByteArray instrumentSerial, QByteArray firmware,
                                   InstrumentFault fault, std::uint32_t seed)
    : herd_(std::move(herd)), instrumentSerial_(std::move(instrumentSerial)), firmware_(std::move(firmware)),
      fault_(fault), random_(seed)
{
}

QList<InstrumentAnswer> InstrumentEngine::receive(QByteArrayView bytes)
{
    pending_.append(bytes);
    QList<InstrumentAnswer> answers;
    while (!pending_.isEmpty()) {
        const char command = pending_.at(0);
        const qsizetype length = command == 'M' ? 3 : 2;
        if (command != 'I' && command != 'L' && command != 'M') {
            pending_.remove(0, 1);
            ++strayBytes_;
            continue;
        }
        if (pending_.size() < length)
            break;
        if (pending_.at(length - 1) != carriageReturn) {
            pending_.remove(0, 1);
            ++strayBytes_;
            continue;
        }
        const auto index = static_cast<std::uint8_t>(pending_.at(1));
        pending_.remove(0, length);
        answers.append(answer(command, index));
    }
    return answers;
}

InstrumentAnswer InstrumentEngine::answer(char command, std::uint8_t index)
{
    InstrumentAnswer result;
    result.command = command == 'M' ? QStringLiteral("M %1").arg(index) : QString(QChar(command));
    result.reply = replyTo(command, index);
    applyFault(result, command);
    return result;
}

QByteArray InstrumentEngine::replyTo(char command, std::uint8_t index) const
{
    switch (command) {
    case 'I':
        return InstrumentReplies::identify(instrumentSerial_, firmware_);
    case 'L':
        return InstrumentReplies::objectList(herd_);
    default:
        // An index the instrument does not hold has no measurements.
        const HerdObject *object = herd_.find(index);
        return object ? InstrumentReplies::measurements(*object) : QByteArray();
    }
}

void InstrumentEngine::applyFault(InstrumentAnswer &answer, char command)
{
    switch (fault_) {
    case InstrumentFault::None:
        break;
    case InstrumentFault::Silent:
        answer.reply.clear();
        break;
    case InstrumentFault::ShortIdentify:
        if (command == 'I')
            answer.reply.chop(1);
        break;
    case InstrumentFault::WrongPrefix:
        if (command == 'I')
            answer.reply[4] = 'N';
        break;
    case InstrumentFault::NoTerminator:
        if (command == 'L')
            answer.reply.chop(1);
        break;
    case InstrumentFault::Garbage: {
        QByteArray noise;
        std::uniform_int_distribution<int> byte(0, 255);
        for (int i = 0; i < noiseBytes; ++i)
            noise.append(static_cast<char>(byte(random_)));
        answer.reply.prepend(noise);
        break;
    }
    case InstrumentFault::HangUp:
        answer.hangUpAfter = answer.reply.size() / 2;
        break;
    }
}
