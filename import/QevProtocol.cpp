#include "QevProtocol.h"

#include "AnsiText.h"

#include <algorithm>
#include <cstring>

namespace QevProtocol
{

namespace
{

constexpr char CarriageReturn = '\r';
constexpr QByteArrayView IdentifyPrefix = "PP CM";
constexpr char ObjectListTerminator = '*';

// Zero-based offsets into the identify reply: the serial number begins with
// the last two letters of the prefix.
constexpr qsizetype SerialNumberOffset = 3;
constexpr qsizetype SerialNumberLength = 8;
constexpr qsizetype FirmwareVersionOffset = 12;
constexpr qsizetype FirmwareVersionLength = 4;

// The date and time words pack like the MS-DOS file date and time, with
// 1999 as the base year.
constexpr int BaseYear = 1999;

std::uint32_t littleEndian(const MeasurementEntry &entry, std::size_t offset, std::size_t length)
{
    std::uint32_t value = 0;
    for (std::size_t i = length; i-- > 0;)
        value = value << 8 | entry[offset + i];
    return value;
}

std::optional<QDate> unpackDate(std::uint16_t word)
{
    const int day = word & 0x1F;
    const int month = (word & 0x1E0) >> 5;
    const int year = ((word & 0xFE00) >> 9) + BaseYear;
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<QTime> unpackTime(std::uint16_t word)
{
    const int seconds = (word & 0x1F) * 2;
    const int minute = (word & 0x7E0) >> 5;
    const int hour = (word & 0xF800) >> 11;
    if (hour > 23 || minute > 59 || seconds > 59)
        return std::nullopt;
    return QTime(hour, minute, seconds);
}

ObjectEntry readObjectEntry(QByteArrayView bytes)
{
    const QByteArrayView nameField = bytes.sliced(1, ObjectNameSize);
    const auto nameEnd = std::find(nameField.begin(), nameField.end(), '\0');
    return {static_cast<std::uint8_t>(bytes[0]),
            AnsiText::decode(nameField.first(std::distance(nameField.begin(), nameEnd)))};
}

} // namespace

QByteArray identifyCommand()
{
    return QByteArray("I") + CarriageReturn;
}

QByteArray objectListCommand()
{
    return QByteArray("L") + CarriageReturn;
}

QByteArray measurementCommand(std::uint8_t index)
{
    QByteArray command("M");
    command.append(static_cast<char>(index));
    command.append(CarriageReturn);
    return command;
}

std::optional<Identity> checkIdentify(QByteArrayView reply)
{
    if (reply.size() < IdentifyReplyLength || !reply.startsWith(IdentifyPrefix))
        return std::nullopt;
    return Identity{AnsiText::decode(reply.sliced(SerialNumberOffset, SerialNumberLength)),
                    AnsiText::decode(reply.sliced(FirmwareVersionOffset, FirmwareVersionLength))};
}

std::optional<QList<ObjectEntry>> splitObjectList(QByteArrayView reply)
{
    if (reply.isEmpty() || reply.back() != ObjectListTerminator)
        return std::nullopt;
    QList<ObjectEntry> entries;
    const qsizetype count = reply.size() / ObjectEntrySize;
    entries.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        entries.append(readObjectEntry(reply.sliced(i * ObjectEntrySize, ObjectEntrySize)));
    return entries;
}

QList<MeasurementEntry> splitMeasurements(QByteArrayView reply)
{
    QList<MeasurementEntry> entries(reply.size() / MeasurementEntrySize);
    for (qsizetype i = 0; i < entries.size(); ++i)
        std::memcpy(entries[i].data(), reply.data() + i * MeasurementEntrySize, MeasurementEntrySize);
    return entries;
}

Measurement decodeMeasurement(const MeasurementEntry &entry)
{
    Measurement measurement;
    measurement.dataValue = littleEndian(entry, 0, 3);
    measurement.result = static_cast<std::int16_t>(littleEndian(entry, 7, 2));
    const auto date = unpackDate(static_cast<std::uint16_t>(littleEndian(entry, 3, 2)));
    const auto time = unpackTime(static_cast<std::uint16_t>(littleEndian(entry, 5, 2)));
    if (date && time)
        measurement.timestamp = QDateTime(*date, *time, Qt::UTC);
    return measurement;
}

} // namespace QevProtocol
