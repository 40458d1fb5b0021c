#include "UEditMyName.h"

#include "LanguageClient.h"
#include "UnInfo.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

TFormEditName *FormEditName = nullptr;

namespace
{
constexpr int BorderWidth = 1;
const QSize ClientSize(503, 252);
} // namespace

TFormEditName::TFormEditName(QWidget *mainWindow)
    : SmallWindow(mainWindow, ClientSize + QSize(2 * BorderWidth, 2 * BorderWidth))
{
    setObjectName(QStringLiteral("FormEditName"));

    LabDesc = addCaption(QStringLiteral("LabDesc"), QStringLiteral("Enter description:"));
    LabComnt = addCaption(QStringLiteral("LabComnt"), QStringLiteral("Enter comment:"));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(BorderWidth + 16, BorderWidth + 40, 473, 146);
    Memo1->setTabChangesFocus(true);
    // Long lines wrap at the memo's edge, as the text is shown in the lists.
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->installEventFilter(this);

    BitBtn1 =
        addPictureButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"), QStringLiteral("button_ok.png"),
                         QPoint(BorderWidth + 40, BorderWidth + 201), 161, ModalResultOk);
    BitBtn2 = addPictureButton(QStringLiteral("BitBtn2"), QStringLiteral("Cancel"),
                               QStringLiteral("button_cancel.png"),
                               QPoint(BorderWidth + 296, BorderWidth + 201), 161, ModalResultCancel);
    // Enter in the memo starts a new line; it never closes the window.
    BitBtn1->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);

    LabTooLong =
        new QLabel(QStringLiteral("The text is too long: this field holds at most %1 characters."), this);
    LabTooLong->setObjectName(QStringLiteral("LabTooLong"));
    LabTooLong->hide();

    setTabOrder(Memo1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    LangManClient1 = new platform::LanguageClient(*this);
}

QLabel *TFormEditName::addCaption(const QString &objectName, const QString &text)
{
    auto *caption = new QLabel(text, this);
    caption->setObjectName(objectName);
    caption->setGeometry(BorderWidth + 16, BorderWidth + 8, 473, 26);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return caption;
}

void TFormEditName::setStoredText(const QString &text)
{
    QString memoText = text;
    memoText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo1->setPlainText(memoText);
    Memo1->moveCursor(QTextCursor::End);
}

QString TFormEditName::storedText() const
{
    QString text = Memo1->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

int TFormEditName::storedLength(const QString &memoText)
{
    return int(memoText.size() + memoText.count(QLatin1Char('\n')));
}

void TFormEditName::accept()
{
    if (storedLength(Memo1->toPlainText()) > StoredTextLimit) {
        tellTextTooLong();
        Memo1->setFocus();
        return;
    }
    SmallWindow::accept();
}

void TFormEditName::tellTextTooLong()
{
    const QString message = LabTooLong->text().arg(StoredTextLimit);
    if (InfoForm) {
        InfoForm->DlgShow(message);
        return;
    }
    TInfoForm info(this);
    info.DlgShow(message);
}

bool TFormEditName::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress)
        return Memo1KeyPress(static_cast<const QKeyEvent &>(*event));
    return SmallWindow::eventFilter(watched, event);
}

// Decides whether a key typed into the memo is discarded. Once the text is
// longer than the typing limit, every key that would add to it goes: a
// printable character, Enter, and the paste shortcut. Backspace, Delete, the
// arrows and the other editing shortcuts still work, so the user can always
// make room.
bool TFormEditName::Memo1KeyPress(const QKeyEvent &key) const
{
    if (storedLength(Memo1->toPlainText()) <= TypingLimit)
        return false;
    if (key.matches(QKeySequence::Paste))
        return true;
    const QString typed = key.text();
    if (typed.isEmpty())
        return false;
    const char32_t first = typed.toUcs4().front();
    const bool lineBreak = first == U'\r' || first == U'\n';
    return lineBreak || QChar::isPrint(first);
}
