#pragma once

#include "SmallWindow.h"

class QLabel;
class QPushButton;

namespace platform
{
class LanguageClient;
} // namespace platform

// The confirmation window asked before a deletion. The caller chooses the
// question in NumerKomunikatu and shows the window modally; 1 means the user
// confirmed, anything else that the user declined.
class TPytForm : public SmallWindow
{
    Q_OBJECT
public:
    static constexpr int QuestionDeleteRecords = 1;
    static constexpr int QuestionDeleteAnimal = 2;

    explicit TPytForm(QWidget *mainWindow = nullptr);

    int NumerKomunikatu = 0;

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    platform::LanguageClient *LangManClient1;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *addQuestion(const QString &objectName, const QString &text);
    void FormShow();
};

extern TPytForm *PytForm;
