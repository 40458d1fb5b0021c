#pragma once

#include <QStringList>
#include <QVariant>

namespace report
{

// The rows a report dataset walks: the data layer's query in the program, a
// table of values in the tests. Blob fields come back as QByteArray.
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;
    virtual bool isActive() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual QStringList fieldNames() const = 0;
    virtual QVariant value(const QString &field) const = 0;
};

} // namespace report
