#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

namespace store
{

struct QueryRows {
    QStringList fieldNames;
    QList<QVariantList> rows;
};

// Runs one statement with positional parameters ("?") in a transaction of
// its own. The driver starts the transaction for the statement and commits
// it when the statement ends, that is before these functions return: every
// change is committed at once, and no reader keeps a transaction open.
// Failures throw DatabaseError with `operation` and the engine's message.
class SqlStatement
{
public:
    static QueryRows select(const QSqlDatabase &database, const QString &sql, const QVariantList &parameters,
                            const QString &operation);

    // Returns the number of rows changed.
    static int execute(const QSqlDatabase &database, const QString &sql, const QVariantList &parameters,
                       const QString &operation);

    // For EXECUTE PROCEDURE: returns the output parameters, if any.
    static QVariantList executeProcedure(const QSqlDatabase &database, const QString &sql,
                                         const QVariantList &parameters, const QString &operation);
};

} // namespace store
