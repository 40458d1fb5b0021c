// The test executable of the main window's editing: the application object
// with an error display that fails the running test, then each test class.
#include "ProgramPictures.h"
#include "QevApplication.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

std::unique_ptr<QObject> makeMainWindowEditingTest();
std::unique_ptr<QObject> makeMainWindowContactTest();

int main(int argc, char *argv[])
{
    // The user's folders of a test run are its own.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());

    QevApplication application(argc, argv);
    QevApplication::setErrorDisplay([](const QString &message) { QFAIL(qPrintable(message)); });
    setProgramPictureFolder(QStringLiteral(QEV_RESOURCES_DIR "/pictures"));

    int failures = 0;
    for (const auto &test : {makeMainWindowEditingTest(), makeMainWindowContactTest()})
        failures += QTest::qExec(test.get(), argc, argv);
    return failures == 0 ? 0 : 1;
}
