#include "Catalog.h"
#include "Connection.h"
#include "DatabaseError.h"
#include "Dataset.h"
#include "ImportTransaction.h"
#include "SqlStatement.h"
#include "StoredProcedure.h"
#include "TestDatabase.h"

#include <QtTest>

// The import calls the two import procedures exactly like this: every
// object and every measurement again at each import.
class Importer
{
public:
    explicit Importer(store::Connection &connection)
        : object_(connection, QStringLiteral("P_UPDATEOBIEKT_TEMP")),
          result_(connection, QStringLiteral("P_WYNIKI_UI"))
    {
    }

    int object(int slot, const QString &name)
    {
        object_.setParam(1, 3);
        object_.setParam(2, slot);
        object_.setParam(3, name);
        object_.setParam(4, QString());
        object_.setParam(5, QString());
        object_.setParam(6, 0);
        object_.execute();
        return object_.outputInteger(7);
    }

    void result(int idob, const QDateTime &when, double reading, int data)
    {
        result_.setParam(1, idob);
        result_.setParam(2, when);
        result_.setParam(3, 0.0);
        result_.setParam(4, reading);
        result_.setParam(5, data);
        result_.setParam(6, 0);
        result_.setParam(7, 0);
        result_.setParam(8, QString());
        result_.execute();
    }

private:
    store::StoredProcedure object_;
    store::StoredProcedure result_;
};

namespace
{

const QDateTime t0(QDate(2024, 3, 10), QTime(8, 15, 0));

int scalar(store::Connection &connection, const QString &sql, const QVariantList &params = {})
{
    return store::SqlStatement::select(connection.database(), sql, params, QStringLiteral("test"))
        .rows.first()
        .first()
        .toInt();
}

void run(store::Connection &connection, const QString &sql, const QVariantList &params = {})
{
    store::SqlStatement::execute(connection.database(), sql, params, QStringLiteral("test"));
}

void callMarkProcedure(store::Connection &connection, const QString &name, int id, int mark)
{
    store::StoredProcedure procedure(connection, name);
    procedure.setParam(1, id);
    procedure.setParam(2, mark);
    procedure.execute();
}

void markByDates(store::Connection &connection, const QDate &from, const QDate &to)
{
    store::StoredProcedure procedure(connection, QStringLiteral("P_SELECTDATES"));
    procedure.setParam(1, from);
    procedure.setParam(2, to.addDays(1));
    procedure.execute();
}

} // namespace

class TestStoreProcedures : public QObject
{
    Q_OBJECT

private slots:
    void parametersInDeclaredOrder_data();
    void parametersInDeclaredOrder();
    void newObjectIsStoredWithThePassedValues();
    void reimportKeepsTheUsersWork();
    void sameMeasurementIsStoredOnce_data();
    void sameMeasurementIsStoredOnce();
    void reusedSlotUnderAnotherNameIsANewObject();
    void updateObiektBehavesLikeTheImportProcedure();
    void objectNameLongerThanTheInstrumentsIsRefused();
    void marksObjectsOfOneDeviceInBulk();
    void marksResultsOfOneObjectInBulk();
    void marksResultsByDate_data();
    void marksResultsByDate();
    void unknownProcedureIsAClearError();
    void eachCallIsCommittedAtOnce();
    void importTransactionCommitsWhatWasDone();
};

void TestStoreProcedures::parametersInDeclaredOrder_data()
{
    QTest::addColumn<QString>("procedure");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("outputs");
    const QStringList objectInputs{"IDDEV", "IDO_INDEV", "NAZWA_DEV", "NAZWA_LONG", "OPIS", "REZI1"};
    QTest::newRow("P_UPDATEOBIEKT") << "P_UPDATEOBIEKT" << objectInputs << QStringList{"IDOBJ"};
    QTest::newRow("P_UPDATEOBIEKT_TEMP") << "P_UPDATEOBIEKT_TEMP" << objectInputs << QStringList{"IDOBJ"};
    QTest::newRow("P_WYNIKI_UI") << "P_WYNIKI_UI" << QStringList{"IDOB",  "DATACZAS", "DANE1", "DANE2",
                                                                 "DANE3", "DANE4",    "REZI1", "REZC"}
                                 << QStringList{};
    QTest::newRow("P_SELECT_OBJECTS") << "P_SELECT_OBJECTS" << QStringList{"IDDX", "SELE"} << QStringList{};
    QTest::newRow("P_SELECT_WYNIKI") << "P_SELECT_WYNIKI" << QStringList{"IDDX", "SELE"} << QStringList{};
    QTest::newRow("P_SELECTDATES") << "P_SELECTDATES" << QStringList{"DATA_OD", "DATA_DO"} << QStringList{};
}

