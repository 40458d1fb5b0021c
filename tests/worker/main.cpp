#include "TestRegistry.h"
#include "TestWorker.h"

#include <QCoreApplication>
#include <QTest>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    int failures = 0;
    TestRegistry registry;
    failures += QTest::qExec(&registry, argc, argv);
    TestWorker worker;
    failures += QTest::qExec(&worker, argc, argv);
    return failures == 0 ? 0 : 1;
}
