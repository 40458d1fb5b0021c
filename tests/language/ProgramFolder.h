#pragma once

#include <QString>
#include <QTemporaryDir>

// A program folder for the main window: a fresh database, a placeholder
// photo, the banners and, unless told otherwise, the program's language
// files. The database is looked at through isql while no window holds it.
class ProgramFolder
{
public:
    explicit ProgramFolder(bool withLanguageFiles = true);

    QString path() const { return dir_.path(); }
    QString stateFile() const { return dir_.filePath(QStringLiteral("ZorviQEV.cfp")); }
    void writeFile(const QString &fileName, const QByteArray &content) const;

    // Runs SQL statements on the database and commits them.
    void runSql(const QString &statements) const;

    // LANG of the configuration row; -1 when there is no row.
    int storedLanguagePosition() const;

private:
    QString databaseFile() const;

    QTemporaryDir dir_;
};