// Callers set and read the parameters by position only.
void TestStoreProcedures::parametersInDeclaredOrder()
{
    QFETCH(QString, procedure);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, outputs);
    TestDatabase db;
    const store::ProcedureInfo info = db.connection().catalog().procedure(procedure);
    QStringList actualInputs, actualOutputs;
    for (const auto &p : info.inputs)
        actualInputs << p.name;
    for (const auto &p : info.outputs)
        actualOutputs << p.name;
    QCOMPARE(actualInputs, inputs);
    QCOMPARE(actualOutputs, outputs);
}

void TestStoreProcedures::newObjectIsStoredWithThePassedValues()
{
    TestDatabase db;
    Importer import(db.connection());
    const int idob = import.object(17, QStringLiteral("Azor"));
    QVERIFY(idob > 0);

    store::Dataset objects(db.connection());
    objects.setSql(QStringLiteral(" select * from OBIEKTY where IDDEV = :IDdev"));
    objects.setParam(QStringLiteral("IDDEV"), 3);
    objects.open();
    QCOMPARE(objects.recordCount(), 1);
    QCOMPARE(objects.asInteger(QStringLiteral("IDOB")), idob);
    QCOMPARE(objects.asInteger(QStringLiteral("IDO_INDEV")), 17);
    QCOMPARE(objects.asString(QStringLiteral("NAZWA_DEV")), QStringLiteral("Azor"));
    QCOMPARE(objects.value(QStringLiteral("REZI2")), QVariant(0));
    QVERIFY(objects.value(QStringLiteral("OBRAZEK")).isNull());
    QVERIFY(objects.asDateTime(QStringLiteral("DATA_DODANIA")).isValid());

    import.result(idob, t0, -12, 0x123456);
    store::Dataset results(db.connection());
    results.setSql(QStringLiteral("select * from WYNIKI where IDOB = :IDobj"));
    results.setParam(QStringLiteral("IDOBJ"), idob);
    results.open();
    QCOMPARE(results.recordCount(), 1);
    QCOMPARE(results.asDateTime(QStringLiteral("DATACZAS")), t0);
    QCOMPARE(results.value(QStringLiteral("DANE2")).toDouble(), -12.0);
    QCOMPARE(results.asInteger(QStringLiteral("DANE3")), 0x123456);
    QCOMPARE(results.value(QStringLiteral("REZI1")), QVariant(0));
    QVERIFY(results.asDateTime(QStringLiteral("DATA_IMPORT")).isValid());
}

void TestStoreProcedures::reimportKeepsTheUsersWork()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    Importer first(c);
    const int idob = first.object(1, QStringLiteral("Azor"));
    first.result(idob, t0, 10, 1);
    first.result(idob, t0.addDays(1), 20, 2);

    const QByteArray photo("\xff\xd8\xff\xe0 not really a jpeg \x00\x01", 24);
    run(c, QStringLiteral("update OBIEKTY set OPIS = ?, REZI2 = 1, OBRAZEK = ? where IDOB = ?"),
        {QStringLiteral("Suka po Reksie"), photo, idob});
    run(c, QStringLiteral("update WYNIKI set REZI1 = 1, REZC = ? where IDOB = ? and DANE3 = 1"),
        {QStringLiteral("ruja"), idob});

    Importer second(c);
    QCOMPARE(second.object(1, QStringLiteral("Azor")), idob);
    second.result(idob, t0, 10, 1);
    second.result(idob, t0.addDays(1), 20, 2);

    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY")), 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI")), 2);
    const store::QueryRows object = store::SqlStatement::select(
        c.database(), QStringLiteral("select OPIS, REZI2, OBRAZEK from OBIEKTY where IDOB = ?"), {idob},
        QStringLiteral("test"));
    QCOMPARE(object.rows.first().at(0).toString(), QStringLiteral("Suka po Reksie"));
    QCOMPARE(object.rows.first().at(1).toInt(), 1);
    QCOMPARE(object.rows.first().at(2).toByteArray(), photo);
    const store::QueryRows result = store::SqlStatement::select(
        c.database(), QStringLiteral("select REZI1, REZC from WYNIKI where DANE3 = 1"), {},
        QStringLiteral("test"));
    QCOMPARE(result.rows.first().at(0).toInt(), 1);
    QCOMPARE(result.rows.first().at(1).toString(), QStringLiteral("ruja"));
}

void TestStoreProcedures::sameMeasurementIsStoredOnce_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<double>("reading");
    QTest::addColumn<int>("data");
    QTest::addColumn<int>("expectedRows");
    QTest::newRow("same measurement") << t0 << 42.0 << 7 << 1;
    QTest::newRow("one second later") << t0.addSecs(1) << 42.0 << 7 << 2;
    QTest::newRow("another reading") << t0 << 43.0 << 7 << 2;
    QTest::newRow("another data value") << t0 << 42.0 << 8 << 2;
}

