#pragma once

#include "Connection.h"

#include <QString>
#include <QTemporaryDir>

// A database made from the program's schema script in a temporary folder,
// opened through the data layer; removed when the fixture goes. Throws
// store::DatabaseError when the database cannot be made.
class TestDatabase
{
public:
    static constexpr const char *fileName = "ZRVbase.fb";

    TestDatabase();

    QString folder() const;
    QString filePath() const;
    store::Connection &connection();

    // Writes a fresh database file at path, as the build makes it. The schema
    // is run once per test process and copied from there.
    static void createFile(const QString &path);

    // Runs isql on a database file with SQL text as its input; returns what
    // isql printed. For tests that look at the database from another process.
    static QString runIsql(const QString &databaseFile, const QString &input);

private:
    QTemporaryDir dir_;
    store::Connection connection_;
};
