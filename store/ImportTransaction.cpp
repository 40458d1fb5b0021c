#include "ImportTransaction.h"

#include "Connection.h"
#include "DatabaseError.h"

#include <QtDebug>

namespace store
{

ImportTransaction::ImportTransaction(Connection &connection) : connection_(connection)
{
    connection_.beginTransaction();
    active_ = true;
}

ImportTransaction::~ImportTransaction()
{
    if (!active_ || !connection_.isOpen())
        return;
    // A destructor cannot hand the failure to the caller; every object
    // committed before stays.
    try {
        connection_.commitTransaction();
    } catch (const DatabaseError &error) {
        qWarning("%s", error.what());
    }
}

void ImportTransaction::commit()
{
    active_ = false;
    connection_.commitTransaction();
    connection_.beginTransaction();
    active_ = true;
}

} // namespace store
