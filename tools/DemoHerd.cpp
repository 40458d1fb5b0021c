#include "DemoHerd.h"

#include <QStringList>

#include <cmath>
#include <random>

namespace
{

constexpr int dogCount = 12;
constexpr int historyDays = 150;

QStringList dogNames(AnsiText::CodePage codePage)
{
    switch (codePage) {
    case AnsiText::CodePage::Windows1250:
        return {QStringLiteral("Łatka"),
                QStringLiteral("Śnieżka"),
                QStringLiteral("Żabcia z Gór Sowich"),
                QStringLiteral("Bąbel"),
                QStringLiteral("Róża"),
                QStringLiteral("Dżeki"),
                QStringLiteral("Arielle von Rosental"),
                QStringLiteral("Kropka"),
                QStringLiteral("Čárka"),
                QStringLiteral("Fenka"),
                QStringLiteral("Ósemka"),
                QStringLiteral("Luna")};
    case AnsiText::CodePage::Windows1251:
        return {QStringLiteral("Жучка"),
                QStringLiteral("Белка"),
                QStringLiteral("Найда Сибирская"),
                QStringLiteral("Пушинка"),
                QStringLiteral("Ёлка"),
                QStringLiteral("Дружок"),
                QStringLiteral("Arielle von Rosental"),
                QStringLiteral("Злата"),
                QStringLiteral("Мила"),
                QStringLiteral("Тайга"),
                QStringLiteral("Юла"),
                QStringLiteral("Luna")};
    case AnsiText::CodePage::Windows1252:
        break;
    }
    return {QStringLiteral("Bärbel"),
            QStringLiteral("Chérie"),
            QStringLiteral("Loulou du Château"),
            QStringLiteral("Señorita"),
            QStringLiteral("Björk"),
            QStringLiteral("Françoise"),
            QStringLiteral("Arielle von Rosental"),
            QStringLiteral("Größchen"),
            QStringLiteral("Zoë"),
            QStringLiteral("Øsa"),
            QStringLiteral("Maëlle"),
            QStringLiteral("Luna")};
}

// The object indexes include 0x00 and 0x0D: the measurement command sends
// the index as it is, and these two are the ones a careless reader trips on.
constexpr std::uint8_t dogIndexes[dogCount] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13};

// The reading of a heat-cycle detector climbs from a low base to a peak
// around ovulation and falls off after it.
std::int16_t readingOnCycleDay(int day, double peakDay, double peakHeight, double base, std::mt19937 &random)
{
    const double distance = (day - peakDay) / 3.0;
    const double value = base + (peakHeight - base) * std::exp(-distance * distance);
    std::normal_distribution<double> noise(0.0, 12.0);
    return static_cast<std::int16_t>(std::lround(value + noise(random)));
}

QTime readingTime(bool morning, std::mt19937 &random)
{
    std::uniform_int_distribution<int> minuteOfSpan(0, 150);
    const int minutes = (morning ? 7 * 60 : 15 * 60) + minuteOfSpan(random);
    std::uniform_int_distribution<int> second(0, 29);
    return QTime(minutes / 60, minutes % 60, second(random) * 2);
}

void addCycle(HerdObject &dog, QDate start, QDate today, std::mt19937 &random)
{
    std::uniform_real_distribution<double> peakHeight(560.0, 880.0);
    std::uniform_real_distribution<double> base(180.0, 300.0);
    std::uniform_int_distribution<int> length(12, 18);
    std::bernoulli_distribution skipsAfternoon(0.25);
    const double height = peakHeight(random);
    const double low = base(random);
    const int days = length(random);
    const double peakDay = days * 0.6;
    for (int day = 0; day < days; ++day) {
        const QDate date = start.addDays(day);
        if (date >= today)
            return;
        for (const bool morning : {true, false}) {
            if (!morning && skipsAfternoon(random))
                continue;
            HerdMeasurement m;
            m.result = readingOnCycleDay(day, peakDay, height, low, random);
            m.dataValue =
                static_cast<std::uint32_t>(m.result) * 97u + static_cast<std::uint32_t>(random() % 97);
            m.dateWord = packDate(date);
            m.timeWord = packTime(readingTime(morning, random));
            dog.measurements.append(m);
        }
    }
}

} // namespace

Herd demoHerd(QDate today, AnsiText::CodePage codePage, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const QStringList names = dogNames(codePage);
    Herd herd;
    for (int i = 0; i < dogCount; ++i) {
        HerdObject dog;
        dog.index = dogIndexes[i];
        dog.name = encodeName(names.at(i), codePage).value_or(QByteArray("Dog"));
        // The last dog has just arrived and has no readings yet.
        if (i != dogCount - 1) {
            std::uniform_int_distribution<int> firstStart(20, historyDays);
            const QDate firstCycle = today.addDays(-firstStart(random));
            addCycle(dog, firstCycle, today, random);
            if (firstCycle < today.addDays(-75))
                addCycle(dog, firstCycle.addDays(60), today, random);
        }
        herd.objects.append(dog);
    }

    // An instrument whose clock was set wrongly holds dates that do not
    // exist: 30 February and month 13.
    HerdMeasurement february30;
    february30.dateWord = packDate(today.year(), 2, 30);
    february30.timeWord = packTime(QTime(8, 30));
    february30.result = 412;
    february30.dataValue = 40000;
    herd.objects[1].measurements.insert(1, february30);
    HerdMeasurement month13 = february30;
    month13.dateWord = packDate(today.year(), 13, 5);
    month13.result = 377;
    herd.objects[4].measurements.append(month13);
    return herd;
}