void TestStoreProcedures::sameMeasurementIsStoredOnce()
{
    QFETCH(QDateTime, when);
    QFETCH(double, reading);
    QFETCH(int, data);
    QFETCH(int, expectedRows);
    TestDatabase db;
    Importer import(db.connection());
    const int idob = import.object(1, QStringLiteral("Azor"));
    const int other = import.object(2, QStringLiteral("Burek"));
    import.result(idob, t0, 42, 7);
    import.result(other, t0, 42, 7);

    import.result(idob, when, reading, data);

    QCOMPARE(scalar(db.connection(), QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {idob}),
             expectedRows);
    QCOMPARE(scalar(db.connection(), QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {other}),
             1);
}

void TestStoreProcedures::reusedSlotUnderAnotherNameIsANewObject()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    Importer import(c);
    const int azor = import.object(5, QStringLiteral("Azor"));
    import.result(azor, t0, 10, 1);

    const int burek = import.object(5, QStringLiteral("Burek"));
    QVERIFY(burek != azor);
    import.result(burek, t0.addDays(30), 11, 1);
    QCOMPARE(import.object(5, QStringLiteral("Burek")), burek);
    QCOMPARE(import.object(5, QStringLiteral("Azor")), azor);

    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {azor}), 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {burek}), 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY where IDO_INDEV = 5")), 2);
}

void TestStoreProcedures::updateObiektBehavesLikeTheImportProcedure()
{
    TestDatabase db;
    Importer import(db.connection());
    const int idob = import.object(9, QStringLiteral("Dino"));
    store::StoredProcedure update(db.connection(), QStringLiteral("P_UPDATEOBIEKT"));
    const QVariantList params{3, 9, QStringLiteral("Dino"), QString(), QString(), 0};
    for (int i = 0; i < params.size(); ++i)
        update.setParam(i + 1, params.at(i));
    update.execute();
    QCOMPARE(update.outputInteger(7), idob);
    update.setParam(3, QStringLiteral("Dina"));
    update.execute();
    QVERIFY(update.outputInteger(7) > idob);
}

void TestStoreProcedures::objectNameLongerThanTheInstrumentsIsRefused()
{
    TestDatabase db;
    store::StoredProcedure object(db.connection(), QStringLiteral("P_UPDATEOBIEKT_TEMP"));
    // Twenty characters of two bytes each still fit.
    const QString polish = QStringLiteral("ŻółćŻółćŻółćŻółćŻółć");
    object.setParam(3, polish);
    QVERIFY_THROWS_EXCEPTION(store::DatabaseError, object.setParam(3, polish + u'x'));
}

void TestStoreProcedures::marksObjectsOfOneDeviceInBulk()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    Importer import(c);
    import.object(1, QStringLiteral("A"));
    import.object(2, QStringLiteral("B"));
    run(c, QStringLiteral("insert into OBIEKTY (IDDEV, IDO_INDEV, NAZWA_DEV, REZI2) values (4, 1, 'X', 0)"));

    callMarkProcedure(c, QStringLiteral("P_SELECT_OBJECTS"), 3, 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY where IDDEV = 3 and REZI2 = 1")), 2);
    QCOMPARE(scalar(c, QStringLiteral("select REZI2 from OBIEKTY where IDDEV = 4")), 0);

    callMarkProcedure(c, QStringLiteral("P_SELECT_OBJECTS"), 3, 0);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from OBIEKTY where REZI2 = 0")), 3);
}

void TestStoreProcedures::marksResultsOfOneObjectInBulk()
{
    TestDatabase db;
    store::Connection &c = db.connection();
    Importer import(c);
    const int a = import.object(1, QStringLiteral("A"));
    const int b = import.object(2, QStringLiteral("B"));
    for (int i = 0; i < 3; ++i) {
        import.result(a, t0.addDays(i), i, i);
        import.result(b, t0.addDays(i), i, i);
    }
    callMarkProcedure(c, QStringLiteral("P_SELECT_WYNIKI"), a, 1);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where IDOB = ? and REZI1 = 1"), {a}), 3);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where IDOB = ? and REZI1 = 1"), {b}), 0);
    callMarkProcedure(c, QStringLiteral("P_SELECT_WYNIKI"), a, 0);
    QCOMPARE(scalar(c, QStringLiteral("select count(*) from WYNIKI where REZI1 = 1")), 0);
}

