#include "Connection.h"
#include "DatabaseError.h"
#include "Dataset.h"
#include "TestDatabase.h"

#include <QtTest>

class TestStoreConnection : public QObject
{
    Q_OBJECT

private slots:
    void opensTheSchemaAndItsFixedRows();
};

void TestStoreConnection::opensTheSchemaAndItsFixedRows()
{
    TestDatabase db;
    store::Dataset devices(db.connection());
    devices.openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    QVERIFY(devices.locate(QStringLiteral("IDDEV"), 3));
    QCOMPARE(devices.asString(QStringLiteral("DEV_TYPE")), QStringLiteral("QEV"));
}

QTEST_GUILESS_MAIN(TestStoreConnection)
#include "tst_store_connection.moc"
