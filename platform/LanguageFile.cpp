#include "LanguageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace platform
{

namespace
{

constexpr int FlagSize = 16;

QString unescape(QStringView value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case u'n':
            text += u'\n';
            break;
        case u'r':
            text += u'\r';
            break;
        case u't':
            text += u'\t';
            break;
        default: // "\\" and any other escaped character stand for themselves
            text += next;
        }
    }
    return text;
}

QImage decodeFlag(QStringView base64)
{
    QImage image;
    image.loadFromData(QByteArray::fromBase64(base64.toLatin1()), "PNG");
    if (image.isNull())
        return image;
    if (image.size() != QSize(FlagSize, FlagSize))
        image = image.scaled(FlagSize, FlagSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage blankFlag()
{
    QImage image(FlagSize, FlagSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Reads the lines after the signature into the language.
class Parser
{
public:
    Parser(const QString &fileName, LanguageFileResult &result) : fileName_(fileName), result_(result) {}

    void line(int number, QStringView text)
    {
        if (text.trimmed().isEmpty() || text.startsWith(u'#'))
            return;
        if (text.startsWith(u'[')) {
            section(number, text.trimmed());
            return;
        }
        if (skipping_)
            return;
        const qsizetype equals = text.indexOf(u'=');
        if (equals <= 0) {
            warn(number, QStringLiteral("no \"key=text\""));
            return;
        }
        const QString key = text.left(equals).trimmed().toString();
        const QString value = unescape(text.mid(equals + 1));
        if (section_.isNull())
            header(number, key, value);
        else
            language_.sections[section_].insert(key, value);
    }

    void finish()
    {
        if (language_.isoCode.isEmpty() || language_.name.isEmpty()) {
            result_.warnings << QStringLiteral("%1: no language code or name; file ignored").arg(fileName_);
            return;
        }
        if (language_.flag.isNull())
            language_.flag = blankFlag();
        result_.language = std::move(language_);
    }

private:
    void section(int number, QStringView text)
    {
        if (!text.endsWith(u']') || text.size() < 3) {
            warn(number, QStringLiteral("malformed section heading; its lines are ignored"));
            skipping_ = true;
            return;
        }
        skipping_ = false;
        section_ = text.mid(1, text.size() - 2).trimmed().toString();
    }

    void header(int number, const QString &key, const QString &value)
    {
        if (key == u"code")
            language_.isoCode = value.trimmed();
        else if (key == u"name")
            language_.name = value.trimmed();
        else if (key == u"flag") {
            language_.flag = decodeFlag(value.trimmed());
            if (language_.flag.isNull())
                warn(number, QStringLiteral("flag is not a PNG picture"));
        } else
            warn(number, QStringLiteral("unknown header key \"%1\"").arg(key));
    }

    void warn(int number, const QString &what)
    {
        result_.warnings << QStringLiteral("%1:%2: %3").arg(fileName_).arg(number).arg(what);
    }

    QString fileName_;
    LanguageFileResult &result_;
    Language language_;
    QString section_; // null before the first heading: the header lines
    bool skipping_ = false;
};

} // namespace

LanguageFileResult parseLanguageFile(const QByteArray &content, const QString &fileName)
{
    LanguageFileResult result;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(content);
    if (decoder.hasError()) {
        result.warnings << QStringLiteral("%1: not UTF-8 text; file ignored").arg(fileName);
        return result;
    }
    const QStringList lines = text.split(u'\n');
    const QString signature = lines.first().trimmed();
    if (signature != QLatin1String(LanguageEngine::FileSignature)) {
        result.warnings << QStringLiteral("%1: no \"%2\" signature; file ignored")
                               .arg(fileName, QLatin1String(LanguageEngine::FileSignature));
        return result;
    }
    Parser parser(fileName, result);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        parser.line(int(i + 1), line);
    }
    parser.finish();
    if (result.language)
        result.language->fileName = fileName;
    return result;
}

LanguageFileResult readLanguageFile(const QString &path)
{
    const QString fileName = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        LanguageFileResult result;
        result.warnings << QStringLiteral("%1: %2; file ignored").arg(fileName, file.errorString());
        return result;
    }
    return parseLanguageFile(file.readAll(), fileName);
}

QString escapeLanguageValue(const QString &text)
{
    QString value;
    value.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            value += QStringLiteral("\\\\");
            break;
        case u'\n':
            value += QStringLiteral("\\n");
            break;
        case u'\r':
            value += QStringLiteral("\\r");
            break;
        case u'\t':
            value += QStringLiteral("\\t");
            break;
        default:
            value += c;
        }
    }
    return value;
}

} // namespace platform
