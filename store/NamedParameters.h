#pragma once

#include <QString>
#include <QStringList>

namespace store
{

// SQL text with named parameters (":IDdev") turned into the driver's
// positional ones ("?"). Names are compared without regard to case, as the
// engine compares unquoted names.
struct NamedParameters {
    QString positionalSql;
    QStringList names; // upper case, one per "?", in order of appearance

    // Skips text inside quotes and comments, where a colon is not a parameter.
    static NamedParameters parse(const QString &sql);
};

} // namespace store
