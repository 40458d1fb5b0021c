#include "DialogTestSupport.h"
#include "UnProgres.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <memory>

class TestProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void laterMessageCoversEarlier_data();
    void laterMessageCoversEarlier();
    void onTopAndCentredOnMainWindow();
};

void TestProgressWindow::laterMessageCoversEarlier_data()
{
    QTest::addColumn<QStringList>("switchedOn");
    QTest::addColumn<QString>("seen");

    QTest::newRow("searching and installing") << QStringList{"LabSearch", "LabelFTDI"} << "LabelFTDI";
    QTest::newRow("searching and not connected") << QStringList{"LabSearch", "LabNodevice"} << "LabSearch";
    QTest::newRow("importing and error") << QStringList{"LabImport", "LabError"} << "LabError";
    QTest::newRow("all five") << QStringList{"LabNodevice", "LabImport", "LabSearch", "LabError", "LabelFTDI"}
                              << "LabelFTDI";
    QTest::newRow("not connected alone") << QStringList{"LabNodevice"} << "LabNodevice";
}

void TestProgressWindow::laterMessageCoversEarlier()
{
    QFETCH(QStringList, switchedOn);
    QFETCH(QString, seen);

    TProgresForm window;
    // Switched on in reverse, to show that the order of the table decides,
    // not the order of switching.
    for (auto name = switchedOn.crbegin(); name != switchedOn.crend(); ++name)
        window.findChild<QLabel *>(*name)->show();
    window.show();

    QWidget *top = seenAt(window, *window.LabNodevice);
    QVERIFY(top);
    QCOMPARE(top->objectName(), seen);
    const QImage picture = window.grab().toImage();
    const QRect place = window.LabNodevice->geometry();
    QCOMPARE(picture.pixelColor(place.left() + 1, place.top() + 1), QColor(162, 221, 255));
}

void TestProgressWindow::onTopAndCentredOnMainWindow()
{
    QWidget mainWindow;
    mainWindow.setGeometry(40, 60, 1000, 700);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

    TProgresForm window(&mainWindow);
    window.ProgressBar1->setValue(60);
    window.show();
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!window.isModal());
    const QPoint offset = window.frameGeometry().center() - mainWindow.frameGeometry().center();
    QVERIFY(offset.manhattanLength() <= 2);
    QCOMPARE(window.ProgressBar1->minimum(), 0);
    QCOMPARE(window.ProgressBar1->maximum(), 100);
}

std::unique_ptr<QObject> makeProgressWindowTest()
{
    return std::make_unique<TestProgressWindow>();
}

#include "TestProgressWindow.moc"
