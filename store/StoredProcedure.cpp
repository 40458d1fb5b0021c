#include "StoredProcedure.h"

#include "Connection.h"
#include "DatabaseError.h"
#include "SqlStatement.h"

#include <QSqlError>

namespace store
{

StoredProcedure::StoredProcedure(Connection &connection, const QString &name)
    : connection_(connection), name_(name.toUpper())
{
}

QString StoredProcedure::name() const
{
    return name_;
}

const ProcedureInfo &StoredProcedure::info()
{
    if (!info_) {
        info_ = connection_.catalog().procedure(name_);
        inputs_ = QVariantList(info_->inputs.size());
        QStringList placeholders(info_->inputs.size(), QStringLiteral("?"));
        callSql_ = QStringLiteral("execute procedure %1").arg(name_);
        if (!placeholders.isEmpty())
            callSql_ += QStringLiteral(" (%1)").arg(placeholders.join(QStringLiteral(", ")));
    }
    return *info_;
}

const ColumnInfo &StoredProcedure::inputAt(int position)
{
    const auto &inputs = info().inputs;
    if (position < 1 || position > inputs.size())
        throw DatabaseError(
            QStringLiteral("Procedure %1 has no input parameter at position %2.").arg(name_).arg(position));
    return inputs.at(position - 1);
}

void StoredProcedure::setParam(int position, const QVariant &value)
{
    inputAt(position).checkFits(value, QStringLiteral("procedure %1").arg(name_));
    inputs_[position - 1] = value;
}

void StoredProcedure::execute()
{
    info();
    const quint64 transactionId = connection_.transactionId();
    if (transactionId != 0) {
        executePrepared(transactionId);
        return;
    }
    prepared_.reset();
    outputs_ = SqlStatement::executeProcedure(connection_.database(), callSql_, inputs_, operation());
}

// A statement prepared in a transaction is tied to it, so it is prepared
// again in each new one.
void StoredProcedure::executePrepared(quint64 transactionId)
{
    if (!prepared_ || preparedIn_ != transactionId) {
        prepared_.emplace(connection_.database());
        if (!prepared_->prepare(callSql_)) {
            const QSqlError error = prepared_->lastError();
            prepared_.reset();
            throw DatabaseError::fromSqlError(operation(), error);
        }
        preparedIn_ = transactionId;
    }
    for (int i = 0; i < inputs_.size(); ++i)
        prepared_->bindValue(i, inputs_.at(i));
    outputs_.clear();
    if (!prepared_->exec())
        throw DatabaseError::fromSqlError(operation(), prepared_->lastError());
    const int outputs = static_cast<int>(info_->outputs.size());
    if (outputs > 0 && prepared_->next()) {
        for (int i = 0; i < outputs; ++i)
            outputs_.append(prepared_->value(i));
    }
}

QString StoredProcedure::operation() const
{
    return QStringLiteral("Running procedure %1").arg(name_);
}

QVariant StoredProcedure::output(int position) const
{
    const int index = position - 1 - (info_ ? static_cast<int>(info_->inputs.size()) : 0);
    if (!info_ || index < 0 || index >= info_->outputs.size())
        throw DatabaseError(
            QStringLiteral("Procedure %1 has no output parameter at position %2.").arg(name_).arg(position));
    return index < outputs_.size() ? outputs_.at(index) : QVariant();
}

int StoredProcedure::outputInteger(int position) const
{
    return output(position).toInt();
}

} // namespace store
