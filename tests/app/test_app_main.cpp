// The test executable of the main window: the application object with its
// error display recording what would be shown, then each test class.
#include "ErrorLog.h"
#include "QevApplication.h"
#include "TestErrorDisplay.h"
#include "TestMainWindowLists.h"
#include "TestMainWindowStartUp.h"

#include <QTemporaryDir>
#include <QtTest>

QStringList &shownErrors()
{
    static QStringList errors;
    return errors;
}

int main(int argc, char *argv[])
{
    // The user's folders of a test run are its own.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());

    QevApplication application(argc, argv);
    QevApplication::setErrorDisplay([](const QString &message) { shownErrors().append(message); });

    int failures = 0;
    TestErrorDisplay errorDisplay;
    failures += QTest::qExec(&errorDisplay, argc, argv);
    TestMainWindowStartUp startUp;
    failures += QTest::qExec(&startUp, argc, argv);
    TestMainWindowLists lists;
    failures += QTest::qExec(&lists, argc, argv);
    return failures == 0 ? 0 : 1;
}
