#include "EmbeddedEngine.h"

#include "DatabaseError.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace store
{

namespace
{

QString baseFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return QDir::tempPath();
}

// A folder in a shared place such as /tmp could have been made by someone
// else, or be a link to somewhere else: refuse it rather than put the
// engine's lock files where another user controls them.
void checkPrivate(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || !info.isDir() || info.ownerId() != ::getuid() || !info.isWritable())
        throw DatabaseError(
            QStringLiteral("The folder \"%1\" for the database engine's lock files is not a "
                           "writable folder of the current user. Remove it and start the program again.")
                .arg(path));
}

} // namespace

QString EmbeddedEngine::folder()
{
    return QDir(baseFolder()).filePath(QStringLiteral("qev-firebird-%1").arg(::getuid()));
}

void EmbeddedEngine::prepare()
{
    const QString path = folder();
    if (!QFileInfo::exists(path)) {
        QDir().mkdir(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    checkPrivate(path);
    const QByteArray nativePath = QFile::encodeName(path);
    qputenv("FIREBIRD_LOCK", nativePath);
    qputenv("FIREBIRD_TMP", nativePath);
}

} // namespace store
