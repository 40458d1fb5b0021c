#pragma once

namespace store
{

class Connection;

// Groups the many small calls of an import into a few transactions.
//
// With forced writes on, every commit waits for the disk several times
// over; a commit per measurement would make the database, not the serial
// line, the slow part of an import (tens of milliseconds a call on an
// ordinary disk). While an ImportTransaction lives, every statement of the
// connection runs in its transaction; commit() makes the work so far durable
// and goes on in a new one. The import commits after each object, so a
// power cut costs at most the object being read, which the instrument still
// holds and the next import stores again.
//
// Nothing is ever rolled back: leaving the scope, also by an exception,
// commits what was done, just as each call would have been committed on its
// own. An edit the user makes while the import runs is committed with the
// import's next commit.
class ImportTransaction
{
public:
    explicit ImportTransaction(Connection &connection);
    ~ImportTransaction();
    ImportTransaction(const ImportTransaction &) = delete;
    ImportTransaction &operator=(const ImportTransaction &) = delete;

    // Throws DatabaseError when the commit fails.
    void commit();

private:
    Connection &connection_;
    bool active_ = false;
};

} // namespace store
