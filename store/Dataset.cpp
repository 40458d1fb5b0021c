#include "Dataset.h"

#include "Connection.h"
#include "DatabaseError.h"
#include "NamedParameters.h"
#include "SqlStatement.h"

#include <QFile>
#include <QRegularExpression>

namespace store
{

namespace
{

// "select * from <table>" with nothing but a where and an order clause: the
// rows are rows of that one table, so they can be changed by its key.
const QRegularExpression singleTableSelect(
    QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z][A-Za-z0-9_$]*)((?:\s+(?:where|order)\b.*)?)$)"),
    QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);

// The column list that stands for "*": a blob column yields 1 when a value
// is stored and null otherwise, and the bytes stay in the database.
QString columnList(const TableInfo &table)
{
    QStringList columns;
    for (const ColumnInfo &column : table.columns) {
        columns.append(
            column.isBlob
                ? QStringLiteral("iif(%1 is null, cast(null as smallint), 1) as %1").arg(column.name)
                : column.name);
    }
    return columns.join(QStringLiteral(", "));
}

} // namespace

Dataset::Dataset(Connection &connection, QObject *parent) : QObject(parent), connection_(connection) {}

void Dataset::setSql(const QString &sql)
{
    close();
    sql_ = sql;
    tableSql_.clear();
    keyField_.clear();
}

QString Dataset::sql() const
{
    return sql_;
}

void Dataset::setParam(const QString &name, int value)
{
    params_.insert(name.toUpper(), value);
}

void Dataset::openTable(const QString &tableName, const QString &keyField)
{
    close();
    const std::optional<TableInfo> table = connection_.catalog().table(tableName);
    if (!table || !table->column(keyField))
        throw DatabaseError(QStringLiteral("%1: the database has no table %2 with a column %3.")
                                .arg(label(), tableName.toUpper(), keyField.toUpper()));
    sql_ = QStringLiteral("select * from %1 order by %2").arg(table->name, keyField.toUpper());
    tableSql_ = QStringLiteral("select %1 from %2 order by %3")
                    .arg(columnList(*table), table->name, keyField.toUpper());
    keyField_ = keyField.toUpper();
    table_ = table;
    open();
}

void Dataset::resolveTable()
{
    if (!tableSql_.isEmpty())
        return;
    table_.reset();
    keyField_.clear();
    const QRegularExpressionMatch match = singleTableSelect.match(sql_);
    if (!match.hasMatch())
        return;
    table_ = connection_.catalog().table(match.captured(1));
    if (!table_)
        return;
    keyField_ = table_->primaryKey;
}

QString Dataset::selectText() const
{
    if (!tableSql_.isEmpty())
        return tableSql_;
    const QRegularExpressionMatch match = singleTableSelect.match(sql_);
    if (table_ && !keyField_.isEmpty() && match.hasMatch())
        return QStringLiteral("select %1 from %2%3")
            .arg(columnList(*table_), table_->name, match.captured(2));
    return sql_;
}

QVariantList Dataset::parameterValues(const QStringList &names) const
{
    QVariantList values;
    for (const QString &name : names) {
        const auto found = params_.constFind(name);
        if (found == params_.cend())
            throw DatabaseError(QStringLiteral("%1: the parameter %2 has no value.").arg(label(), name));
        values.append(*found);
    }
    return values;
}

void Dataset::open()
{
    close();
    resolveTable();
    const NamedParameters statement = NamedParameters::parse(selectText());
    QueryRows result =
        SqlStatement::select(connection_.database(), statement.positionalSql,
                             parameterValues(statement.names), QStringLiteral("Opening %1").arg(label()));
    fieldNames_ = result.fieldNames;
    rows_ = std::move(result.rows);
    fieldIndexes_.clear();
    lazyBlob_.clear();
    const bool blobsLeftOut = selectText() != sql_;
    for (int i = 0; i < fieldNames_.size(); ++i) {
        fieldIndexes_.insert(fieldNames_.at(i), i);
        lazyBlob_.append(blobsLeftOut && isBlobField(fieldNames_.at(i)));
    }
    trimFixedLengthText();
    if (!keyField_.isEmpty() && !fieldIndexes_.contains(keyField_))
        keyField_.clear();
    active_ = true;
    current_ = rows_.isEmpty() ? -1 : 0;
    eof_ = rows_.isEmpty();
    emit afterScroll();
}

