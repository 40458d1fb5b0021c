#pragma once

#include "SmallWindow.h"

class QKeyEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace platform
{
class LanguageClient;
} // namespace platform

// The text entry window for an animal's description and a result's comment.
// The caller fills the memo, shows one of the two captions, places the
// window and shows it modally; OK means the caller takes over the text.
class TFormEditName : public SmallWindow
{
    Q_OBJECT
public:
    // Typing stops once the text is longer than this; line breaks count two
    // characters each, as they are stored.
    static constexpr int TypingLimit = 245;
    // What the description and comment columns hold.
    static constexpr int StoredTextLimit = 250;

    explicit TFormEditName(QWidget *mainWindow = nullptr);

    // The memo's text in the form it is stored in: line breaks as CR LF, so
    // that descriptions written on any system read the same.
    void setStoredText(const QString &text);
    QString storedText() const;
    static int storedLength(const QString &memoText);

    // OK closes the window only when the text fits its column; otherwise the
    // user is told how many characters the field holds and goes on editing.
    void accept() override;

    QLabel *LabDesc;
    QLabel *LabComnt;
    QPlainTextEdit *Memo1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;
    // The message shown when a text does not fit; %1 is the field's length.
    QLabel *LabTooLong;
    platform::LanguageClient *LangManClient1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *addCaption(const QString &objectName, const QString &text);
    bool Memo1KeyPress(const QKeyEvent &key) const;
    void tellTextTooLong();
};

extern TFormEditName *FormEditName;
