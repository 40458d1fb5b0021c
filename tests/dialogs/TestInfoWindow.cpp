#include "DialogTestSupport.h"
#include "UnInfo.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestInfoWindow : public QObject
{
    Q_OBJECT

private slots:
    void messageShownWhole_data();
    void messageShownWhole();
    void shortMessageAfterLongOneKeepsDesignSize();
};

void TestInfoWindow::messageShownWhole_data()
{
    QTest::addColumn<QString>("message");

    QTest::newRow("one line") << "Microsoft Office Excel not installed";
    QTest::newRow("long sentence")
        << "The export needs a spreadsheet program. Install LibreOffice Calc or another program that opens "
           "spreadsheet files, then choose the export again from the main window. Your data are safe.";
    QTest::newRow("long word")
        << "/home/breeder/Documents/exports/kennel-northern-lights-2026-spring-litter.xls";
    QTest::newRow("many lines") << QString("A line of the message.\n").repeated(12);
}

void TestInfoWindow::messageShownWhole()
{
    QFETCH(QString, message);

    TInfoForm window;
    QString shownText;
    QRect label;
    QRect button;
    int neededHeight = 0;
    int widestWord = 0;
    QTimer::singleShot(0, &window, [&] {
        shownText = window.Label2->text();
        label = window.Label2->geometry();
        button = window.BitBtn1->geometry();
        neededHeight = window.Label2->heightForWidth(label.width());
        for (const QString &word : message.split(QRegularExpression("\\s+")))
            widestWord = std::max(widestWord, window.Label2->fontMetrics().horizontalAdvance(word));
        window.BitBtn1->click();
    });
    window.DlgShow(message);

    QCOMPARE(shownText, message);
    QVERIFY2(neededHeight <= label.height(),
             qPrintable(QString("%1 > %2").arg(neededHeight).arg(label.height())));
    QVERIFY(widestWord <= label.width());
    QVERIFY(button.top() >= label.bottom());
    QVERIFY(QRect(QPoint(0, 0), window.size()).contains(button));
    QVERIFY(window.width() >= 341 && window.height() >= 167);
}

void TestInfoWindow::shortMessageAfterLongOneKeepsDesignSize()
{
    TInfoForm window;
    QTimer::singleShot(0, &window, [&] { window.BitBtn1->click(); });
    window.DlgShow(QString("A very long message that needs many lines. ").repeated(10));
    QVERIFY(window.height() > 167);

    QTimer::singleShot(0, &window, [&] { window.BitBtn1->click(); });
    window.DlgShow("Open Office Calc  not installed");
    QCOMPARE(window.size(), QSize(341, 167));
    QCOMPARE(window.BitBtn1->pos(), QPoint(91, 115));
}

std::unique_ptr<QObject> makeInfoWindowTest()
{
    return std::make_unique<TestInfoWindow>();
}

#include "TestInfoWindow.moc"