// The driver hands CHAR values over padded to the column's size in bytes,
// which in UTF-8 is four times its size in characters; the blanks are not
// part of the value.
void Dataset::trimFixedLengthText()
{
    if (!table_)
        return;
    for (int column = 0; column < fieldNames_.size(); ++column) {
        const ColumnInfo *info = table_->column(fieldNames_.at(column));
        if (!info || !info->isFixedLength)
            continue;
        for (QVariantList &row : rows_) {
            QVariant &cell = row[column];
            if (!cell.isNull()) {
                QString text = cell.toString();
                while (text.endsWith(u' '))
                    text.chop(1);
                cell = text;
            }
        }
    }
}

void Dataset::close()
{
    editing_ = false;
    changes_.clear();
    active_ = false;
    rows_.clear();
    current_ = -1;
    eof_ = true;
    blobCache_ = {};
}

bool Dataset::isActive() const
{
    return active_;
}

void Dataset::first()
{
    requireActive();
    postIfEditing();
    eof_ = rows_.isEmpty();
    if (!rows_.isEmpty())
        moveTo(0);
}

void Dataset::next()
{
    requireActive();
    postIfEditing();
    if (current_ + 1 < rows_.size())
        moveTo(current_ + 1);
    else
        eof_ = true;
}

bool Dataset::eof() const
{
    return eof_;
}

bool Dataset::isEmpty() const
{
    return rows_.isEmpty();
}

int Dataset::recordCount() const
{
    return static_cast<int>(rows_.size());
}

int Dataset::recNo() const
{
    return current_;
}

void Dataset::setRecNo(int row)
{
    requireActive();
    if (row < 0 || row >= rows_.size())
        throw DatabaseError(QStringLiteral("%1: there is no row %2 (the data set has %3 rows).")
                                .arg(label())
                                .arg(row)
                                .arg(rows_.size()));
    postIfEditing();
    eof_ = false;
    if (row != current_)
        moveTo(row);
}

bool Dataset::locate(const QString &field, int value)
{
    requireActive();
    const int column = fieldIndex(field);
    for (int row = 0; row < rows_.size(); ++row) {
        const QVariant &candidate = rows_.at(row).at(column);
        if (!candidate.isNull() && candidate.toInt() == value) {
            postIfEditing();
            eof_ = false;
            moveTo(row);
            return true;
        }
    }
    return false;
}

void Dataset::moveTo(int row)
{
    current_ = row;
    emit afterScroll();
}

QStringList Dataset::fieldNames() const
{
    return fieldNames_;
}

bool Dataset::hasField(const QString &field) const
{
    return fieldIndexes_.contains(field.toUpper());
}

bool Dataset::isBlobField(const QString &field) const
{
    const ColumnInfo *column = table_ ? table_->column(field) : nullptr;
    return column && column->isBlob;
}

bool Dataset::isNull(const QString &field) const
{
    requireActive();
    const int column = fieldIndex(field);
    if (current_ < 0)
        return true;
    const auto changed = changes_.constFind(column);
    if (changed != changes_.cend())
        return changed->isNull();
    return rows_.at(current_).at(column).isNull();
}

QVariant Dataset::value(const QString &field) const
{
    requireActive();
    const int column = fieldIndex(field);
    if (current_ < 0)
        return {};
    const auto changed = changes_.constFind(column);
    if (changed != changes_.cend())
        return *changed;
    const QVariant &stored = rows_.at(current_).at(column);
    if (lazyBlob_.at(column) && !stored.isNull())
        return readBlob(column);
    return stored;
}

int Dataset::asInteger(const QString &field) const
{
    return value(field).toInt();
}

QString Dataset::asString(const QString &field) const
{
    return value(field).toString();
}

QDateTime Dataset::asDateTime(const QString &field) const
{
    return value(field).toDateTime();
}

QByteArray Dataset::blob(const QString &field) const
{
    return value(field).toByteArray();
}

QVariant Dataset::valueAt(int row, const QString &field) const
{
    requireActive();
    const int column = fieldIndex(field);
    if (row < 0 || row >= rows_.size())
        return {};
    QVariant cell = rows_.at(row).at(column);
    if (row == current_)
        cell = changes_.value(column, cell);
    if (lazyBlob_.at(column))
        return cell.isNull() ? QVariant() : QVariant(true);
    return cell;
}

