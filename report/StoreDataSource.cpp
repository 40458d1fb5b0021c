#include "StoreDataSource.h"

#include "Dataset.h"

namespace report
{

bool StoreDataSource::isActive() const
{
    return query.isActive();
}

void StoreDataSource::first()
{
    query.first();
}

void StoreDataSource::next()
{
    query.next();
}

bool StoreDataSource::eof() const
{
    return query.eof();
}

QStringList StoreDataSource::fieldNames() const
{
    return query.fieldNames();
}

QVariant StoreDataSource::value(const QString &field) const
{
    return query.value(field);
}

} // namespace report
