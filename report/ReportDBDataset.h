#pragma once

#include "ReportDataSource.h"

#include <QHash>
#include <QString>
#include <functional>

namespace report
{

// A named dataset through which templates reach the data, as in
// [frxDBObiekty."NAZWA_DEV"]. Each field is known by an alias (its own
// name unless set otherwise). After every move to a next row, never after
// the move to the first row, it runs its after-next handler: the program
// uses it to reopen a detail query for the new master row. The move to the
// first row has a handler of its own.
class ReportDBDataset
{
public:
    ReportDBDataset(const QString &userName, ReportDataSource &source);

    const QString &userName() const { return name; }
    void setFieldAlias(const QString &field, const QString &alias);
    QString fieldForAlias(const QString &alias) const;
    bool hasAlias(const QString &alias) const;

    void setOnAfterNext(std::function<void()> handler) { afterNext = std::move(handler); }
    void setOnAfterFirst(std::function<void()> handler) { afterFirst = std::move(handler); }

    bool isActive() const { return source.isActive(); }
    void first();
    void next();
    bool eof() const;
    QVariant value(const QString &alias) const;

private:
    QString name;
    ReportDataSource &source;
    QHash<QString, QString> aliases; // alias -> field
    std::function<void()> afterNext;
    std::function<void()> afterFirst;
};

} // namespace report
