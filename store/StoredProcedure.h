#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include "Catalog.h"

#include <optional>

namespace store
{

class Connection;

// A stored procedure of the database, run with parameters set by position.
// Positions count from 1 over the input parameters and then the output
// parameters, in the order the procedure declares them: for a procedure with
// six inputs, its first output is position 7. Each execute() is committed
// before it returns.
class StoredProcedure
{
public:
    StoredProcedure(Connection &connection, const QString &name);

    QString name() const;
    // An input position that is never set is passed as null. Text longer than
    // its parameter is refused here, before anything is run.
    void setParam(int position, const QVariant &value);
    void execute();
    // Output parameters of the last execute(); null before the first.
    QVariant output(int position) const;
    int outputInteger(int position) const;

private:
    const ProcedureInfo &info();
    const ColumnInfo &inputAt(int position);
    void executePrepared(quint64 transactionId);
    QString operation() const;

    Connection &connection_;
    QString name_;
    std::optional<ProcedureInfo> info_;
    QVariantList inputs_;
    QVariantList outputs_;
    QString callSql_;
    // Inside an import's transaction the statement is prepared once and run
    // for every call: preparing it anew cost more than the call itself.
    std::optional<QSqlQuery> prepared_;
    quint64 preparedIn_ = 0;
};

} // namespace store
