#pragma once

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

// A program folder for the main window, in a temporary folder whose path
// has blanks: a fresh database made from the schema script and the
// placeholder photo. Rows are added through a connection of the test's own,
// closed before the window opens the database.
class ProgramFolder
{
public:
    ProgramFolder();

    QString path() const;
    QString databaseFile() const;
    QString placeholderFile() const;
    QString stateFile() const;

    // Runs one statement on the database.
    void execute(const QString &sql, const QVariantList &params = {});
    // Stores an object of device 3 as an import does; returns its IDOB.
    int addObject(int slot, const QString &name);
    void addResult(int objectId, const QDateTime &when, double reading);
    // An integer read back from the database.
    int scalar(const QString &sql, const QVariantList &params = {});

private:
    QTemporaryDir m_root;
    QString m_folder;
};
