#include "ReportDBDataset.h"

namespace report
{

ReportDBDataset::ReportDBDataset(const QString &userName, ReportDataSource &source)
    : name(userName), source(source)
{
}

void ReportDBDataset::setFieldAlias(const QString &field, const QString &alias)
{
    for (auto it = aliases.begin(); it != aliases.end(); ++it) {
        if (it.value() == field) {
            aliases.erase(it);
            break;
        }
    }
    aliases.insert(alias, field);
}

QString ReportDBDataset::fieldForAlias(const QString &alias) const
{
    const auto found = aliases.constFind(alias);
    if (found != aliases.constEnd())
        return found.value();
    // A field without an alias of its own is known by its name, unless
    // another field has taken that name as its alias.
    for (auto it = aliases.constBegin(); it != aliases.constEnd(); ++it)
        if (it.value() == alias)
            return {};
    return source.fieldNames().contains(alias) ? alias : QString();
}

bool ReportDBDataset::hasAlias(const QString &alias) const
{
    return !fieldForAlias(alias).isEmpty();
}

void ReportDBDataset::first()
{
    if (!source.isActive())
        return;
    source.first();
    if (!source.eof() && afterFirst)
        afterFirst();
}

void ReportDBDataset::next()
{
    source.next();
    if (!source.eof() && afterNext)
        afterNext();
}

bool ReportDBDataset::eof() const
{
    return !source.isActive() || source.eof();
}

QVariant ReportDBDataset::value(const QString &alias) const
{
    const QString field = fieldForAlias(alias);
    return field.isEmpty() ? QVariant() : source.value(field);
}

} // namespace report