QByteArray Dataset::readBlob(int column) const
{
    const QVariant key = keyValue();
    if (blobCache_.column == column && blobCache_.key == key)
        return blobCache_.bytes;
    const QString sql =
        QStringLiteral("select %1 from %2 where %3 = ?").arg(fieldNames_.at(column), table_->name, keyField_);
    const QueryRows result =
        SqlStatement::select(connection_.database(), sql, {key},
                             QStringLiteral("Reading %1 of %2").arg(fieldNames_.at(column), label()));
    const QByteArray bytes = result.rows.isEmpty() ? QByteArray() : result.rows.first().first().toByteArray();
    blobCache_ = {key, column, bytes};
    return bytes;
}

void Dataset::edit()
{
    requireRow();
    requireUpdatable();
    editing_ = true;
}

bool Dataset::isEditing() const
{
    return editing_;
}

void Dataset::setValue(const QString &field, const QVariant &value)
{
    if (!editing_)
        throw DatabaseError(QStringLiteral("%1: the row is not being edited.").arg(label()));
    const int column = fieldIndex(field);
    if (const ColumnInfo *info = table_->column(fieldNames_.at(column)))
        info->checkFits(value, QStringLiteral("%1 (%2)").arg(table_->name, label()));
    changes_.insert(column, value);
}

void Dataset::loadBlobFromFile(const QString &field, const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        throw DatabaseError(
            QStringLiteral("Cannot read the file \"%1\": %2").arg(filePath, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DatabaseError(
            QStringLiteral("Cannot read the file \"%1\": %2").arg(filePath, file.errorString()));
    setValue(field, bytes);
}

void Dataset::post()
{
    if (!editing_)
        return;
    if (!changes_.isEmpty()) {
        QStringList assignments;
        QVariantList values;
        for (auto it = changes_.cbegin(); it != changes_.cend(); ++it) {
            assignments.append(fieldNames_.at(it.key()) + QStringLiteral(" = ?"));
            values.append(it.value());
        }
        values.append(keyValue());
        const QString sql = QStringLiteral("update %1 set %2 where %3 = ?")
                                .arg(table_->name, assignments.join(QStringLiteral(", ")), keyField_);
        const int changed = SqlStatement::execute(connection_.database(), sql, values,
                                                  QStringLiteral("Saving the row of %1").arg(label()));
        if (changed == 0)
            throw DatabaseError(
                QStringLiteral("%1: the row was deleted meanwhile; nothing was saved.").arg(label()));
        QVariantList &row = rows_[current_];
        for (auto it = changes_.cbegin(); it != changes_.cend(); ++it) {
            const bool lazy = lazyBlob_.at(it.key());
            row[it.key()] = lazy ? (it.value().isNull() ? QVariant() : QVariant(1)) : it.value();
        }
        blobCache_ = {};
    }
    cancel();
}

void Dataset::cancel()
{
    editing_ = false;
    changes_.clear();
}

void Dataset::deleteRecord()
{
    requireRow();
    requireUpdatable();
    cancel();
    const QString sql = QStringLiteral("delete from %1 where %2 = ?").arg(table_->name, keyField_);
    SqlStatement::execute(connection_.database(), sql, {keyValue()},
                          QStringLiteral("Deleting the row of %1").arg(label()));
    rows_.removeAt(current_);
    blobCache_ = {};
    if (rows_.isEmpty())
        eof_ = true;
    moveTo(std::min(current_, static_cast<int>(rows_.size()) - 1));
}

QString Dataset::label() const
{
    return objectName().isEmpty() ? QStringLiteral("the data set") : objectName();
}

void Dataset::requireActive() const
{
    if (!active_)
        throw DatabaseError(QStringLiteral("%1 is not open.").arg(label()));
}

void Dataset::requireRow() const
{
    requireActive();
    if (current_ < 0)
        throw DatabaseError(QStringLiteral("%1 has no current row.").arg(label()));
}

void Dataset::requireUpdatable() const
{
    if (!table_ || keyField_.isEmpty())
        throw DatabaseError(
            QStringLiteral("%1 cannot be changed: its rows do not come from one table with a key.")
                .arg(label()));
}

int Dataset::fieldIndex(const QString &field) const
{
    const auto found = fieldIndexes_.constFind(field.toUpper());
    if (found == fieldIndexes_.cend())
        throw DatabaseError(QStringLiteral("%1 has no field %2.").arg(label(), field));
    return *found;
}

void Dataset::postIfEditing()
{
    if (editing_)
        post();
}

QVariant Dataset::keyValue() const
{
    return rows_.at(current_).at(fieldIndex(keyField_));
}

} // namespace store
