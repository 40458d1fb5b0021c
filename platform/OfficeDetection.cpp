#include "OfficeDetection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

namespace platform
{

namespace
{

// The keys of the [Desktop Entry] group that decide whether an entry is an
// installed application and what it opens.
struct DesktopEntry {
    QString type;
    bool hidden = false;
    QString tryExec;
    QStringList mimeTypes;
};

DesktopEntry readDesktopEntry(const QString &path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    QTextStream in(&file);
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inMainGroup || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("Type"))
            entry.type = value;
        else if (key == QLatin1String("Hidden"))
            entry.hidden = value == QLatin1String("true");
        else if (key == QLatin1String("TryExec"))
            entry.tryExec = value;
        else if (key == QLatin1String("MimeType"))
            entry.mimeTypes = value.split(u';', Qt::SkipEmptyParts);
    }
    return entry;
}

bool programExists(const QString &program)
{
    if (QDir::isAbsolutePath(program))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// An entry that is hidden, is no application, or names a program that is
// not installed opens nothing.
bool opens(const DesktopEntry &entry, const QString &mimeType)
{
    if (entry.hidden || entry.type != QLatin1String("Application"))
        return false;
    if (!entry.mimeTypes.contains(mimeType))
        return false;
    return entry.tryExec.isEmpty() || programExists(entry.tryExec);
}

// The desktop-file ID: the path below the applications folder with every
// separator turned into '-'. An ID found in an earlier folder masks the
// same ID in later ones, which is how a user hides a system entry.
QString desktopFileId(const QDir &folder, const QString &path)
{
    return folder.relativeFilePath(path).replace(u'/', u'-');
}

QString mimeTypeOfKey(const QString &key)
{
    if (key == QLatin1String("soffice.StarCalcDocument\\CurVer"))
        return QStringLiteral("application/vnd.oasis.opendocument.spreadsheet");
    if (key == QLatin1String("Excel.Application\\CurVer"))
        return QStringLiteral("application/vnd.ms-excel");
    return {};
}

} // namespace

OfficeDetection::OfficeDetection(QStringList applicationFolders)
    : m_applicationFolders(std::move(applicationFolders))
{
}

OfficeDetection OfficeDetection::fromEnvironment()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");

    QStringList folders{dataHome + QStringLiteral("/applications")};
    for (const QString &dir : dataDirs.split(u':', Qt::SkipEmptyParts))
        folders.append(dir + QStringLiteral("/applications"));
    return OfficeDetection(folders);
}

bool OfficeDetection::classesRootKeyExists(const QString &key) const
{
    const QString mimeType = mimeTypeOfKey(key);
    return !mimeType.isEmpty() && anyApplicationOpens(mimeType);
}

bool OfficeDetection::anyApplicationOpens(const QString &mimeType) const
{
    QSet<QString> seenIds;
    for (const QString &folderPath : m_applicationFolders) {
        const QDir folder(folderPath);
        QDirIterator it(folderPath, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString id = desktopFileId(folder, path);
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            if (opens(readDesktopEntry(path), mimeType))
                return true;
        }
    }
    return false;
}

} // namespace platform
