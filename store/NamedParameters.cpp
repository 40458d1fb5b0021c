#include "NamedParameters.h"

namespace store
{

namespace
{

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Returns the index just past the quoted text or comment that starts at i,
// or i when none starts there.
qsizetype skipLiteral(const QString &sql, qsizetype i)
{
    const QChar c = sql.at(i);
    if (c == u'\'' || c == u'"') {
        // A doubled quote inside the text is an escaped quote: the loop simply
        // reopens the literal on it.
        const qsizetype close = sql.indexOf(c, i + 1);
        return close < 0 ? sql.size() : close + 1;
    }
    if (sql.mid(i, 2) == QLatin1String("--")) {
        const qsizetype end = sql.indexOf(u'\n', i);
        return end < 0 ? sql.size() : end + 1;
    }
    if (sql.mid(i, 2) == QLatin1String("/*")) {
        const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
        return end < 0 ? sql.size() : end + 2;
    }
    return i;
}

} // namespace

NamedParameters NamedParameters::parse(const QString &sql)
{
    NamedParameters result;
    qsizetype i = 0;
    while (i < sql.size()) {
        const qsizetype afterLiteral = skipLiteral(sql, i);
        if (afterLiteral != i) {
            result.positionalSql += QStringView(sql).sliced(i, afterLiteral - i);
            i = afterLiteral;
            continue;
        }
        if (sql.at(i) == u':' && i + 1 < sql.size() && isNameCharacter(sql.at(i + 1))) {
            qsizetype end = i + 1;
            while (end < sql.size() && isNameCharacter(sql.at(end)))
                ++end;
            result.names.append(sql.mid(i + 1, end - i - 1).toUpper());
            result.positionalSql += u'?';
            i = end;
            continue;
        }
        result.positionalSql += sql.at(i);
        ++i;
    }
    return result;
}

} // namespace store
