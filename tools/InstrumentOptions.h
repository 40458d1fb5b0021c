#pragma once

#include "AnsiText.h"
#include "InstrumentEngine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>

// How a virtual instrument presents itself and behaves on the line.
struct InstrumentOptions {
    // The USB serial number of its FTDI chip: the search takes only those
    // beginning "PP" (5 to 15 characters).
    QByteArray usbSerial = "PP000001";
    QByteArray description = "QEV virtual instrument";
    QByteArray firmware = "1.07"; // 4 characters
    QString herdFile;             // empty: the demo herd
    AnsiText::CodePage codePage = AnsiText::activeCodePage();
    std::uint32_t seed = 1;
    // Bytes leave at this line rate (10 bit times each); 0 sends at once.
    std::uint32_t baudRate = 115200;
    std::chrono::milliseconds replyDelay{5};
    std::chrono::milliseconds gap{0}; // a pause every gapEvery bytes of a reply
    int gapEvery = 25;
    InstrumentFault fault = InstrumentFault::None;

    // The instrument's own serial number in the identify reply: "CM" and the
    // last six characters of the USB serial number.
    QByteArray instrumentSerial() const;
};

struct ParsedOptions {
    std::optional<InstrumentOptions> options; // empty on an error or --help
    QString message;                          // the error or the help text
    bool helpRequested = false;
};

ParsedOptions parseInstrumentOptions(const QStringList &arguments);

std::optional<InstrumentFault> faultFromName(const QString &name);
