#include "Connection.h"
#include "DatabaseError.h"
#include "Dataset.h"
#include "NamedParameters.h"
#include "SqlStatement.h"
#include "TestDatabase.h"

#include <QRandomGenerator>
#include <QtTest>

namespace
{

int scalar(store::Connection &connection, const QString &sql, const QVariantList &params = {})
{
    return store::SqlStatement::select(connection.database(), sql, params, QStringLiteral("test"))
        .rows.first()
        .first()
        .toInt();
}

QString text(store::Connection &connection, const QString &sql, const QVariantList &params = {})
{
    return store::SqlStatement::select(connection.database(), sql, params, QStringLiteral("test"))
        .rows.first()
        .first()
        .toString();
}

void run(store::Connection &connection, const QString &sql, const QVariantList &params = {})
{
    store::SqlStatement::execute(connection.database(), sql, params, QStringLiteral("test"));
}

int addObject(store::Connection &connection, int slot, const QString &name)
{
    return store::SqlStatement::select(
               connection.database(),
               QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, REZI2) "
                              "values (3, ?, ?, 0) returning IDOB"),
               {slot, name}, QStringLiteral("test"))
        .rows.first()
        .first()
        .toInt();
}

void addResult(store::Connection &connection, int idob, int reading)
{
    run(connection,
        QStringLiteral("insert into WYNIKI (IDOB, DATACZAS, DANE2, DANE3, REZI1) values (?, ?, ?, 0, 0)"),
        {idob, QDateTime(QDate(2024, 1, 1), QTime(0, 0)).addSecs(reading), reading});
}

// The object list of the main window.
void openObjects(store::Dataset &objects)
{
    objects.setSql(QStringLiteral(" select * from OBIEKTY where IDDEV = :IDdev order by IDO_INDEV"));
    objects.setParam(QStringLiteral("IDDEV"), 3);
    objects.open();
}

// The result list of one object.
void openResults(store::Dataset &results, int idob)
{
    results.setSql(QStringLiteral("select * from WYNIKI where IDOB = :IDobj"));
    results.setParam(QStringLiteral("IDOBJ"), idob);
    results.open();
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(12345);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

int openTransactionsOfThisConnection(store::Connection &connection)
{
    // The monitoring statement's own transaction is the one expected.
    return scalar(connection, QStringLiteral("select count(*) from MON$TRANSACTIONS "
                                             "where MON$ATTACHMENT_ID = current_connection"));
}

} // namespace

class TestStoreDataset : public QObject
{
    Q_OBJECT

private slots:
    void walksTheRowsOfAQuery();
    void emptyQueryHasNoRowAndReadsAsNull();
    void tableOpensInKeyOrderAndLocates();
    void deviceTableWithoutRowThreeStaysWhereItStands();
    void emptyConfigurationReadsLanguageZero();
    void postWritesOnlyTheChangedColumns();
    void commentLengthIsCheckedInCharacters_data();
    void commentLengthIsCheckedInCharacters();
    void textInEveryLanguageRoundTrips_data();
    void textInEveryLanguageRoundTrips();
    void photoRoundTripsByteForByte();
    void photoIsReadWhenAskedFor();
    void photoFileThatCannotBeReadIsAClearError();
    void deletingMovesToTheNextRow();
    void foreignKeyRefusesDeletingAnObjectWithResults();
    void movingPostsAPendingEdit();
    void noTransactionStaysOpen();
    void queryOverSeveralTablesIsReadOnly();
    void missingParameterOrFieldIsAClearError();
    void namedParametersBecomePositional_data();
    void namedParametersBecomePositional();
};

