#include "Connection.h"
#include "DatabaseError.h"
#include "Dataset.h"
#include "EmbeddedEngine.h"
#include "SqlStatement.h"
#include "TestDatabase.h"

#include <QProcess>
#include <QtTest>

namespace
{

int scalar(store::Connection &connection, const QString &sql)
{
    return store::SqlStatement::select(connection.database(), sql, {}, QStringLiteral("test"))
        .rows.first()
        .first()
        .toInt();
}

QString describeColumns(store::Connection &connection, const QString &table)
{
    const store::QueryRows rows = store::SqlStatement::select(
        connection.database(),
        QStringLiteral(
            "select trim(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE, f.RDB$CHARACTER_LENGTH, "
            "coalesce(rf.RDB$NULL_FLAG, f.RDB$NULL_FLAG, 0) "
            "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
            "where rf.RDB$RELATION_NAME = ? order by rf.RDB$FIELD_POSITION"),
        {table}, QStringLiteral("test"));
    const QHash<int, QString> typeNames{{8, "INTEGER"},    {14, "CHAR"},  {37, "VARCHAR"},
                                        {35, "TIMESTAMP"}, {10, "FLOAT"}, {261, "BLOB"}};
    QStringList columns;
    for (const QVariantList &row : rows.rows) {
        QString column = row.at(0).toString() + u' ' + typeNames.value(row.at(1).toInt(), "?");
        if (!row.at(2).isNull())
            column += QStringLiteral("(%1)").arg(row.at(2).toInt());
        if (row.at(3).toInt() == 1)
            column += QStringLiteral(" NOT NULL");
        columns << column;
    }
    return columns.join(QStringLiteral(", "));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int runCreateDatabase(const QString &database, const QString &workFolder)
{
    return QProcess::execute(QStringLiteral(QEV_CMAKE),
                             {QStringLiteral("-DISQL=") + QStringLiteral(QEV_ISQL),
                              QStringLiteral("-DSCHEMA=") + QStringLiteral(QEV_SCHEMA_SCRIPT),
                              QStringLiteral("-DDATABASE=") + database,
                              QStringLiteral("-DWORK_DIR=") + workFolder, QStringLiteral("-P"),
                              QStringLiteral(QEV_CREATE_DATABASE_SCRIPT)});
}

// isql attached to a database file until the fixture goes; a marker file
// tells that it holds the file. It waits for more input, so no child of its
// own inherits the file's lock.
class OtherProgram
{
public:
    explicit OtherProgram(const QString &databaseFile, const QString &marker)
    {
        store::EmbeddedEngine::prepare();
        process_.start(QStringLiteral(QEV_ISQL),
                       {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("sysdba"),
                        QStringLiteral("-password"), QStringLiteral("quillbird"), databaseFile});
        process_.write(
            QStringLiteral("select 1 from rdb$database;\nshell touch '%1';\n").arg(marker).toUtf8());
    }
    ~OtherProgram()
    {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(30000))
            process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

} // namespace

class TestStoreConnection : public QObject
{
    Q_OBJECT

private slots:
    void tablesHaveTheirColumnsInOrder_data();
    void tablesHaveTheirColumnsInOrder();
    void startsWithDeviceThreeAndLanguageZero();
    void missingFileNamesTheFileAndTheFolder();
    void fileInUseByAnotherProgramIsAClearError();
    void anotherProgramCannotOpenTheFileWhileItIsOpen();
    void closedConnectionRefusesWork();
    void engineFilesLiveInAPrivateFolder();
    void engineRefusesAFolderThatIsALink();
    void buildCreatesAMissingDatabase();
    void buildNeverTouchesAnExistingDatabase();
};

void TestStoreConnection::tablesHaveTheirColumnsInOrder_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("columns");
    QTest::newRow("ZRVDEVICES")
        << "ZRVDEVICES"
        << "IDDEV INTEGER NOT NULL, DEV_TYPE CHAR(3) NOT NULL, NUMER_SER INTEGER NOT NULL, "
           "DATA_DODANIA TIMESTAMP, DATA_LASTSYNCHRO TIMESTAMP, REZI1 INTEGER, REZI2 INTEGER, "
           "REZIC VARCHAR(50), NAZWAPC VARCHAR(30), KOMENTARZ VARCHAR(300)";
    QTest::newRow("KONFIGURACJA")
        << "KONFIGURACJA"
        << "IDD INTEGER NOT NULL, AKTYWNE_TRYBY INTEGER, PORT_COM VARCHAR(30), "
           "REZC VARCHAR(50), REZI1 INTEGER, LANG INTEGER, REZI2 INTEGER, REZI3 INTEGER, "
           "REZC1 VARCHAR(20)";
    QTest::newRow("OBIEKTY")
        << "OBIEKTY"
        << "IDOB INTEGER NOT NULL, IDDEV INTEGER NOT NULL, IDO_INDEV INTEGER NOT NULL, "
           "NAZWA_DEV VARCHAR(20), NAZWA_LONG VARCHAR(50), OPIS VARCHAR(250), REZI1 INTEGER, "
           "REZI2 INTEGER, REZC VARCHAR(50), DATA_DODANIA TIMESTAMP, OBRAZEK BLOB";
    QTest::newRow("WYNIKI")
        << "WYNIKI"
        << "IDWYN INTEGER NOT NULL, IDOB INTEGER NOT NULL, DATACZAS TIMESTAMP, "
           "DATA_IMPORT TIMESTAMP, DANE1 FLOAT, DANE2 FLOAT, DANE3 INTEGER, DANE4 INTEGER, "
           "REZI1 INTEGER, REZC VARCHAR(250)";
}

void TestStoreConnection::tablesHaveTheirColumnsInOrder()
{
    QFETCH(QString, table);
    QFETCH(QString, columns);
    TestDatabase db;
    QCOMPARE(describeColumns(db.connection(), table), columns);
}

void TestStoreConnection::startsWithDeviceThreeAndLanguageZero()
{
    TestDatabase db;
    store::Dataset devices(db.connection());
    devices.openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    QVERIFY(devices.locate(QStringLiteral("IDDEV"), 3));
    QCOMPARE(devices.asString(QStringLiteral("DEV_TYPE")), QStringLiteral("QEV"));
    store::Dataset config(db.connection());
    config.openTable(QStringLiteral("KONFIGURACJA"), QStringLiteral("IDD"));
    QCOMPARE(config.recordCount(), 1);
    QCOMPARE(config.asInteger(QStringLiteral("IDD")), 1);
    QCOMPARE(config.value(QStringLiteral("LANG")), QVariant(0));
    QCOMPARE(scalar(db.connection(), QStringLiteral("select VERSION from QEV_SCHEMA_VERSION")), 1);
}

void TestStoreConnection::missingFileNamesTheFileAndTheFolder()
{
    QTemporaryDir dir;
    store::Connection connection;
    try {
        connection.open(dir.filePath(QStringLiteral("ZRVbase.fb")));
        QFAIL("no error");
    } catch (const store::DatabaseError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("\"ZRVbase.fb\"")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(dir.path()), qPrintable(error.message()));
    }
    QVERIFY(!connection.isOpen());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("ZRVbase.fb"))));
}

