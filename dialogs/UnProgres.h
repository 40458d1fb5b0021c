#pragma once

#include "SmallWindow.h"

class QLabel;
class QProgressBar;

namespace platform
{
class LanguageClient;
} // namespace platform

// The progress window of the instrument search and the import. It has no
// logic of its own: its users switch the five messages on and off, move the
// bar, and show and hide the window. The messages share one place; where
// several are on, the one created later covers the earlier ones, so
// LabelFTDI covers all.
class TProgresForm : public SmallWindow
{
    Q_OBJECT
public:
    explicit TProgresForm(QWidget *mainWindow = nullptr);

    QLabel *LabNodevice;
    QLabel *LabImport;
    QLabel *LabSearch;
    QLabel *LabError;
    QLabel *LabelFTDI;
    QProgressBar *ProgressBar1;
    platform::LanguageClient *LangManClient1;

private:
    QLabel *addMessage(const QString &objectName, const QString &text);
};

extern TProgresForm *ProgresForm;
