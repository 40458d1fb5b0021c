#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>

namespace store
{

class Catalog;

// The program's one connection to its database file, through the embedded
// engine (no server). Every statement runs in a short transaction of its own
// that is committed as soon as the statement ends, so a change is durable
// the moment the call that made it returns.
class Connection
{
public:
    static constexpr const char *userName = "sysdba";
    static constexpr const char *password = "quillbird";

    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Throws DatabaseError naming the file when it is missing, not writable,
    // or in use by another program.
    void open(const QString &databaseFile);
    void close();
    bool isOpen() const;

    // Throws DatabaseError when the connection is not open.
    QSqlDatabase database() const;
    QString databaseFile() const;
    Catalog &catalog();

private:
    QString connectionName_;
    QString databaseFile_;
    std::unique_ptr<Catalog> catalog_;
};

} // namespace store
