#pragma once

#include "ReportDataSource.h"

namespace store
{
class Dataset;
}

namespace report
{

// A report dataset's rows taken from one of the data layer's queries. The
// query stays where the report leaves it, as the program expects.
class StoreDataSource : public ReportDataSource
{
public:
    explicit StoreDataSource(store::Dataset &query) : query(query) {}

    bool isActive() const override;
    void first() override;
    void next() override;
    bool eof() const override;
    QStringList fieldNames() const override;
    QVariant value(const QString &field) const override;

private:
    store::Dataset &query;
};

} // namespace report
