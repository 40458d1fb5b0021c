#pragma once

#include "SmallWindow.h"

class QLabel;
class QPushButton;

// The information window: one message and an OK button.
class TInfoForm : public SmallWindow
{
    Q_OBJECT
public:
    explicit TInfoForm(QWidget *mainWindow = nullptr);

    // Shows the message and waits until the user presses OK. A message
    // longer than the label is wrapped, and the window grows to show it whole.
    void DlgShow(const QString &nazwa);

    QLabel *Label2;
    QPushButton *BitBtn1;

private:
    void fitMessage();
};

extern TInfoForm *InfoForm;