void TestStoreProcedures::marksResultsByDate_data()
{
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<QStringList>("marked"); // the comments of the marked results
    const QDate day(2024, 3, 10);
    QTest::newRow("one day in both pickers") << day << day << QStringList{"first second", "last second"};
    QTest::newRow("two days") << day << day.addDays(1)
                              << QStringList{"first second", "last second", "next day"};
    QTest::newRow("from after to") << day.addDays(1) << day << QStringList{};
    QTest::newRow("day without results") << day.addDays(5) << day.addDays(5) << QStringList{};
}

// The pickers give dates; the range runs from the start of the from-day to
// the end of the to-day. Marks set by hand outside it stay.
void TestStoreProcedures::marksResultsByDate()
{
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(QStringList, marked);
    TestDatabase db;
    store::Connection &c = db.connection();
    Importer import(c);
    const int idob = import.object(1, QStringLiteral("A"));
    const QDate day(2024, 3, 10);
    const QList<QPair<QDateTime, QString>> results{
        {QDateTime(day.addDays(-1), QTime(23, 59, 59)), "day before"},
        {QDateTime(day, QTime(0, 0, 0)), "first second"},
        {QDateTime(day, QTime(23, 59, 59)), "last second"},
        {QDateTime(day.addDays(1), QTime(0, 0, 0)), "next day"},
    };
    for (const auto &[when, comment] : results) {
        import.result(idob, when, 1, 1);
        run(c, QStringLiteral("update WYNIKI set REZC = ? where DATACZAS = ?"), {comment, when});
    }
    run(c, QStringLiteral("update WYNIKI set REZI1 = 1 where REZC = 'day before'"));

    markByDates(c, from, to);

    const store::QueryRows rows = store::SqlStatement::select(
        c.database(), QStringLiteral("select REZC from WYNIKI where REZI1 = 1 order by DATACZAS"), {},
        QStringLiteral("test"));
    QStringList actual;
    for (const QVariantList &row : rows.rows)
        actual << row.first().toString();
    QCOMPARE(actual, QStringList{"day before"} + marked);
    QCOMPARE(scalar(c, QStringLiteral("select REZI2 from OBIEKTY")), 0);
}

void TestStoreProcedures::unknownProcedureIsAClearError()
{
    TestDatabase db;
    store::StoredProcedure missing(db.connection(), QStringLiteral("P_NO_SUCH"));
    try {
        missing.execute();
        QFAIL("no error");
    } catch (const store::DatabaseError &error) {
        QVERIFY(error.message().contains(QStringLiteral("P_NO_SUCH")));
    }
}

// Seen from a second connection, which sees committed rows only; and the
// call leaves no transaction of its own open.
void TestStoreProcedures::eachCallIsCommittedAtOnce()
{
    TestDatabase db;
    store::Connection observer;
    observer.open(db.filePath());
    Importer import(db.connection());
    import.result(import.object(1, QStringLiteral("Azor")), t0, 1, 1);
    QCOMPARE(scalar(observer, QStringLiteral("select count(*) from WYNIKI")), 1);
    callMarkProcedure(db.connection(), QStringLiteral("P_SELECT_OBJECTS"), 3, 1);
    QCOMPARE(scalar(observer, QStringLiteral("select REZI2 from OBIEKTY")), 1);
    QCOMPARE(scalar(db.connection(), QStringLiteral("select count(*) from MON$TRANSACTIONS "
                                                    "where MON$ATTACHMENT_ID = current_connection")),
             1);
}

// Seen from a second connection, which sees committed rows only.
void TestStoreProcedures::importTransactionCommitsWhatWasDone()
{
    TestDatabase db;
    store::Connection observer;
    observer.open(db.filePath());
    const QString countResults = QStringLiteral("select count(*) from WYNIKI");
    try {
        store::ImportTransaction transaction(db.connection());
        Importer import(db.connection());
        const int idob = import.object(1, QStringLiteral("Azor"));
        import.result(idob, t0, 1, 1);
        QCOMPARE(scalar(observer, countResults), 0);
        transaction.commit();
        QCOMPARE(scalar(observer, countResults), 1);

        // A failing measurement is skipped by the import; the ones after it
        // are still stored.
        QVERIFY_THROWS_EXCEPTION(store::DatabaseError, import.result(idob + 1000, t0, 2, 2));
        import.result(idob, t0.addDays(1), 3, 3);
        throw std::runtime_error("the instrument went away");
    } catch (const std::runtime_error &) {
    }
    QCOMPARE(scalar(observer, countResults), 2);
    QCOMPARE(scalar(db.connection(), QStringLiteral("select count(*) from OBIEKTY")), 1);
}

QTEST_GUILESS_MAIN(TestStoreProcedures)
#include "tst_store_procedures.moc"
