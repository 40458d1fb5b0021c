#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The instrument's command/reply protocol: the command bytes, and the
// validation and decoding of the three replies. Pure functions over bytes;
// the exchange on the line lives in the link.
namespace QevProtocol
{

// The expected reply lengths handed to the exchange with each command: the
// identify reply is taken as soon as its 17 bytes are in, the other two
// replies are collected until the line falls silent.
constexpr int IdentifyReplyLength = 17;
constexpr int CollectUntilSilence = 0;

constexpr int ObjectEntrySize = 25;
constexpr int ObjectNameSize = 20;
constexpr int MeasurementEntrySize = 9;

// What the identify reply tells about the instrument.
struct Identity {
    QString serialNumber;    // 8 characters
    QString firmwareVersion; // 4 characters
};

// One animal of the instrument's object list.
struct ObjectEntry {
    std::uint8_t index = 0; // its number in the instrument, the argument of the measurement command
    QString name;           // at most 20 characters
};

// One measurement as it came from the line, not yet decoded.
using MeasurementEntry = std::array<std::uint8_t, MeasurementEntrySize>;

// A decoded measurement. The timestamp is the instrument's wall-clock time:
// it has no time zone, so it is held as UTC, where no daylight-saving rule
// of the PC can move or invalidate it; date() and time() are the
// instrument's own values. It is empty when the entry's date or time is
// not a real one, and such an entry is not stored.
struct Measurement {
    std::uint32_t dataValue = 0; // 0..16777215
    std::int16_t result = 0;
    std::optional<QDateTime> timestamp;
};

QByteArray identifyCommand();
QByteArray objectListCommand();
// Always three bytes: the index is sent as it is, 0x00 and 0x0D included.
QByteArray measurementCommand(std::uint8_t index);

// The instrument's identity, or nothing when no instrument answered: a
// reply shorter than 17 bytes or not beginning with "PP CM".
std::optional<Identity> checkIdentify(QByteArrayView reply);

// The objects in reply order, or nothing when the reply is invalid (empty,
// or not ending in '*'). Bytes after the last whole entry are not read.
std::optional<QList<ObjectEntry>> splitObjectList(QByteArrayView reply);

// The whole entries of a measurement reply in reply order; bytes after the
// last whole entry are dropped.
QList<MeasurementEntry> splitMeasurements(QByteArrayView reply);

Measurement decodeMeasurement(const MeasurementEntry &entry);

} // namespace QevProtocol
