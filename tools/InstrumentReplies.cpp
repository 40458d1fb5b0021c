#include "InstrumentReplies.h"

namespace InstrumentReplies
{

namespace
{

void appendLittleEndian(QByteArray &bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray identify(const QByteArray &instrumentSerial, const QByteArray &firmware)
{
    return "PP " + instrumentSerial.leftJustified(8, ' ', true) + ' ' + firmware.leftJustified(4, ' ', true) +
           '\r';
}

QByteArray objectList(const Herd &herd)
{
    QByteArray bytes;
    for (const HerdObject &object : herd.objects) {
        bytes.append(static_cast<char>(object.index));
        bytes.append(object.name.left(HerdNameSize).leftJustified(HerdNameSize, '\0'));
        bytes.append(4, '\0');
    }
    bytes.append('*');
    return bytes;
}

QByteArray measurements(const HerdObject &object)
{
    QByteArray bytes;
    for (const HerdMeasurement &m : object.measurements) {
        appendLittleEndian(bytes, m.dataValue, 3);
        appendLittleEndian(bytes, m.dateWord, 2);
        appendLittleEndian(bytes, m.timeWord, 2);
        appendLittleEndian(bytes, static_cast<std::uint16_t>(m.result), 2);
    }
    return bytes;
}

} // namespace InstrumentReplies
