#include "TestDatabase.h"

#include "DatabaseError.h"
#include "EmbeddedEngine.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace
{

QString runIsqlProcess(const QStringList &arguments, const QString &input)
{
    store::EmbeddedEngine::prepare();
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral(QEV_ISQL), arguments);
    if (!isql.waitForStarted())
        throw store::DatabaseError(QStringLiteral("Cannot start %1").arg(QStringLiteral(QEV_ISQL)));
    isql.write(input.toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000))
        throw store::DatabaseError(QStringLiteral("isql did not finish"));
    const QString output = QString::fromUtf8(isql.readAll());
    if (isql.exitStatus() != QProcess::NormalExit || isql.exitCode() != 0)
        throw store::DatabaseError(QStringLiteral("isql failed: %1").arg(output));
    return output;
}

QString sqlQuoted(const QString &text)
{
    return QStringLiteral("'%1'").arg(QString(text).replace(u'\'', QStringLiteral("''")));
}

QString makeTemplate(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("template.fb"));
    const QString script =
        QStringLiteral("CREATE DATABASE %1 USER 'SYSDBA' PASSWORD 'quillbird' PAGE_SIZE 16384 "
                       "DEFAULT CHARACTER SET UTF8;\nINPUT %2;\n")
            .arg(sqlQuoted(path), sqlQuoted(QStringLiteral(QEV_SCHEMA_SCRIPT)));
    runIsqlProcess({QStringLiteral("-q"), QStringLiteral("-b")}, script);
    return path;
}

const QString &templateFile()
{
    static const QTemporaryDir dir;
    static const QString path = makeTemplate(dir);
    return path;
}

} // namespace

TestDatabase::TestDatabase()
{
    if (!dir_.isValid())
        throw store::DatabaseError(QStringLiteral("Cannot make a temporary folder"));
    createFile(filePath());
    connection_.open(filePath());
}

QString TestDatabase::folder() const
{
    return dir_.path();
}

QString TestDatabase::filePath() const
{
    return dir_.filePath(QString::fromLatin1(fileName));
}

store::Connection &TestDatabase::connection()
{
    return connection_;
}

void TestDatabase::createFile(const QString &path)
{
    QFile::remove(path);
    if (!QFile::copy(templateFile(), path))
        throw store::DatabaseError(QStringLiteral("Cannot copy the template database to %1").arg(path));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString TestDatabase::runIsql(const QString &databaseFile, const QString &input)
{
    return runIsqlProcess({QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-ch"),
                           QStringLiteral("UTF8"), QStringLiteral("-user"), QStringLiteral("sysdba"),
                           QStringLiteral("-password"), QStringLiteral("quillbird"), databaseFile},
                          input);
}