void TestStoreConnection::fileInUseByAnotherProgramIsAClearError()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ZRVbase.fb"));
    TestDatabase::createFile(file);
    const QString marker = dir.filePath(QStringLiteral("attached"));
    {
        OtherProgram other(file, marker);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 60000);
        store::Connection connection;
        try {
            connection.open(file);
            QFAIL("opened a file in use");
        } catch (const store::DatabaseError &error) {
            QVERIFY2(error.message().contains(file), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("in use by another program")),
                     qPrintable(error.message()));
        }
        QVERIFY(!connection.isOpen());
    }
    store::Connection connection;
    connection.open(file);
    QCOMPARE(scalar(connection, QStringLiteral("select count(*) from ZRVDEVICES")), 1);
}

void TestStoreConnection::anotherProgramCannotOpenTheFileWhileItIsOpen()
{
    TestDatabase db;
    store::SqlStatement::execute(db.connection().database(),
                                 QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV) values (3, 1)"), {},
                                 QStringLiteral("test"));
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError,
                             TestDatabase::runIsql(db.filePath(), QStringLiteral("delete from OBIEKTY;")));
    QCOMPARE(scalar(db.connection(), QStringLiteral("select count(*) from OBIEKTY")), 1);
}

void TestStoreConnection::closedConnectionRefusesWork()
{
    TestDatabase db;
    store::Dataset objects(db.connection());
    db.connection().close();
    QVERIFY(!db.connection().isOpen());
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError,
                             objects.openTable(QStringLiteral("OBIEKTY"), QStringLiteral("IDOB")));
    db.connection().open(db.filePath());
    objects.openTable(QStringLiteral("OBIEKTY"), QStringLiteral("IDOB"));
    QVERIFY(objects.isActive());
}

void TestStoreConnection::engineFilesLiveInAPrivateFolder()
{
    store::EmbeddedEngine::prepare();
    const QString folder = store::EmbeddedEngine::folder();
    QCOMPARE(qEnvironmentVariable("FIREBIRD_LOCK"), folder);
    QCOMPARE(qEnvironmentVariable("FIREBIRD_TMP"), folder);
    const QFileInfo info(folder);
    QVERIFY(info.isDir());
    QCOMPARE(info.permissions() & (QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ReadGroup |
                                   QFileDevice::WriteGroup),
             QFileDevice::Permissions());
    QVERIFY(!folder.startsWith(QStringLiteral("/tmp/firebird")));
}

void TestStoreConnection::engineRefusesAFolderThatIsALink()
{
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedLock = qgetenv("FIREBIRD_LOCK");
    QTemporaryDir runtime, elsewhere;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QVERIFY(QFile::link(elsewhere.path(), store::EmbeddedEngine::folder()));
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, store::EmbeddedEngine::prepare());
    QCOMPARE(qgetenv("FIREBIRD_LOCK"), savedLock);
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}

void TestStoreConnection::buildCreatesAMissingDatabase()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bin/ZRVbase.fb"));
    QCOMPARE(runCreateDatabase(file, dir.filePath(QStringLiteral("work"))), 0);
    QVERIFY(!QFile::exists(file + QStringLiteral(".partial")));
    store::Connection connection;
    connection.open(file);
    QCOMPARE(scalar(connection, QStringLiteral("select count(*) from RDB$PROCEDURES where RDB$PROCEDURE_NAME "
                                               "starting with 'P_'")),
             6);
}

void TestStoreConnection::buildNeverTouchesAnExistingDatabase()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ZRVbase.fb"));
    TestDatabase::createFile(file);
    {
        store::Connection connection;
        connection.open(file);
        store::SqlStatement::execute(
            connection.database(),
            QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV) values (3, 1, 'Azor')"), {},
            QStringLiteral("test"));
    }
    const QByteArray before = fileBytes(file);
    QCOMPARE(runCreateDatabase(file, dir.filePath(QStringLiteral("work"))), 0);
    QVERIFY(fileBytes(file) == before);
}

QTEST_GUILESS_MAIN(TestStoreConnection)
#include "tst_store_connection.moc"
