#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <optional>

namespace store
{

// A column of a table or a parameter of a procedure, as the database
// declares it.
struct ColumnInfo {
    QString name;
    bool isBlob = false;
    bool isFixedLength = false; // CHAR: the engine pads the value with blanks
    int characterLength = 0;    // 0 for columns that do not hold text

    // Throws DatabaseError when value is text longer than the column, counted
    // in characters as the engine counts them. The driver would otherwise cut
    // it silently, possibly in the middle of a character.
    void checkFits(const QVariant &value, const QString &owner) const;
};

struct TableInfo {
    QString name;
    QList<ColumnInfo> columns;
    QString primaryKey; // empty unless the key is a single column

    const ColumnInfo *column(const QString &columnName) const;
};

struct ProcedureInfo {
    QString name;
    QList<ColumnInfo> inputs;
    QList<ColumnInfo> outputs;
};

// What the data layer needs to know of the database's own tables and
// procedures, read from the system tables once per connection.
class Catalog
{
public:
    explicit Catalog(const QString &connectionName);

    // Nothing when the database has no such table; the caller then lets the
    // engine report the error on the statement itself.
    std::optional<TableInfo> table(const QString &tableName);
    ProcedureInfo procedure(const QString &procedureName);

private:
    TableInfo readTable(const QString &tableName);
    ProcedureInfo readProcedure(const QString &procedureName);

    QString connectionName_;
    QHash<QString, TableInfo> tables_;
    QHash<QString, ProcedureInfo> procedures_;
};

} // namespace store
