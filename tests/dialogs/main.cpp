#include "ProgramPictures.h"

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

std::unique_ptr<QObject> makeSmallWindowLookTest();
std::unique_ptr<QObject> makeConfirmationWindowTest();
std::unique_ptr<QObject> makeInfoWindowTest();
std::unique_ptr<QObject> makeTextEntryWindowTest();
std::unique_ptr<QObject> makeContactWindowTest();
std::unique_ptr<QObject> makeProgressWindowTest();

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    setProgramPictureFolder(QStringLiteral(QEV_RESOURCES_DIR "/pictures"));

    std::vector<std::unique_ptr<QObject>> tests;
    tests.push_back(makeSmallWindowLookTest());
    tests.push_back(makeConfirmationWindowTest());
    tests.push_back(makeInfoWindowTest());
    tests.push_back(makeTextEntryWindowTest());
    tests.push_back(makeContactWindowTest());
    tests.push_back(makeProgressWindowTest());

    int failures = 0;
    for (const auto &test : tests)
        failures += QTest::qExec(test.get(), argc, argv);
    return failures == 0 ? 0 : 1;
}
