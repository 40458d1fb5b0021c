#pragma once

#include <QString>
#include <stdexcept>

class QSqlError;

namespace store
{

// Every error of the data layer: the engine's own failures, files that cannot
// be read, and values refused before they reach the engine. what() holds the
// text shown to the user, in UTF-8.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &message);

    // "<what we tried>: <the engine's message>".
    static DatabaseError fromSqlError(const QString &operation, const QSqlError &error);

    QString message() const;
};

} // namespace store
