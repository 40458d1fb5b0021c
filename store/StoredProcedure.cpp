#include "StoredProcedure.h"

#include "Connection.h"
#include "DatabaseError.h"
#include "SqlStatement.h"

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
    outputs_ = SqlStatement::executeProcedure(connection_.database(), callSql_, inputs_,
                                              QStringLiteral("Running procedure %1").arg(name_));
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
