#pragma once

#include "Herd.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <random>

// Ways in which a virtual instrument misbehaves on purpose.
enum class InstrumentFault {
    None,
    Silent,        // answers nothing
    ShortIdentify, // the identify reply lacks its last byte
    WrongPrefix,   // the identify reply begins "PP CN"
    NoTerminator,  // the object list lacks its closing '*'
    Garbage,       // a few random bytes of line noise come before every reply
    HangUp         // the line drops halfway through every reply
};

// What the instrument does with one command: the reply, and where the line
// drops when it hangs up (-1: it does not).
struct InstrumentAnswer {
    QString command; // as the log shows it: "I", "L", "M 13"
    QByteArray reply;
    qsizetype hangUpAfter = -1;
};

// The instrument's command interpreter: it collects the bytes that come in,
// recognises "I" CR, "L" CR and "M" i CR, and answers from its herd.
// Stray bytes are dropped one at a time until a command lines up again.
class InstrumentEngine
{
public:
    InstrumentEngine(Herd herd, QByteArray instrumentSerial, QByteArray firmware,
                     InstrumentFault fault = InstrumentFault::None, std::uint32_t seed = 1);

    // The answers to the commands completed by these bytes, in order.
    QList<InstrumentAnswer> receive(QByteArrayView bytes);

    // Forgets a command left incomplete, so that a stray byte on a quiet
    // line cannot swallow the start of the next command.
    void discardPartialCommand() { pending_.clear(); }

    // Bytes that lined up with no command, for the log.
    qsizetype strayBytes() const { return strayBytes_; }

    const Herd &herd() const { return herd_; }

private:
    InstrumentAnswer answer(char command, std::uint8_t index);
    QByteArray replyTo(char command, std::uint8_t index) const;
    void applyFault(InstrumentAnswer &answer, char command);

    Herd herd_;
    QByteArray instrumentSerial_;
    QByteArray firmware_;
    InstrumentFault fault_;
    std::mt19937 random_;
    QByteArray pending_;
    qsizetype strayBytes_ = 0;
};
