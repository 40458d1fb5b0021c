#include "ProgramPictures.h"

#include <QCoreApplication>
#include <QDir>

namespace
{

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

QString pictureFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("pictures"));
}

} // namespace

QPixmap programPicture(const QString &fileName)
{
    return QPixmap(QDir(pictureFolder()).filePath(fileName));
}

void setProgramPictureFolder(const QString &folder)
{
    overriddenFolder() = folder;
}