void TestStoreDataset::walksTheRowsOfAQuery()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    for (int slot : {3, 1, 2})
        addObject(c, slot, QStringLiteral("dog %1").arg(slot));
    store::Dataset objects(c);
    QSignalSpy scrolled(&objects, &store::Dataset::afterScroll);
    openObjects(objects);
    QCOMPARE(scrolled.count(), 1);
    QCOMPARE(objects.recordCount(), 3);
    QCOMPARE(objects.fieldNames().first(), QStringLiteral("IDOB"));
    QCOMPARE(objects.fieldNames().size(), 11);

    QStringList names;
    for (objects.first(); !objects.eof(); objects.next())
        names << objects.asString(QStringLiteral("nazwa_dev"));
    QCOMPARE(names, (QStringList{"dog 1", "dog 2", "dog 3"}));
    QCOMPARE(objects.recNo(), 2);
    QCOMPARE(scrolled.count(), 1 + 3);

    objects.setRecNo(1);
    QCOMPARE(objects.asInteger(QStringLiteral("IDO_INDEV")), 2);
    QVERIFY(!objects.eof());
    QCOMPARE(scrolled.count(), 5);
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, objects.setRecNo(3));
}

void TestStoreDataset::emptyQueryHasNoRowAndReadsAsNull()
{
    TestDatabase db;
    store::Dataset results(db.connection());
    openResults(results, 0);
    QVERIFY(results.isActive());
    QVERIFY(results.isEmpty());
    QVERIFY(results.eof());
    QCOMPARE(results.recNo(), -1);
    QVERIFY(results.value(QStringLiteral("REZC")).isNull());
    QCOMPARE(results.asInteger(QStringLiteral("IDWYN")), 0);
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, results.edit());
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, results.deleteRecord());
}

void TestStoreDataset::tableOpensInKeyOrderAndLocates()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    run(c, QStringLiteral("insert into ZRVDEVICES (IDDEV, DEV_TYPE, NUMER_SER) values (7, 'QEV', 2)"));
    run(c, QStringLiteral("insert into ZRVDEVICES (IDDEV, DEV_TYPE, NUMER_SER) values (1, 'QEV', 1)"));
    store::Dataset devices(c);
    devices.openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    QCOMPARE(devices.asInteger(QStringLiteral("IDDEV")), 1);
    QVERIFY(devices.locate(QStringLiteral("IDDEV"), 3));
    QCOMPARE(devices.recNo(), 1);
    QCOMPARE(devices.asString(QStringLiteral("DEV_TYPE")), QStringLiteral("QEV"));
    QVERIFY(!devices.locate(QStringLiteral("IDDEV"), 99));
    QCOMPARE(devices.asInteger(QStringLiteral("IDDEV")), 3);
}

void TestStoreDataset::deviceTableWithoutRowThreeStaysWhereItStands()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    run(c, QStringLiteral("delete from ZRVDEVICES"));
    run(c, QStringLiteral("insert into ZRVDEVICES (IDDEV, DEV_TYPE, NUMER_SER) values (5, 'QEV', 1)"));
    store::Dataset devices(c);
    devices.openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    QVERIFY(!devices.locate(QStringLiteral("IDDEV"), 3));
    QCOMPARE(devices.asInteger(QStringLiteral("IDDEV")), 5);

    run(c, QStringLiteral("delete from ZRVDEVICES"));
    devices.openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    QVERIFY(!devices.locate(QStringLiteral("IDDEV"), 3));
    QCOMPARE(devices.asInteger(QStringLiteral("IDDEV")), 0);
}

void TestStoreDataset::emptyConfigurationReadsLanguageZero()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    store::Dataset config(c);
    config.openTable(QStringLiteral("KONFIGURACJA"), QStringLiteral("IDD"));
    QCOMPARE(config.asInteger(QStringLiteral("LANG")), 0);
    config.edit();
    config.setValue(QStringLiteral("LANG"), 4);
    config.post();
    QCOMPARE(scalar(c, QStringLiteral("select LANG from KONFIGURACJA where IDD = 1")), 4);

    run(c, QStringLiteral("delete from KONFIGURACJA"));
    config.openTable(QStringLiteral("KONFIGURACJA"), QStringLiteral("IDD"));
    QVERIFY(config.isEmpty());
    QCOMPARE(config.asInteger(QStringLiteral("LANG")), 0);
}

