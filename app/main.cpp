// The program entry: the application object, the windows, the message loop.
#include "MainUniQEV.h"
#include "ProgramFont.h"
#include "QevApplication.h"

int main(int argc, char *argv[])
{
    QevApplication application(argc, argv);
    QevApplication::setApplicationName(QStringLiteral("QEV_Data"));
    QevApplication::setApplicationDisplayName(QStringLiteral("QEV Data"));
    QevApplication::setFont(programFont(12));

    // The windows are created in a fixed order, the main window first; the
    // main window's start-up runs when the loop first shows it, after all
    // of them exist.
    TMainUniQEVForm mainWindow;
    MainUniQEVForm = &mainWindow;

    mainWindow.show();
    const int exitCode = QevApplication::exec();
    MainUniQEVForm = nullptr;
    return exitCode;
}
