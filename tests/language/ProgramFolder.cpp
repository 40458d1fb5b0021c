#include "ProgramFolder.h"

#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

ProgramFolder::ProgramFolder(bool withLanguageFiles)
{
    TestDatabase::createFile(databaseFile());
    QImage placeholder(8, 8, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    placeholder.save(dir_.filePath(QStringLiteral("Puste.jpg")), "JPEG");

    const QDir resources(QStringLiteral(QEV_RESOURCES_DIR));
    QDir(dir_.path()).mkpath(QStringLiteral("pictures"));
    const QDir pictures(resources.filePath(QStringLiteral("pictures")));
    for (const QString &banner : pictures.entryList({QStringLiteral("banner_*.png")}))
        QFile::copy(pictures.filePath(banner), dir_.filePath(QStringLiteral("pictures/") + banner));
    if (withLanguageFiles) {
        for (const QString &file : resources.entryList({QStringLiteral("*.lng")}))
            QFile::copy(resources.filePath(file), dir_.filePath(file));
    }
}

void ProgramFolder::writeFile(const QString &fileName, const QByteArray &content) const
{
    QFile file(dir_.filePath(fileName));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QString ProgramFolder::databaseFile() const
{
    return dir_.filePath(QLatin1String(TestDatabase::fileName));
}

void ProgramFolder::runSql(const QString &statements) const
{
    TestDatabase::runIsql(databaseFile(), statements + QStringLiteral("\ncommit;\n"));
}

int ProgramFolder::storedLanguagePosition() const
{
    const QString output = TestDatabase::runIsql(
        databaseFile(), QStringLiteral("set list on;\nselect LANG from KONFIGURACJA;\n"));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("LANG\\s+(-?\\d+)")).match(output);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}
