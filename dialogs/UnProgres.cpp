#include "UnProgres.h"

#include "LanguageClient.h"

#include <QLabel>
#include <QProgressBar>

TProgresForm *ProgresForm = nullptr;

TProgresForm::TProgresForm(QWidget *mainWindow)
    : SmallWindow(mainWindow, QSize(413, 108), Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgresForm"));
    setCentredOnMainWindow(true);

    // Creation order is stacking order: each message covers those before it.
    LabNodevice = addMessage(QStringLiteral("LabNodevice"), QStringLiteral("Device not connected"));
    LabImport = addMessage(QStringLiteral("LabImport"), QStringLiteral("Importing data"));
    LabSearch = addMessage(QStringLiteral("LabSearch"), QStringLiteral("Searching"));
    LabError = addMessage(QStringLiteral("LabError"), QStringLiteral("Import error"));
    LabelFTDI = addMessage(QStringLiteral("LabelFTDI"), QStringLiteral("Installing FTDI driver"));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(40, 66, 333, 31);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    LangManClient1 = new platform::LanguageClient(*this);
}

// Each message is drawn on the window's own background, so a message that is
// on hides whatever lies below it.
QLabel *TProgresForm::addMessage(const QString &objectName, const QString &text)
{
    auto *message = new QLabel(text, this);
    message->setObjectName(objectName);
    message->setGeometry(8, 24, 397, 23);
    message->setAlignment(Qt::AlignCenter);
    message->setAutoFillBackground(true);
    message->hide();
    return message;
}
