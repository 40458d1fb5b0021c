// The program entry: the application object, the windows, the message loop.
#include "FTDIthread.h"
#include "MainUniQEV.h"
#include "ProgramFont.h"
#include "QevApplication.h"
#include "UEditMyName.h"
#include "UnChart.h"
#include "UnInfo.h"
#include "UnKontakt.h"
#include "UnProgres.h"
#include "UnPytanie.h"
#include "UnViewForm.h"

int main(int argc, char *argv[])
{
    QevApplication application(argc, argv);
    QevApplication::setApplicationName(QStringLiteral("QEV_Data"));
    QevApplication::setApplicationDisplayName(QStringLiteral("QEV Data"));
    QevApplication::setFont(programFont(12));
    const ftdiThreadModule linkEvents;

    // The windows are created once, in a fixed order, the main window first;
    // the main window owns the others. Its start-up runs when the loop first
    // shows it, after all of them exist.
    TMainUniQEVForm mainWindow;
    MainUniQEVForm = &mainWindow;
    FormEditName = new TFormEditName(&mainWindow);
    WykresForm = new TWykresForm(&mainWindow);
    ProgresForm = new TProgresForm(&mainWindow);
    PytForm = new TPytForm(&mainWindow);
    InfoForm = new TInfoForm(&mainWindow);
    ViewForm = new TViewForm(&mainWindow);
    FormKontakt = new TFormKontakt(&mainWindow);

    mainWindow.show();
    return QevApplication::exec();
}