// The user's edit must not overwrite what changed elsewhere in the row
// since the list was opened, such as the mark set by a procedure.
void TestStoreDataset::postWritesOnlyTheChangedColumns()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    store::Dataset objects(c);
    openObjects(objects);
    run(c, QStringLiteral("update OBIEKTY set REZI2 = 1 where IDOB = ?"), {idob});

    objects.edit();
    objects.setValue(QStringLiteral("OPIS"), QStringLiteral("long-haired"));
    QCOMPARE(objects.asString(QStringLiteral("OPIS")), QStringLiteral("long-haired"));
    objects.post();
    QVERIFY(!objects.isEditing());

    QCOMPARE(text(c, QStringLiteral("select OPIS from OBIEKTY where IDOB = ?"), {idob}),
             QStringLiteral("long-haired"));
    QCOMPARE(scalar(c, QStringLiteral("select REZI2 from OBIEKTY where IDOB = ?"), {idob}), 1);

    objects.edit();
    objects.setValue(QStringLiteral("OPIS"), QStringLiteral("cancelled"));
    objects.cancel();
    QCOMPARE(objects.asString(QStringLiteral("OPIS")), QStringLiteral("long-haired"));
}

void TestStoreDataset::commentLengthIsCheckedInCharacters_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("246, the editor's most") << QString(246, u'a') << true;
    QTest::newRow("250, the column's most") << QString(250, u'a') << true;
    QTest::newRow("250 Polish letters") << QString(250, u'ż') << true;
    QTest::newRow("250 letters beyond 16 bits") << QString(QStringLiteral("🐕")).repeated(250) << true;
    QTest::newRow("251") << QString(251, u'a') << false;
    QTest::newRow("251 Russian letters") << QString(251, u'Ж') << false;
}

void TestStoreDataset::commentLengthIsCheckedInCharacters()
{
    QFETCH(QString, comment);
    QFETCH(bool, accepted);
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    addResult(c, idob, 5);
    store::Dataset results(c);
    openResults(results, idob);
    results.edit();
    if (accepted) {
        results.setValue(QStringLiteral("REZC"), comment);
        results.post();
        QCOMPARE(text(c, QStringLiteral("select REZC from WYNIKI")), comment);
        return;
    }
    try {
        results.setValue(QStringLiteral("REZC"), comment);
        QFAIL("the comment was accepted");
    } catch (const store::DatabaseError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("251")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("250")), qPrintable(error.message()));
    }
    results.post();
    QVERIFY(store::SqlStatement::select(c.database(), QStringLiteral("select REZC from WYNIKI"), {},
                                        QStringLiteral("test"))
                .rows.first()
                .first()
                .isNull());
}

void TestStoreDataset::textInEveryLanguageRoundTrips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("Polish") << QStringLiteral("Łatka Żółć") << QStringLiteral("Zażółć gęślą jaźń");
    QTest::newRow("Russian") << QStringLiteral("Жучка") << QStringLiteral("Съешь же ещё этих мягких булок");
    QTest::newRow("German") << QStringLiteral("Größe") << QStringLiteral("Hündin, weiß");
    QTest::newRow("French and Spanish") << QStringLiteral("Chérie") << QStringLiteral("Niña, año, œil");
}

void TestStoreDataset::textInEveryLanguageRoundTrips()
{
    QFETCH(QString, name);
    QFETCH(QString, description);
    TestDatabase db;
    store::Connection &c = db.connection();
    addObject(c, 1, name);
    store::Dataset objects(c);
    openObjects(objects);
    QCOMPARE(objects.asString(QStringLiteral("NAZWA_DEV")), name);
    objects.edit();
    objects.setValue(QStringLiteral("OPIS"), description);
    objects.post();
    openObjects(objects);
    QCOMPARE(objects.asString(QStringLiteral("OPIS")), description);

    c.close();
    const QString printed = TestDatabase::runIsql(db.filePath(), QStringLiteral("select OPIS from OBIEKTY;"));
    QVERIFY2(printed.contains(description), qPrintable(printed));
}

