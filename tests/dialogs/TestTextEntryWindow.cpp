#include "DialogTestSupport.h"
#include "UEditMyName.h"
#include "UnInfo.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace
{

// A memo text of the given stored length (line breaks counting two) with
// one line break in the middle when asked.
QString textOfStoredLength(int length, bool withLineBreak)
{
    if (!withLineBreak)
        return QString(length, QLatin1Char('a'));
    const int characters = length - 2;
    return QString(characters / 2, QLatin1Char('a')) + "\n" +
           QString(characters - characters / 2, QLatin1Char('b'));
}

} // namespace

class TestTextEntryWindow : public QObject
{
    Q_OBJECT

private slots:
    void typingLimit_data();
    void typingLimit();
    void okHandsOverTheTextWithStoredLineBreaks();
    void cancelAndEscapeDecline_data();
    void cancelAndEscapeDecline();
    void pastedTextTooLongIsRefusedWithMessage();
    void textFillingTheColumnExactlyIsAccepted();
};

void TestTextEntryWindow::typingLimit_data()
{
    QTest::addColumn<int>("storedLength");
    QTest::addColumn<bool>("withLineBreak");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expectedLength");

    QTest::newRow("245: one more character") << 245 << false << "x" << 246;
    QTest::newRow("246: character refused") << 246 << false << "x" << 246;
    QTest::newRow("246: space refused") << 246 << false << "space" << 246;
    QTest::newRow("245: Enter adds a line break of two") << 245 << false << "Enter" << 247;
    QTest::newRow("246: Enter refused") << 246 << false << "Enter" << 246;
    QTest::newRow("246: backspace deletes") << 246 << false << "Backspace" << 245;
    QTest::newRow("246: Delete deletes") << 246 << false << "Delete" << 245;
    QTest::newRow("245 with a line break: one more") << 245 << true << "x" << 246;
    QTest::newRow("246 with a line break: refused") << 246 << true << "x" << 246;
    QTest::newRow("246 with a line break: backspace") << 246 << true << "Backspace" << 245;
    QTest::newRow("245: Ctrl+V pastes") << 245 << false << "Ctrl+V" << 249;
    QTest::newRow("246: Ctrl+V refused") << 246 << false << "Ctrl+V" << 246;
    QTest::newRow("246: Shift+Insert refused") << 246 << false << "Shift+Insert" << 246;
    QTest::newRow("100: typing goes on") << 100 << true << "x" << 101;
}

void TestTextEntryWindow::typingLimit()
{
    QFETCH(int, storedLength);
    QFETCH(bool, withLineBreak);
    QFETCH(QString, key);
    QFETCH(int, expectedLength);

    QGuiApplication::clipboard()->setText("abcd");
    TFormEditName window;
    window.show();
    window.Memo1->setPlainText(textOfStoredLength(storedLength, withLineBreak));
    QCOMPARE(TFormEditName::storedLength(window.Memo1->toPlainText()), storedLength);
    window.Memo1->setFocus();
    window.Memo1->moveCursor(key == "Delete" ? QTextCursor::Start : QTextCursor::End);

    if (key == "x")
        QTest::keyClick(window.Memo1, Qt::Key_X);
    else if (key == "space")
        QTest::keyClick(window.Memo1, Qt::Key_Space);
    else if (key == "Enter")
        QTest::keyClick(window.Memo1, Qt::Key_Return);
    else if (key == "Backspace")
        QTest::keyClick(window.Memo1, Qt::Key_Backspace);
    else if (key == "Delete")
        QTest::keyClick(window.Memo1, Qt::Key_Delete);
    else if (key == "Ctrl+V")
        QTest::keyClick(window.Memo1, Qt::Key_V, Qt::ControlModifier);
    else if (key == "Shift+Insert")
        QTest::keyClick(window.Memo1, Qt::Key_Insert, Qt::ShiftModifier);

    QCOMPARE(TFormEditName::storedLength(window.Memo1->toPlainText()), expectedLength);
    QVERIFY(window.isVisible());
}

void TestTextEntryWindow::okHandsOverTheTextWithStoredLineBreaks()
{
    TFormEditName window;
    window.setStoredText("Bitch from the spring litter,\r\nquiet.");
    QCOMPARE(window.Memo1->blockCount(), 2);

    const int answer = execWhile(window, [&] {
        window.Memo1->moveCursor(QTextCursor::End);
        QTest::keyClick(window.Memo1, Qt::Key_Return);
        QTest::keyClicks(window.Memo1, "Ok");
        window.BitBtn1->click();
    });
    QCOMPARE(answer, 1);
    QCOMPARE(window.storedText(), QString("Bitch from the spring litter,\r\nquiet.\r\nOk"));
}

void TestTextEntryWindow::cancelAndEscapeDecline_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel") << false;
    QTest::newRow("Escape in the memo") << true;
}

void TestTextEntryWindow::cancelAndEscapeDecline()
{
    QFETCH(bool, escape);

    TFormEditName window;
    window.setStoredText("kept");
    const int answer = execWhile(window, [&] {
        QTest::keyClicks(window.Memo1, " changed");
        if (escape)
            QTest::keyClick(window.Memo1, Qt::Key_Escape);
        else
            window.BitBtn2->click();
    });
    QCOMPARE(answer, 2);
}

// A text longer than the column can only arrive by pasting through the
// memo's menu. OK then keeps the window open, says how much the field holds,
// and leaves the text as it is, so nothing the user wrote is lost.
void TestTextEntryWindow::pastedTextTooLongIsRefusedWithMessage()
{
    TInfoForm information;
    InfoForm = &information;
    TFormEditName window;
    const QString pasted = QString("0123456789").repeated(30);

    QString message;
    bool stillOpenAfterMessage = false;
    QString textAfterMessage;
    const int answer = execWhile(window, [&] {
        window.Memo1->insertPlainText(pasted);
        QTimer::singleShot(0, &information, [&] {
            message = information.Label2->text();
            information.BitBtn1->click();
        });
        window.BitBtn1->click();
        stillOpenAfterMessage = window.isVisible();
        textAfterMessage = window.Memo1->toPlainText();
        window.BitBtn2->click();
    });
    InfoForm = nullptr;

    QCOMPARE(answer, 2);
    QVERIFY(stillOpenAfterMessage);
    QCOMPARE(textAfterMessage, pasted);
    QVERIFY2(message.contains("too long") && message.contains("250"), qPrintable(message));
}

void TestTextEntryWindow::textFillingTheColumnExactlyIsAccepted()
{
    TFormEditName window;
    window.Memo1->setPlainText(textOfStoredLength(250, true));
    const int answer = execWhile(window, [&] { window.BitBtn1->click(); });
    QCOMPARE(answer, 1);
    QCOMPARE(window.storedText().size(), 250);
}

std::unique_ptr<QObject> makeTextEntryWindowTest()
{
    return std::make_unique<TestTextEntryWindow>();
}

#include "TestTextEntryWindow.moc"
