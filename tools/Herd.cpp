#include "Herd.h"

#include <QHash>

const HerdObject *Herd::find(std::uint8_t index) const
{
    for (const HerdObject &object : objects)
        if (object.index == index)
            return &object;
    return nullptr;
}

qsizetype Herd::measurementCount() const
{
    qsizetype count = 0;
    for (const HerdObject &object : objects)
        count += object.measurements.size();
    return count;
}

std::uint16_t packDate(int year, int month, int day)
{
    return static_cast<std::uint16_t>(((year - HerdFirstYear) << 9) | (month << 5) | day);
}

std::uint16_t packDate(QDate date)
{
    return packDate(date.year(), date.month(), date.day());
}

std::uint16_t packTime(QTime time)
{
    return static_cast<std::uint16_t>((time.hour() << 11) | (time.minute() << 5) | (time.second() / 2));
}

// Encoding is decoding run backwards: the code page tables live with the
// decoder, and the instrument must write exactly what the program reads.
std::optional<QByteArray> encodeName(const QString &name, AnsiText::CodePage codePage)
{
    QHash<char16_t, char> byteOf;
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString decoded = AnsiText::decode(QByteArrayView(&c, 1), codePage);
        byteOf.insert(decoded.at(0).unicode(), c);
    }
    QByteArray bytes;
    for (const QChar ch : name) {
        const auto it = byteOf.constFind(ch.unicode());
        if (it == byteOf.constEnd())
            return std::nullopt;
        bytes.append(*it);
    }
    if (bytes.size() > HerdNameSize)
        return std::nullopt;
    return bytes;
}