void TestStoreDataset::photoRoundTripsByteForByte()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    addObject(c, 1, QStringLiteral("Azor"));
    const QByteArray photo = randomBytes(5 * 1024 * 1024);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("azor.jpg")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(photo);
    file.close();

    store::Dataset objects(c);
    openObjects(objects);
    objects.edit();
    objects.loadBlobFromFile(QStringLiteral("OBRAZEK"), file.fileName());
    objects.post();

    openObjects(objects);
    QVERIFY(!objects.isNull(QStringLiteral("OBRAZEK")));
    const QByteArray stored = objects.blob(QStringLiteral("OBRAZEK"));
    QCOMPARE(stored.size(), photo.size());
    QVERIFY(stored == photo);

    objects.edit();
    objects.setValue(QStringLiteral("OBRAZEK"), QVariant());
    objects.post();
    QVERIFY(objects.isNull(QStringLiteral("OBRAZEK")));
    QVERIFY(objects.blob(QStringLiteral("OBRAZEK")).isEmpty());
}

// The rows keep only whether a photo is stored; the bytes come from the
// database when a window asks for them, so a list of many animals with
// large photos costs no memory for the photos.
void TestStoreDataset::photoIsReadWhenAskedFor()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int withPhoto = addObject(c, 1, QStringLiteral("Azor"));
    addObject(c, 2, QStringLiteral("Burek"));
    run(c, QStringLiteral("update OBIEKTY set OBRAZEK = ? where IDOB = ?"), {QByteArray("old"), withPhoto});

    store::Dataset objects(c);
    openObjects(objects);
    QCOMPARE(objects.valueAt(0, QStringLiteral("OBRAZEK")), QVariant(true));
    QVERIFY(objects.valueAt(1, QStringLiteral("OBRAZEK")).isNull());

    run(c, QStringLiteral("update OBIEKTY set OBRAZEK = ? where IDOB = ?"), {QByteArray("new"), withPhoto});
    QCOMPARE(objects.blob(QStringLiteral("OBRAZEK")), QByteArray("new"));
    objects.next();
    QVERIFY(objects.value(QStringLiteral("OBRAZEK")).isNull());
}

void TestStoreDataset::photoFileThatCannotBeReadIsAClearError()
{
    TestDatabase db;
    addObject(db.connection(), 1, QStringLiteral("Azor"));
    store::Dataset objects(db.connection());
    openObjects(objects);
    objects.edit();
    const QString missing = db.folder() + QStringLiteral("/no such photo.jpg");
    try {
        objects.loadBlobFromFile(QStringLiteral("OBRAZEK"), missing);
        QFAIL("no error");
    } catch (const store::DatabaseError &error) {
        QVERIFY(error.message().contains(missing));
    }
}

void TestStoreDataset::deletingMovesToTheNextRow()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    for (int slot = 1; slot <= 3; ++slot)
        addObject(c, slot, QStringLiteral("dog %1").arg(slot));
    store::Dataset objects(c);
    openObjects(objects);
    QSignalSpy scrolled(&objects, &store::Dataset::afterScroll);

    objects.setRecNo(1);
    objects.deleteRecord();
    QCOMPARE(objects.recordCount(), 2);
    QCOMPARE(objects.asString(QStringLiteral("NAZWA_DEV")), QStringLiteral("dog 3"));
    objects.deleteRecord();
    QCOMPARE(objects.asString(QStringLiteral("NAZWA_DEV")), QStringLiteral("dog 1"));
    objects.deleteRecord();
    QVERIFY(objects.isEmpty());
    QVERIFY(objects.eof());
    QCOMPARE(scrolled.count(), 4);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY")), 0);
}

void TestStoreDataset::foreignKeyRefusesDeletingAnObjectWithResults()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    addResult(c, idob, 1);
    store::Dataset objects(c);
    openObjects(objects);
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, objects.deleteRecord());
    QCOMPARE(objects.recordCount(), 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY")), 1);

    store::Dataset results(c);
    openResults(results, idob);
    results.deleteRecord();
    objects.deleteRecord();
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY")), 0);
}

