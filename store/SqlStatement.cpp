#include "SqlStatement.h"

#include "DatabaseError.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace store
{

namespace
{

// The query object must be destroyed before the caller goes on: the driver
// commits the statement's own transaction when it releases the statement.
void prepareAndRun(QSqlQuery &query, const QString &sql, const QVariantList &parameters,
                   const QString &operation)
{
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DatabaseError::fromSqlError(operation, query.lastError());
    for (const QVariant &parameter : parameters)
        query.addBindValue(parameter);
    if (!query.exec())
        throw DatabaseError::fromSqlError(operation, query.lastError());
}

QVariantList currentValues(const QSqlQuery &query, int count)
{
    QVariantList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i)
        values.append(query.value(i));
    return values;
}

} // namespace

QueryRows SqlStatement::select(const QSqlDatabase &database, const QString &sql,
                               const QVariantList &parameters, const QString &operation)
{
    QueryRows result;
    QSqlQuery query(database);
    prepareAndRun(query, sql, parameters, operation);
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        result.fieldNames.append(record.fieldName(i).toUpper());
    // A statement that returns values without a cursor (EXECUTE PROCEDURE,
    // INSERT ... RETURNING) has one row, which the driver would repeat
    // forever.
    static const QRegularExpression cursorStatement(QStringLiteral(R"(^\s*(select|with)\b)"),
                                                    QRegularExpression::CaseInsensitiveOption);
    const bool hasCursor = cursorStatement.match(sql).hasMatch();
    while (query.next()) {
        result.rows.append(currentValues(query, record.count()));
        if (!hasCursor)
            break;
    }
    if (query.lastError().isValid())
        throw DatabaseError::fromSqlError(operation, query.lastError());
    return result;
}

int SqlStatement::execute(const QSqlDatabase &database, const QString &sql, const QVariantList &parameters,
                          const QString &operation)
{
    QSqlQuery query(database);
    prepareAndRun(query, sql, parameters, operation);
    return query.numRowsAffected();
}

QVariantList SqlStatement::executeProcedure(const QSqlDatabase &database, const QString &sql,
                                            const QVariantList &parameters, const QString &operation)
{
    QSqlQuery query(database);
    prepareAndRun(query, sql, parameters, operation);
    const int outputs = query.record().count();
    if (outputs == 0 || !query.next())
        return {};
    return currentValues(query, outputs);
}

} // namespace store
