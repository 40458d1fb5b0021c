#include "ProgramFolder.h"

#include "Connection.h"
#include "SqlStatement.h"
#include "StoredProcedure.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>

ProgramFolder::ProgramFolder() : m_folder(m_root.path() + QStringLiteral("/QEV Data program folder/"))
{
    QDir().mkpath(m_folder);
    TestDatabase::createFile(databaseFile());
    QFile::copy(QStringLiteral(QEV_RESOURCES_DIR "/Puste.jpg"), placeholderFile());
}

QString ProgramFolder::path() const
{
    return m_folder;
}

QString ProgramFolder::databaseFile() const
{
    return m_folder + QStringLiteral("ZRVbase.fb");
}

QString ProgramFolder::placeholderFile() const
{
    return m_folder + QStringLiteral("Puste.jpg");
}

QString ProgramFolder::stateFile() const
{
    return m_root.path() + QStringLiteral("/user data/ZorviQEV.cfp");
}

void ProgramFolder::execute(const QString &sql, const QVariantList &params)
{
    store::Connection connection;
    connection.open(databaseFile());
    store::SqlStatement::execute(connection.database(), sql, params, QStringLiteral("test set-up"));
}

int ProgramFolder::scalar(const QString &sql, const QVariantList &params)
{
    store::Connection connection;
    connection.open(databaseFile());
    const auto result =
        store::SqlStatement::select(connection.database(), sql, params, QStringLiteral("test"));
    return result.rows.isEmpty() ? -1 : result.rows.first().first().toInt();
}

int ProgramFolder::addObject(int slot, const QString &name)
{
    store::Connection connection;
    connection.open(databaseFile());
    store::StoredProcedure procedure(connection, QStringLiteral("P_UPDATEOBIEKT_TEMP"));
    const QVariantList inputs{3, slot, name, QString(), QString(), 0};
    for (int i = 0; i < inputs.size(); ++i)
        procedure.setParam(i + 1, inputs.at(i));
    procedure.execute();
    return procedure.outputInteger(7);
}

void ProgramFolder::addResult(int objectId, const QDateTime &when, double reading)
{
    store::Connection connection;
    connection.open(databaseFile());
    store::StoredProcedure procedure(connection, QStringLiteral("P_WYNIKI_UI"));
    const QVariantList inputs{objectId, when, 0.0, reading, 0, 0, 0, QString()};
    for (int i = 0; i < inputs.size(); ++i)
        procedure.setParam(i + 1, inputs.at(i));
    procedure.execute();
}
