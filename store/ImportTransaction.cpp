#include "ImportTransaction.h"

#include "Connection.h"
#include "DatabaseError.h"

#include <QSqlError>
#include <QtDebug>

namespace store
{

ImportTransaction::ImportTransaction(Connection &connection) : connection_(connection)
{
    begin();
}

ImportTransaction::~ImportTransaction()
{
    if (!active_ || !connection_.isOpen())
        return;
    QSqlDatabase database = connection_.database();
    // A destructor cannot report the failure to the caller; the engine has
    // already kept every committed object.
    if (!database.commit())
        qWarning("Committing the end of the import failed: %s",
                 qPrintable(database.lastError().databaseText()));
}

void ImportTransaction::begin()
{
    QSqlDatabase database = connection_.database();
    if (!database.transaction())
        throw DatabaseError::fromSqlError(QStringLiteral("Starting the import's transaction"),
                                          database.lastError());
    active_ = true;
}

void ImportTransaction::commit()
{
    QSqlDatabase database = connection_.database();
    active_ = false;
    if (!database.commit())
        throw DatabaseError::fromSqlError(QStringLiteral("Committing the imported data"),
                                          database.lastError());
    begin();
}

} // namespace store
