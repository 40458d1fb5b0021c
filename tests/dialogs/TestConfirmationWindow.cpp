#include "DialogTestSupport.h"
#include "UnPytanie.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestConfirmationWindow : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
    void questionFollowsNumerKomunikatu_data();
    void questionFollowsNumerKomunikatu();
    void centredOnMainWindow();
};

void TestConfirmationWindow::answers_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");

    QTest::newRow("OK clicked") << "click OK" << 1;
    QTest::newRow("Cancel clicked") << "click Cancel" << 2;
    QTest::newRow("Escape") << "Escape" << 2;
    QTest::newRow("closed by the window manager") << "close" << 2;
    QTest::newRow("Enter presses the default Cancel") << "Enter" << 2;
    QTest::newRow("Enter with OK focused still declines") << "Enter on OK" << 2;
    QTest::newRow("Space on the focused OK") << "Space on OK" << 1;
}

void TestConfirmationWindow::answers()
{
    QFETCH(QString, action);
    QFETCH(int, answer);

    TPytForm window;
    window.NumerKomunikatu = 1;
    const int answered = execWhile(window, [&] {
        if (action == "click OK")
            window.BitBtn1->click();
        else if (action == "click Cancel")
            window.BitBtn2->click();
        else if (action == "Escape")
            QTest::keyClick(&window, Qt::Key_Escape);
        else if (action == "close")
            window.close();
        else if (action == "Enter")
            QTest::keyClick(&window, Qt::Key_Return);
        else if (action == "Enter on OK")
            QTest::keyClick(window.BitBtn1, Qt::Key_Return);
        else if (action == "Space on OK")
            QTest::keyClick(window.BitBtn1, Qt::Key_Space);
        if (window.isVisible())
            window.done(99); // the action left the window open
    });
    QCOMPARE(answered, answer);
}

void TestConfirmationWindow::questionFollowsNumerKomunikatu_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("recordsQuestion");
    QTest::addColumn<bool>("animalQuestion");

    QTest::newRow("1: deleting records") << 1 << true << false;
    QTest::newRow("2: deleting an animal") << 2 << false << true;
    QTest::newRow("0: no question") << 0 << false << false;
    QTest::newRow("3: no question") << 3 << false << false;
}

void TestConfirmationWindow::questionFollowsNumerKomunikatu()
{
    QFETCH(int, number);
    QFETCH(bool, recordsQuestion);
    QFETCH(bool, animalQuestion);

    TPytForm window;
    // The window is reused: what the last showing left must not matter.
    window.NumerKomunikatu = 3 - number;
    execWhile(window, [&] { window.BitBtn2->click(); });

    window.NumerKomunikatu = number;
    bool seenRecords = false;
    bool seenAnimal = false;
    execWhile(window, [&] {
        seenRecords = window.Label1->isVisible();
        seenAnimal = window.Label2->isVisible();
        window.BitBtn2->click();
    });
    QCOMPARE(seenRecords, recordsQuestion);
    QCOMPARE(seenAnimal, animalQuestion);
    QVERIFY(window.Label1->text().contains("Deleting records."));
    QVERIFY(window.Label2->text().contains("Deleting an animal and its records."));
}

void TestConfirmationWindow::centredOnMainWindow()
{
    QWidget mainWindow;
    mainWindow.setGeometry(150, 120, 900, 640);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    TPytForm window(&mainWindow);
    QPoint centre;
    execWhile(window, [&] {
        centre = window.frameGeometry().center();
        window.BitBtn2->click();
    });
    const QPoint offset = centre - mainWindow.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QString("off by %1,%2").arg(offset.x()).arg(offset.y())));
}

std::unique_ptr<QObject> makeConfirmationWindowTest()
{
    return std::make_unique<TestConfirmationWindow>();
}

#include "TestConfirmationWindow.moc"
