#include "UnPytanie.h"

#include "LanguageClient.h"

#include <QLabel>
#include <QPushButton>

TPytForm *PytForm = nullptr;

TPytForm::TPytForm(QWidget *mainWindow) : SmallWindow(mainWindow, QSize(377, 135))
{
    setObjectName(QStringLiteral("PytForm"));
    setCentredOnMainWindow(true);

    Label1 = addQuestion(QStringLiteral("Label1"), QStringLiteral("Deleting records.\nAre you sure?"));
    Label2 = addQuestion(QStringLiteral("Label2"),
                         QStringLiteral("Deleting an animal and its records.\nAre you sure?"));

    BitBtn1 = addPictureButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"),
                               QStringLiteral("button_ok.png"), QPoint(20, 75), 160, ModalResultOk);
    BitBtn2 = addPictureButton(QStringLiteral("BitBtn2"), QStringLiteral("Cancel"),
                               QStringLiteral("button_cancel.png"), QPoint(198, 75), 160, ModalResultCancel);

    // A deletion is never confirmed by a stray Enter: Cancel is the default
    // button even while OK has the focus, and OK comes first in the tab order.
    BitBtn1->setAutoDefault(false);
    BitBtn2->setDefault(true);
    setTabOrder(BitBtn1, BitBtn2);
    LangManClient1 = new platform::LanguageClient(*this);
}

QLabel *TPytForm::addQuestion(const QString &objectName, const QString &text)
{
    auto *question = new QLabel(text, this);
    question->setObjectName(objectName);
    question->setGeometry(20, 16, 338, 46);
    question->setAlignment(Qt::AlignCenter);
    return question;
}

void TPytForm::showEvent(QShowEvent *event)
{
    FormShow();
    SmallWindow::showEvent(event);
}

void TPytForm::FormShow()
{
    Label1->setVisible(NumerKomunikatu == QuestionDeleteRecords);
    Label2->setVisible(NumerKomunikatu == QuestionDeleteAnimal);
}
