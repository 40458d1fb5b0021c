#include "TestRegistry.h"

#include "blinklist.h"
#include "bsearchtree.h"

#include <QTest>

#include <memory>
#include <string>

namespace
{

// Two decimal keys that land in one bucket.
const std::string FirstOfBucket = "-99999";
const std::string SecondOfBucket = "-99599";

std::unique_ptr<thashtable> emptyTable()
{
    auto table = std::make_unique<thashtable>();
    table->fill(nullptr);
    return table;
}

// Frees what a test left in the table.
struct TableGuard {
    thashtable &table;
    ~TableGuard() { hashClear(table); }
};

struct Node : tlinklist {
    explicit Node(char name) : name(name) {}
    char name;
};

QByteArray forwardNames(const tlinklist *head)
{
    QByteArray names;
    for (const tlinklist *node = head; node; node = node->next)
        names.append(static_cast<const Node *>(node)->name);
    return names;
}

// The names read backwards from the last node, through prev.
QByteArray backwardNames(const tlinklist *head)
{
    const tlinklist *last = head;
    while (last && last->next)
        last = last->next;
    QByteArray names;
    for (const tlinklist *node = last; node; node = node->prev)
        names.prepend(static_cast<const Node *>(node)->name);
    return names;
}

} // namespace

void TestRegistry::bucketIndexIsFixed_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("bucket");
    QTest::newRow("digit 0") << QByteArray("0") << 48;
    QTest::newRow("-1") << QByteArray("-1") << 2929;
    QTest::newRow("12345678") << QByteArray("12345678") << 6447;
    QTest::newRow("empty") << QByteArray() << 0;
    // A 64-bit identity: the high bits must still fold into the range.
    QTest::newRow("long key") << QByteArray("-9223372036854775808") << -1;
}

void TestRegistry::bucketIndexIsFixed()
{
    QFETCH(QByteArray, key);
    QFETCH(int, bucket);
    const std::int32_t index = hashIndex(key.toStdString());
    if (bucket < 0)
        QVERIFY(index >= 0 && index < hashBucketCount);
    else
        QCOMPARE(index, bucket);
}

void TestRegistry::unlinkKeepsTheOtherNodesInOrder_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("remaining");
    QTest::newRow("first") << 0 << QByteArray("bc");
    QTest::newRow("middle") << 1 << QByteArray("ac");
    QTest::newRow("last") << 2 << QByteArray("ab");
}

void TestRegistry::unlinkKeepsTheOtherNodesInOrder()
{
    QFETCH(int, position);
    QFETCH(QByteArray, remaining);
    Node a('a'), b('b'), c('c');
    tlinklist *head = nullptr;
    linkAtHead(head, &c);
    linkAtHead(head, &b);
    linkAtHead(head, &a);
    QCOMPARE(forwardNames(head), QByteArray("abc"));
    QCOMPARE(backwardNames(head), QByteArray("abc"));
    QCOMPARE(head->prev, nullptr);

    Node *nodes[] = {&a, &b, &c};
    unlinkItem(head, nodes[position]);
    QCOMPARE(forwardNames(head), remaining);
    QCOMPARE(backwardNames(head), remaining);
}

void TestRegistry::keysSharingABucketAreBothFound_data()
{
    QTest::addColumn<bool>("removeTheLaterOne");
    QTest::newRow("remove the first of the bucket") << true;
    QTest::newRow("remove the second of the bucket") << false;
}

void TestRegistry::keysSharingABucketAreBothFound()
{
    QFETCH(bool, removeTheLaterOne);
    QCOMPARE(hashIndex(FirstOfBucket), hashIndex(SecondOfBucket));
    auto table = emptyTable();
    TableGuard guard{*table};
    int earlier = 1, later = 2;
    hashAdd(*table, FirstOfBucket, &earlier);
    hashAdd(*table, SecondOfBucket, &later);
    QCOMPARE(hashFind(*table, FirstOfBucket), &earlier);
    QCOMPARE(hashFind(*table, SecondOfBucket), &later);

    const std::string removed = removeTheLaterOne ? SecondOfBucket : FirstOfBucket;
    const std::string kept = removeTheLaterOne ? FirstOfBucket : SecondOfBucket;
    hashRemove(*table, removed);
    QCOMPARE(hashFind(*table, removed), nullptr);
    QCOMPARE(hashFind(*table, kept), removeTheLaterOne ? &earlier : &later);
    const auto *head = static_cast<const thashitem *>((*table)[hashIndex(kept)]);
    QVERIFY(head);
    QCOMPARE(head->s, kept);
    QCOMPARE(head->prev, nullptr);
    QCOMPARE(head->next, nullptr);
}

void TestRegistry::keyAddedTwiceIsFoundLatestFirst()
{
    auto table = emptyTable();
    TableGuard guard{*table};
    int first = 1, second = 2;
    hashAdd(*table, "42", &first);
    hashAdd(*table, "42", &second);
    QCOMPARE(hashFind(*table, "42"), &second);
    hashRemove(*table, "42");
    QCOMPARE(hashFind(*table, "42"), &first);
    hashRemove(*table, "42");
    QCOMPARE(hashFind(*table, "42"), nullptr);
    QCOMPARE((*table)[hashIndex("42")], nullptr);
}

void TestRegistry::removingAnAbsentKeyChangesNothing()
{
    auto table = emptyTable();
    TableGuard guard{*table};
    int value = 1;
    hashAdd(*table, FirstOfBucket, &value);
    const tlinklist *head = (*table)[hashIndex(FirstOfBucket)];
    hashRemove(*table, SecondOfBucket); // same bucket, other key
    hashRemove(*table, "7");
    QCOMPARE((*table)[hashIndex(FirstOfBucket)], head);
    QCOMPARE(hashFind(*table, FirstOfBucket), &value);
}

void TestRegistry::clearEmptiesEveryBucket()
{
    auto table = emptyTable();
    int value = 1;
    for (int key = -50; key < 50; ++key)
        hashAdd(*table, std::to_string(key), &value);
    hashAdd(*table, FirstOfBucket, &value);
    hashAdd(*table, SecondOfBucket, &value);
    hashClear(*table);
    for (const tlinklist *head : *table)
        QCOMPARE(head, nullptr);
}
