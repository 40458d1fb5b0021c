#pragma once

#include "AnsiText.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

#include <cstdint>
#include <optional>

// The animals and measurements that a virtual instrument holds, kept as the
// instrument keeps them: names as bytes of its code page, dates and times as
// packed words (so that an entry with an impossible date can be held too).
struct HerdMeasurement {
    std::uint32_t dataValue = 0; // 0..16777215
    std::uint16_t dateWord = 0;
    std::uint16_t timeWord = 0;
    std::int16_t result = 0;
};

struct HerdObject {
    std::uint8_t index = 0;
    QByteArray name; // at most 20 bytes
    QList<HerdMeasurement> measurements;
};

struct Herd {
    QList<HerdObject> objects;

    // The object with that index, or null.
    const HerdObject *find(std::uint8_t index) const;
    qsizetype measurementCount() const;
};

constexpr int HerdNameSize = 20;
constexpr int HerdFirstYear = 1999;
constexpr int HerdLastYear = 2126;

// Day, month and year minus 1999 in one word; the year must lie in
// 1999..2126.
std::uint16_t packDate(int year, int month, int day);
std::uint16_t packDate(QDate date);
// Hour, minute and seconds halved: odd seconds round down.
std::uint16_t packTime(QTime time);

// The name in the bytes of the code page, or nothing when a character has
// no place in it or the name is longer than 20 characters.
std::optional<QByteArray> encodeName(const QString &name, AnsiText::CodePage codePage);
