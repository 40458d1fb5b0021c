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

    // A transaction that spans many statements, for an import. While it is
    // open every statement of the connection runs in it; otherwise each
    // statement has a short one of its own. Use ImportTransaction.
    void beginTransaction();
    // Throws DatabaseError when the commit fails; the transaction is over
    // either way.
    void commitTransaction();
    // Zero while no such transaction is open; otherwise a number that no
    // earlier one had, so that a statement prepared in it can tell when it
    // may be run again.
    quint64 transactionId() const;

private:
    QString connectionName_;
    QString databaseFile_;
    std::unique_ptr<Catalog> catalog_;
    quint64 transactionId_ = 0;
    quint64 lastTransactionId_ = 0;
};

} // namespace store
