#include "Connection.h"

#include "Catalog.h"
#include "DatabaseError.h"
#include "EmbeddedEngine.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>

namespace store
{

namespace
{

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("qev-store-%1").arg(counter.fetchAndAddRelaxed(1));
}

void checkFileIsUsable(const QFileInfo &file)
{
    if (!file.exists())
        throw DatabaseError(QStringLiteral("The database file \"%1\" is missing from the folder "
                                           "\"%2\". Put the program's database file there, or "
                                           "restore it from a backup.")
                                .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
    if (!file.isReadable() || !file.isWritable())
        throw DatabaseError(QStringLiteral("The database file \"%1\" cannot be read and written by "
                                           "the current user. Give the user read and write "
                                           "permission on the file.")
                                .arg(QDir::toNativeSeparators(file.absoluteFilePath())));
}

// The engine locks the file for one process; its words for that are
// technical, so say plainly what to do.
QString openFailureMessage(const QString &file, const QSqlError &error)
{
    const QString engineMessage = error.databaseText().trimmed();
    const bool inUse = engineMessage.contains(QLatin1String("already opened"), Qt::CaseInsensitive) ||
                       engineMessage.contains(QLatin1String("\"lock\""), Qt::CaseInsensitive);
    QString message = QStringLiteral("Cannot open the database file \"%1\"").arg(file);
    if (inUse)
        message += QStringLiteral(": it is in use by another program. Close the other program "
                                  "(for example another copy of QEV Data) and try again");
    return message + QStringLiteral(".\n") + engineMessage;
}

} // namespace

Connection::Connection() : connectionName_(uniqueConnectionName()) {}

Connection::~Connection()
{
    close();
}

void Connection::open(const QString &databaseFile)
{
    close();
    const QFileInfo file(databaseFile);
    checkFileIsUsable(file);
    EmbeddedEngine::prepare();

    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connectionName_);
        if (!database.isValid())
            throw DatabaseError(QStringLiteral("The Firebird driver of Qt (QIBASE) is not installed."));
        database.setDatabaseName(path);
        database.setUserName(QString::fromLatin1(userName));
        database.setPassword(QString::fromLatin1(password));
        database.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
        if (!database.open()) {
            const QSqlError error = database.lastError();
            database = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName_);
            throw DatabaseError(openFailureMessage(path, error));
        }
    }
    databaseFile_ = path;
    catalog_ = std::make_unique<Catalog>(connectionName_);
}

void Connection::close()
{
    transactionId_ = 0;
    if (!QSqlDatabase::contains(connectionName_))
        return;
    catalog_.reset();
    {
        QSqlDatabase database = QSqlDatabase::database(connectionName_, false);
        database.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    databaseFile_.clear();
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(connectionName_) && QSqlDatabase::database(connectionName_, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    if (!isOpen())
        throw DatabaseError(QStringLiteral("The database is not open."));
    return QSqlDatabase::database(connectionName_, false);
}

QString Connection::databaseFile() const
{
    return databaseFile_;
}

Catalog &Connection::catalog()
{
    if (!catalog_)
        throw DatabaseError(QStringLiteral("The database is not open."));
    return *catalog_;
}

void Connection::beginTransaction()
{
    QSqlDatabase db = database();
    if (!db.transaction())
        throw DatabaseError::fromSqlError(QStringLiteral("Starting a transaction"), db.lastError());
    transactionId_ = ++lastTransactionId_;
}

void Connection::commitTransaction()
{
    QSqlDatabase db = database();
    transactionId_ = 0;
    if (!db.commit())
        throw DatabaseError::fromSqlError(QStringLiteral("Committing the transaction"), db.lastError());
}

quint64 Connection::transactionId() const
{
    return transactionId_;
}

} // namespace store
