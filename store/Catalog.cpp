#include "Catalog.h"

#include "DatabaseError.h"
#include "SqlStatement.h"

namespace store
{

namespace
{

constexpr int blobFieldType = 261;
constexpr int charFieldType = 14;

const QString columnsSql =
    QStringLiteral("select trim(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, f.RDB$CHARACTER_LENGTH "
                   "from RDB$RELATION_FIELDS rf "
                   "join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
                   "where rf.RDB$RELATION_NAME = ? "
                   "order by rf.RDB$FIELD_POSITION");

const QString primaryKeySql =
    QStringLiteral("select trim(s.RDB$FIELD_NAME) "
                   "from RDB$RELATION_CONSTRAINTS c "
                   "join RDB$INDEX_SEGMENTS s on s.RDB$INDEX_NAME = c.RDB$INDEX_NAME "
                   "where c.RDB$RELATION_NAME = ? and c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY'");

const QString parametersSql =
    QStringLiteral("select trim(p.RDB$PARAMETER_NAME), p.RDB$PARAMETER_TYPE, f.RDB$FIELD_TYPE, "
                   "f.RDB$CHARACTER_LENGTH "
                   "from RDB$PROCEDURE_PARAMETERS p "
                   "join RDB$FIELDS f on f.RDB$FIELD_NAME = p.RDB$FIELD_SOURCE "
                   "where p.RDB$PROCEDURE_NAME = ? and p.RDB$PACKAGE_NAME is null "
                   "order by p.RDB$PARAMETER_TYPE, p.RDB$PARAMETER_NUMBER");

const QString procedureExistsSql = QStringLiteral("select 1 from RDB$PROCEDURES where RDB$PROCEDURE_NAME = ? "
                                                  "and RDB$PACKAGE_NAME is null");

ColumnInfo columnFrom(const QVariantList &row, int typeIndex)
{
    ColumnInfo column;
    column.name = row.at(0).toString();
    column.isBlob = row.at(typeIndex).toInt() == blobFieldType;
    column.isFixedLength = row.at(typeIndex).toInt() == charFieldType;
    column.characterLength = row.at(typeIndex + 1).toInt();
    return column;
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        if (!it->isLowSurrogate())
            ++count;
    }
    return count;
}

} // namespace

void ColumnInfo::checkFits(const QVariant &value, const QString &owner) const
{
    if (characterLength <= 0 || value.isNull() || value.typeId() != QMetaType::QString)
        return;
    const qsizetype length = characterCount(value.toString());
    if (length > characterLength)
        throw DatabaseError(QStringLiteral("The text for %1 of %2 is %3 characters long; it may "
                                           "have at most %4 characters. Nothing was saved.")
                                .arg(name, owner)
                                .arg(length)
                                .arg(characterLength));
}

const ColumnInfo *TableInfo::column(const QString &columnName) const
{
    for (const ColumnInfo &candidate : columns) {
        if (candidate.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &candidate;
    }
    return nullptr;
}

Catalog::Catalog(const QString &connectionName) : connectionName_(connectionName) {}

std::optional<TableInfo> Catalog::table(const QString &tableName)
{
    const QString key = tableName.toUpper();
    auto found = tables_.find(key);
    if (found == tables_.end()) {
        TableInfo info = readTable(key);
        if (info.columns.isEmpty())
            return std::nullopt;
        found = tables_.insert(key, info);
    }
    return *found;
}

ProcedureInfo Catalog::procedure(const QString &procedureName)
{
    const QString key = procedureName.toUpper();
    auto found = procedures_.find(key);
    if (found == procedures_.end())
        found = procedures_.insert(key, readProcedure(key));
    return *found;
}

TableInfo Catalog::readTable(const QString &tableName)
{
    const QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const QString operation = QStringLiteral("Reading the columns of table %1").arg(tableName);
    TableInfo info;
    info.name = tableName;
    for (const QVariantList &row : SqlStatement::select(database, columnsSql, {tableName}, operation).rows)
        info.columns.append(columnFrom(row, 1));
    const QueryRows key = SqlStatement::select(database, primaryKeySql, {tableName}, operation);
    if (key.rows.size() == 1)
        info.primaryKey = key.rows.first().first().toString();
    return info;
}

ProcedureInfo Catalog::readProcedure(const QString &procedureName)
{
    const QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
    const QString operation = QStringLiteral("Reading the parameters of procedure %1").arg(procedureName);
    if (SqlStatement::select(database, procedureExistsSql, {procedureName}, operation).rows.isEmpty())
        throw DatabaseError(
            QStringLiteral("The database has no procedure %1. The database file may be damaged "
                           "or belong to another program.")
                .arg(procedureName));
    ProcedureInfo info;
    info.name = procedureName;
    for (const QVariantList &row :
         SqlStatement::select(database, parametersSql, {procedureName}, operation).rows) {
        const bool isOutput = row.at(1).toInt() == 1;
        (isOutput ? info.outputs : info.inputs).append(columnFrom(row, 2));
    }
    return info;
}

} // namespace store
