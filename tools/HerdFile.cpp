#include "HerdFile.h"

#include <QFile>
#include <QSet>
#include <QStringList>

namespace
{

std::optional<long long> parseNumber(const QString &text)
{
    bool ok = false;
    const long long value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                ? text.mid(2).toLongLong(&ok, 16)
                                : text.toLongLong(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

class HerdParser
{
public:
    explicit HerdParser(AnsiText::CodePage codePage) : codePage_(codePage) {}

    // An empty text when the line is fine, else what is wrong with it.
    QString parseLine(const QString &line)
    {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            return {};
        const QString keyword = trimmed.section(u' ', 0, 0);
        const QString rest = trimmed.section(u' ', 1).trimmed();
        if (keyword == QLatin1String("object"))
            return parseObject(rest);
        if (keyword == QLatin1String("measurement") || keyword == QLatin1String("raw"))
            return parseMeasurement(keyword == QLatin1String("raw"), rest.split(u' ', Qt::SkipEmptyParts));
        return QStringLiteral("unknown item \"%1\"").arg(keyword);
    }

    Herd herd;

private:
    QString parseObject(const QString &rest)
    {
        const auto index = parseNumber(rest.section(u' ', 0, 0));
        const QString name = rest.section(u' ', 1).trimmed();
        if (!index || *index < 0 || *index > 255)
            return QStringLiteral("an object needs an index from 0 to 255");
        if (indexes_.contains(int(*index)))
            return QStringLiteral("index %1 is used twice").arg(*index);
        const auto encoded = encodeName(name, codePage_);
        if (!encoded)
            return QStringLiteral("the name \"%1\" is longer than 20 characters or has a character the code "
                                  "page lacks")
                .arg(name);
        indexes_.insert(int(*index));
        herd.objects.append({static_cast<std::uint8_t>(*index), *encoded, {}});
        return {};
    }

    QString parseMeasurement(bool raw, const QStringList &fields)
    {
        if (herd.objects.isEmpty())
            return QStringLiteral("a measurement needs an object above it");
        if (fields.size() < 3 || fields.size() > 4)
            return QStringLiteral("a measurement has a date, a time, a result and maybe a data value");
        HerdMeasurement m;
        if (raw) {
            const auto date = parseNumber(fields[0]);
            const auto time = parseNumber(fields[1]);
            if (!date || !time || *date < 0 || *date > 0xFFFF || *time < 0 || *time > 0xFFFF)
                return QStringLiteral("raw date and time words are numbers from 0 to 65535");
            m.dateWord = static_cast<std::uint16_t>(*date);
            m.timeWord = static_cast<std::uint16_t>(*time);
        } else {
            const QDate date = QDate::fromString(fields[0], Qt::ISODate);
            const QTime time = QTime::fromString(fields[1], QStringLiteral("HH:mm:ss"));
            if (!date.isValid() || date.year() < HerdFirstYear || date.year() > HerdLastYear)
                return QStringLiteral("the date must be yyyy-MM-dd between 1999 and 2126");
            if (!time.isValid())
                return QStringLiteral("the time must be hh:mm:ss");
            m.dateWord = packDate(date);
            m.timeWord = packTime(time);
        }
        const auto result = parseNumber(fields[2]);
        if (!result || *result < -32768 || *result > 32767)
            return QStringLiteral("the result must lie between -32768 and 32767");
        m.result = static_cast<std::int16_t>(*result);
        if (fields.size() == 4) {
            const auto data = parseNumber(fields[3]);
            if (!data || *data < 0 || *data > 0xFFFFFF)
                return QStringLiteral("the data value must lie between 0 and 16777215");
            m.dataValue = static_cast<std::uint32_t>(*data);
        }
        herd.objects.last().measurements.append(m);
        return {};
    }

    AnsiText::CodePage codePage_;
    QSet<int> indexes_;
};

} // namespace

HerdFileResult parseHerd(const QByteArray &text, AnsiText::CodePage codePage)
{
    HerdParser parser(codePage);
    const QStringList lines = QString::fromUtf8(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString error = parser.parseLine(lines[i]);
        if (!error.isEmpty())
            return {std::nullopt, QStringLiteral("line %1: %2").arg(i + 1).arg(error)};
    }
    return {std::move(parser.herd), {}};
}

HerdFileResult readHerdFile(const QString &path, AnsiText::CodePage codePage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("cannot read %1: %2").arg(path, file.errorString())};
    return parseHerd(file.readAll(), codePage);
}
