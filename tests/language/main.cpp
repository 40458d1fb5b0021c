#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> makeLanguageEngineTest();
std::unique_ptr<QObject> makeTranslationsTest();
std::unique_ptr<QObject> makeMainWindowLanguageTest();

int main(int argc, char **argv)
{
    QApplication application(argc, argv);

    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(makeLanguageEngineTest());
    tests.push_back(makeTranslationsTest());
    tests.push_back(makeMainWindowLanguageTest());

    int failures = 0;
    for (const auto &test : tests)
        failures += QTest::qExec(test.get(), argc, argv);
    return failures == 0 ? 0 : 1;
}
