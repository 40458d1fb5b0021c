#include "DatabaseError.h"

#include <QSqlError>

namespace store
{

DatabaseError::DatabaseError(const QString &message) : std::runtime_error(message.toStdString()) {}

DatabaseError DatabaseError::fromSqlError(const QString &operation, const QSqlError &error)
{
    QString engineMessage = error.databaseText().trimmed();
    if (engineMessage.isEmpty())
        engineMessage = error.text().trimmed();
    return DatabaseError(operation + QStringLiteral(": ") + engineMessage);
}

QString DatabaseError::message() const
{
    return QString::fromStdString(what());
}

} // namespace store