void TestStoreDataset::movingPostsAPendingEdit()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    addResult(c, idob, 1);
    addResult(c, idob, 2);
    store::Dataset results(c);
    openResults(results, idob);
    results.edit();
    results.setValue(QStringLiteral("REZI1"), 1);
    results.next();
    QVERIFY(!results.isEditing());
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where REZI1 = 1")), 1);
}

void TestStoreDataset::noTransactionStaysOpen()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    run(c, QStringLiteral("update OBIEKTY set OBRAZEK = ? where IDOB = ?"), {QByteArray("jpeg"), idob});
    store::Dataset objects(c);
    openObjects(objects);
    QCOMPARE(openTransactionsOfThisConnection(c), 1);
    QCOMPARE(objects.blob(QStringLiteral("OBRAZEK")), QByteArray("jpeg"));
    objects.edit();
    objects.setValue(QStringLiteral("OPIS"), QStringLiteral("x"));
    objects.post();
    QCOMPARE(openTransactionsOfThisConnection(c), 1);
}

void TestStoreDataset::queryOverSeveralTablesIsReadOnly()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    const int idob = addObject(c, 1, QStringLiteral("Azor"));
    addResult(c, idob, 1);
    store::Dataset all(c);
    all.setSql(QStringLiteral("select * from WYNIKI \nleft join OBIEKTY on OBIEKTY.IDOB = WYNIKI.IDOB "
                              "\nwhere IDDEV = :IDdev\norder by DATACZAS"));
    all.setParam(QStringLiteral("IDdev"), 3);
    all.open();
    QCOMPARE(all.recordCount(), 1);
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, all.edit());
}

void TestStoreDataset::missingParameterOrFieldIsAClearError()
{
    TestDatabase db;
    store::Dataset objects(db.connection());
    objects.setObjectName(QStringLiteral("FDQObiekty"));
    objects.setSql(QStringLiteral("select * from OBIEKTY where IDDEV = :IDdev"));
    try {
        objects.open();
        QFAIL("no error");
    } catch (const store::DatabaseError &error) {
        QVERIFY(error.message().contains(QStringLiteral("FDQObiekty")));
        QVERIFY(error.message().contains(QStringLiteral("IDDEV")));
    }
    objects.setParam(QStringLiteral("IDdev"), 3);
    objects.open();
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, objects.value(QStringLiteral("NO_SUCH")));
}

void TestStoreDataset::namedParametersBecomePositional_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("positional");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("two, any case") << "select * from OBIEKTY where IDDEV = :IDdev and REZI2 = :sel"
                                   << "select * from OBIEKTY where IDDEV = ? and REZI2 = ?"
                                   << QStringList{"IDDEV", "SEL"};
    QTest::newRow("at the end, after a line break")
        << "select * from WYNIKI\nwhere IDOB=:IDobj"
        << "select * from WYNIKI\nwhere IDOB=?" << QStringList{"IDOBJ"};
    QTest::newRow("colon in a text") << "select * from OBIEKTY where OPIS = 'at 10:30' and IDOB = :id"
                                     << "select * from OBIEKTY where OPIS = 'at 10:30' and IDOB = ?"
                                     << QStringList{"ID"};
    QTest::newRow("doubled quote in a text")
        << "select 'it''s :x' from RDB$DATABASE where 1 = :one"
        << "select 'it''s :x' from RDB$DATABASE where 1 = ?" << QStringList{"ONE"};
    QTest::newRow("comments") << "select /* :a */ 1 -- :b\nfrom RDB$DATABASE where 1 = :c"
                              << "select /* :a */ 1 -- :b\nfrom RDB$DATABASE where 1 = ?" << QStringList{"C"};
}

void TestStoreDataset::namedParametersBecomePositional()
{
    QFETCH(QString, sql);
    QFETCH(QString, positional);
    QFETCH(QStringList, names);
    const store::NamedParameters parsed = store::NamedParameters::parse(sql);
    QCOMPARE(parsed.positionalSql, positional);
    QCOMPARE(parsed.names, names);
}

QTEST_GUILESS_MAIN(TestStoreDataset)
#include "tst_store_dataset.moc"
