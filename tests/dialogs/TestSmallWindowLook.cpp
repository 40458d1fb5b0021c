#include "UEditMyName.h"
#include "UnInfo.h"
#include "UnKontakt.h"
#include "UnProgres.h"
#include "UnPytanie.h"
#include "UnViewForm.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace
{

std::unique_ptr<SmallWindow> makeWindow(const QString &name)
{
    if (name == "confirmation")
        return std::make_unique<TPytForm>();
    if (name == "information")
        return std::make_unique<TInfoForm>();
    if (name == "text entry")
        return std::make_unique<TFormEditName>();
    if (name == "pop-up")
        return std::make_unique<TViewForm>();
    if (name == "contact")
        return std::make_unique<TFormKontakt>();
    return std::make_unique<TProgresForm>();
}

} // namespace

class TestSmallWindowLook : public QObject
{
    Q_OBJECT

private slots:
    void frameAndBackground_data();
    void frameAndBackground();
    void textsFitTheirLabels_data() { frameAndBackground_data(); }
    void textsFitTheirLabels();
    void buttonPicturesAreLoaded_data() { frameAndBackground_data(); }
    void buttonPicturesAreLoaded();
};

void TestSmallWindowLook::frameAndBackground_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("background");

    const QColor light(162, 221, 255);
    QTest::newRow("confirmation") << "confirmation" << QSize(377, 135) << light;
    QTest::newRow("information") << "information" << QSize(341, 167) << light;
    QTest::newRow("text entry, 1-pixel border") << "text entry" << QSize(505, 254) << light;
    QTest::newRow("pop-up") << "pop-up" << QSize(414, 172) << light;
    QTest::newRow("contact, 3-pixel border") << "contact" << QSize(353, 368) << QColor(218, 241, 255);
    QTest::newRow("progress") << "progress" << QSize(413, 108) << light;
}

void TestSmallWindowLook::frameAndBackground()
{
    QFETCH(QString, window);
    QFETCH(QSize, size);
    QFETCH(QColor, background);

    const auto shown = makeWindow(window);
    QVERIFY(shown->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(shown->size(), size);

    const QImage picture = shown->grab().toImage();
    const QColor frame(47, 133, 184);
    const int right = size.width() - 1;
    const int bottom = size.height() - 1;
    for (QPoint onFrame : {QPoint(0, 0), QPoint(1, 1), QPoint(right, bottom), QPoint(right - 1, bottom / 2),
                           QPoint(size.width() / 2, bottom - 1)})
        QVERIFY2(picture.pixelColor(onFrame) == frame,
                 qPrintable(QString("no frame at %1,%2").arg(onFrame.x()).arg(onFrame.y())));
    QCOMPARE(picture.pixelColor(right - 2, bottom - 2), background);
}

// With the fonts the program runs with, every English text fits the label
// that shows it: nothing is cut off.
void TestSmallWindowLook::textsFitTheirLabels()
{
    QFETCH(QString, window);
    const auto shown = makeWindow(window);
    shown->ensurePolished();

    for (QLabel *label : shown->findChildren<QLabel *>()) {
        // The text entry window's hidden message is a template for the
        // information window, never shown in its own label.
        if (label->text().isEmpty() || label->objectName() == "LabTooLong")
            continue;
        const QRect room = label->contentsRect();
        const QRect needed = label->fontMetrics().boundingRect(room, int(label->alignment()), label->text());
        QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                 qPrintable(QString("%1 needs %2x%3, has %4x%5")
                                .arg(label->objectName())
                                .arg(needed.width())
                                .arg(needed.height())
                                .arg(room.width())
                                .arg(room.height())));
    }
}

void TestSmallWindowLook::buttonPicturesAreLoaded()
{
    QFETCH(QString, window);
    const auto shown = makeWindow(window);
    for (QPushButton *button : shown->findChildren<QPushButton *>())
        QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
}

std::unique_ptr<QObject> makeSmallWindowLookTest()
{
    return std::make_unique<TestSmallWindowLook>();
}

#include "TestSmallWindowLook.moc"
