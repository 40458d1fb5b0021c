#include "InstrumentOptions.h"

#include <QCommandLineParser>

namespace
{

const QList<std::pair<QString, InstrumentFault>> &faultNames()
{
    static const QList<std::pair<QString, InstrumentFault>> names = {
        {QStringLiteral("none"), InstrumentFault::None},
        {QStringLiteral("silent"), InstrumentFault::Silent},
        {QStringLiteral("short-identify"), InstrumentFault::ShortIdentify},
        {QStringLiteral("wrong-prefix"), InstrumentFault::WrongPrefix},
        {QStringLiteral("no-terminator"), InstrumentFault::NoTerminator},
        {QStringLiteral("garbage"), InstrumentFault::Garbage},
        {QStringLiteral("hang-up"), InstrumentFault::HangUp}};
    return names;
}

const char *helpText = R"(Usage: qev-instrument [options]

A virtual QEV instrument on a pseudo-terminal. It announces itself in
$XDG_RUNTIME_DIR/qev-devices, where QEV Data finds it like an instrument on
USB, answers the identify ("I"), object list ("L") and measurement ("M" i)
commands from its herd, and logs every command it receives. Ctrl+C or
SIGTERM ends it and removes the announcement.

Options:
  --serial <text>       USB serial number, 5 to 15 characters beginning "PP"
                        (default PP000001). The identify reply carries "CM"
                        and its last six characters.
  --description <text>  USB description (default "QEV virtual instrument").
  --firmware <text>     firmware version, 4 characters (default 1.07).
  --herd <file>         herd file (tools/README.md); default: the demo herd.
  --code-page <n>       1250, 1251 or 1252: the code page of the names
                        (default: the one of your regional settings).
  --seed <n>            varies the demo herd and the line noise (default 1).
  --baud <n>            pace replies at this line rate, 0 for no pacing
                        (default 115200).
  --reply-delay <ms>    pause before a reply begins (default 5).
  --gap <ms>            pause inside a reply, every --gap-every bytes
                        (default 0: none).
  --gap-every <n>       bytes between two pauses (default 25).
  --fault <mode>        misbehave on purpose:
                          none            answer correctly (default)
                          silent          answer nothing
                          short-identify  identify reply one byte short
                          wrong-prefix    identify reply begins "PP CN"
                          no-terminator   object list without its '*'
                          garbage         7 random bytes before every reply
                          hang-up         drop the line halfway through every
                                          reply, then come back on a new
                                          pseudo-terminal
  --help                this text.
)";

std::optional<long long> number(const QString &text, long long min, long long max)
{
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    return ok && value >= min && value <= max ? std::optional(value) : std::nullopt;
}

bool isPrintableAscii(const QByteArray &text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

} // namespace

QByteArray InstrumentOptions::instrumentSerial() const
{
    return "CM" + usbSerial.right(6).rightJustified(6, '0');
}

std::optional<InstrumentFault> faultFromName(const QString &name)
{
    for (const auto &[text, fault] : faultNames())
        if (text == name)
            return fault;
    return std::nullopt;
}

ParsedOptions parseInstrumentOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QStringList valued = {"serial", "description", "firmware", "herd",      "code-page", "seed",
                                "baud",   "reply-delay", "gap",      "gap-every", "fault"};
    for (const QString &name : valued)
        parser.addOption(QCommandLineOption(name, QString(), QStringLiteral("value")));
    parser.addOption(QCommandLineOption(QStringLiteral("help")));
    if (!parser.parse(arguments))
        return {std::nullopt, parser.errorText(), false};
    if (parser.isSet(QStringLiteral("help")))
        return {std::nullopt, QString::fromUtf8(helpText), true};
    if (!parser.positionalArguments().isEmpty())
        return {std::nullopt,
                QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first())};

    InstrumentOptions o;
    const auto failed = [](const QString &message) { return ParsedOptions{std::nullopt, message, false}; };
    if (parser.isSet("serial")) {
        o.usbSerial = parser.value("serial").toLatin1();
        if (!o.usbSerial.startsWith("PP") || o.usbSerial.size() < 5 || o.usbSerial.size() > 15 ||
            !isPrintableAscii(o.usbSerial))
            return failed(QStringLiteral("--serial: 5 to 15 printable characters beginning \"PP\""));
    }
    if (parser.isSet("description")) {
        o.description = parser.value("description").toLatin1();
        if (o.description.size() > 63 || !isPrintableAscii(o.description))
            return failed(QStringLiteral("--description: at most 63 printable characters"));
    }
    if (parser.isSet("firmware")) {
        o.firmware = parser.value("firmware").toLatin1();
        if (o.firmware.size() != 4 || !isPrintableAscii(o.firmware))
            return failed(QStringLiteral("--firmware: exactly 4 printable characters"));
    }
    o.herdFile = parser.value("herd");
    if (parser.isSet("code-page")) {
        const auto page = number(parser.value("code-page"), 1250, 1252);
        if (!page)
            return failed(QStringLiteral("--code-page: 1250, 1251 or 1252"));
        o.codePage = static_cast<AnsiText::CodePage>(*page);
    }
    const struct {
        const char *name;
        long long min, max;
    } numbers[] = {{"seed", 0, 0xFFFFFFFF},
                   {"baud", 0, 12000000},
                   {"reply-delay", 0, 60000},
                   {"gap", 0, 60000},
                   {"gap-every", 1, 1000000}};
    for (const auto &n : numbers) {
        if (!parser.isSet(n.name))
            continue;
        const auto value = number(parser.value(n.name), n.min, n.max);
        if (!value)
            return failed(
                QStringLiteral("--%1: a whole number from %2 to %3").arg(n.name).arg(n.min).arg(n.max));
        const QString name = QString::fromLatin1(n.name);
        if (name == "seed")
            o.seed = static_cast<std::uint32_t>(*value);
        else if (name == "baud")
            o.baudRate = static_cast<std::uint32_t>(*value);
        else if (name == "reply-delay")
            o.replyDelay = std::chrono::milliseconds(*value);
        else if (name == "gap")
            o.gap = std::chrono::milliseconds(*value);
        else
            o.gapEvery = static_cast<int>(*value);
    }
    if (parser.isSet("fault")) {
        const auto fault = faultFromName(parser.value("fault"));
        if (!fault)
            return failed(
                QStringLiteral("--fault: unknown mode \"%1\" (see --help)").arg(parser.value("fault")));
        o.fault = *fault;
    }
    return {o, {}, false};
}
