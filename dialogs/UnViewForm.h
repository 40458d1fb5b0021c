#pragma once

#include "SmallWindow.h"

class QFrame;
class QLabel;
class QPlainTextEdit;

// The pop-up shown beside a chart point while the pointer rests on it: the
// measurement's date and time, its value and its comment. The caller fills
// the three controls, moves the window and shows and hides it; the window
// never takes the focus from the chart.
class TViewForm : public SmallWindow
{
    Q_OBJECT
public:
    explicit TViewForm(QWidget *mainWindow = nullptr);

    QFrame *Panel1;
    QLabel *Label1;
    QLabel *Label2;
    QFrame *Panel2;
    QPlainTextEdit *Memo1;
};

extern TViewForm *ViewForm;
