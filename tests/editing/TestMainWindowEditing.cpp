#include "DatePicker.h"
#include "DbGrid.h"
#include "MainUniQEV.h"
#include "MainWindowDriver.h"
#include "ProgramFolder.h"
#include "UEditMyName.h"
#include "UnInfo.h"
#include "UnPytanie.h"

#include <Connection.h>
#include <Dataset.h>
#include <SqlStatement.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace
{

const QDate MarkedDay(2026, 5, 30);

// What the next modal window saw and did; the answer runs once the window's
// own loop is up.
struct ModalAnswer {
    bool opened = false;
};

std::shared_ptr<ModalAnswer> answerNextModal(std::function<void(QWidget &)> answer)
{
    auto seen = std::make_shared<ModalAnswer>();
    QTimer::singleShot(0, [seen, answer = std::move(answer)] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen->opened = true;
            answer(*modal);
        }
    });
    return seen;
}

void clickOk(QWidget &window)
{
    window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
}

void clickCancel(QWidget &window)
{
    window.findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
}

} // namespace

class TestMainWindowEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void editDescription_data();
    void editDescription();
    void editCommentKeepsLineBreaks();
    void pastedTextTooLongIsNotStored();
    void textEntryWindowPlacedAtPointer_data();
    void textEntryWindowPlacedAtPointer();

    void deleteMarkedRecords_data();
    void deleteMarkedRecords();
    void deleteObjectWithItsResults();
    void deleteObjectWithoutResults();
    void cancelledConfirmationChangesNothing_data();
    void cancelledConfirmationChangesNothing();
    void emptyListsCreateAndDeleteNothing_data();
    void emptyListsCreateAndDeleteNothing();

    void markByDateMarksThatDayAcrossObjects();
    void popUpMenus();

private:
    int scalar(const QString &sql, const QVariantList &params = {});
    void makeCurrent(int objectId);

    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<TMainUniQEVForm> window;
    int bella = 0;
    int luna = 0;
    int mila = 0;
};

void TestMainWindowEditing::init()
{
    folder = std::make_unique<ProgramFolder>();
    bella = folder->addObject(1, QStringLiteral("Bella"));
    luna = folder->addObject(2, QStringLiteral("Luna"));
    mila = folder->addObject(3, QStringLiteral("Mila"));
    folder->addResult(bella, QDateTime(MarkedDay.addDays(-1), QTime(23, 59, 59)), 310);
    folder->addResult(bella, QDateTime(MarkedDay, QTime(0, 0, 0)), 320);
    folder->addResult(bella, QDateTime(MarkedDay, QTime(21, 30)), 330);
    folder->addResult(bella, QDateTime(MarkedDay.addDays(1), QTime(0, 0, 0)), 340);
    folder->addResult(luna, QDateTime(MarkedDay, QTime(12, 0)), 410);
    folder->addResult(luna, QDateTime(MarkedDay.addDays(3), QTime(10, 0)), 420);
    folder->execute(QStringLiteral("update OBIEKTY set OPIS = ? where IDOB = ?"),
                    {QStringLiteral("calm"), bella});

    window = openMainWindow(*folder);
    FormEditName = new TFormEditName(window.get());
    PytForm = new TPytForm(window.get());
    InfoForm = new TInfoForm(window.get());
}

void TestMainWindowEditing::cleanup()
{
    window.reset();
    FormEditName = nullptr;
    PytForm = nullptr;
    InfoForm = nullptr;
    folder.reset();
}

int TestMainWindowEditing::scalar(const QString &sql, const QVariantList &params)
{
    const auto result =
        store::SqlStatement::select(window->FDConnection1->database(), sql, params, QStringLiteral("test"));
    return result.rows.isEmpty() ? -1 : result.rows.first().first().toInt();
}

void TestMainWindowEditing::makeCurrent(int objectId)
{
    QVERIFY(window->FDQObiekty->locate(QStringLiteral("IDOB"), objectId));
    QCOMPARE(window->FDQObiekty->asInteger(QStringLiteral("IDOB")), objectId);
}

void TestMainWindowEditing::editDescription_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("stored");

    QTest::newRow("OK writes the text") << "OK"
                                        << "calm, likes children";
    QTest::newRow("Cancel writes nothing") << "Cancel"
                                           << "calm";
    QTest::newRow("Escape writes nothing") << "Escape"
                                           << "calm";
}

void TestMainWindowEditing::editDescription()
{
    QFETCH(QString, answer);
    QFETCH(QString, stored);

    makeCurrent(bella);
    QString shownText;
    bool descriptionCaption = false;
    bool commentCaption = true;
    const auto seen = answerNextModal([&](QWidget &modal) {
        shownText = FormEditName->Memo1->toPlainText();
        descriptionCaption = FormEditName->LabDesc->isVisible();
        commentCaption = FormEditName->LabComnt->isVisible();
        FormEditName->Memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(FormEditName->Memo1, ", likes children");
        if (answer == "OK")
            clickOk(modal);
        else if (answer == "Cancel")
            clickCancel(modal);
        else
            QTest::keyClick(FormEditName->Memo1, Qt::Key_Escape);
    });
    window->actMyname->trigger();

    QVERIFY(seen->opened);
    QCOMPARE(shownText, QStringLiteral("calm"));
    QVERIFY(descriptionCaption);
    QVERIFY(!commentCaption);
    QCOMPARE(window->FDQObiekty->asString(QStringLiteral("OPIS")), stored);
    const auto rows = store::SqlStatement::select(window->FDConnection1->database(),
                                                  QStringLiteral("select OPIS from OBIEKTY where IDOB = ?"),
                                                  {bella}, QStringLiteral("test"));
    QCOMPARE(rows.rows.first().first().toString(), stored);
}

void TestMainWindowEditing::editCommentKeepsLineBreaks()
{
    makeCurrent(luna);
    window->FDQWyniki->first();
    const int result = window->FDQWyniki->asInteger(QStringLiteral("IDWYN"));
    bool commentCaption = false;
    answerNextModal([&](QWidget &modal) {
        commentCaption = FormEditName->LabComnt->isVisible() && !FormEditName->LabDesc->isVisible();
        QTest::keyClicks(FormEditName->Memo1, "before the walk");
        QTest::keyClick(FormEditName->Memo1, Qt::Key_Return);
        QTest::keyClicks(FormEditName->Memo1, "restless");
        clickOk(modal);
    });
    window->ActResuComment->trigger();

    QVERIFY(commentCaption);
    const auto rows = store::SqlStatement::select(window->FDConnection1->database(),
                                                  QStringLiteral("select REZC from WYNIKI where IDWYN = ?"),
                                                  {result}, QStringLiteral("test"));
    QCOMPARE(rows.rows.first().first().toString(), QStringLiteral("before the walk\r\nrestless"));
}

// A text longer than the column reaches the memo only by pasting; OK then
// tells the user and keeps the window open, and nothing is stored.
void TestMainWindowEditing::pastedTextTooLongIsNotStored()
{
    makeCurrent(bella);
    const QString pasted = QString(QStringLiteral("0123456789")).repeated(30);
    QString message;
    bool stillOpen = false;
    answerNextModal([&](QWidget &modal) {
        FormEditName->Memo1->insertPlainText(pasted);
        answerNextModal([&](QWidget &information) {
            message = InfoForm->Label2->text();
            clickOk(information);
        });
        clickOk(modal);
        stillOpen = modal.isVisible() && FormEditName->Memo1->toPlainText().endsWith(pasted);
        clickCancel(modal);
    });
    window->actMyname->trigger();

    QVERIFY(stillOpen);
    QVERIFY2(message.contains(QStringLiteral("250")), qPrintable(message));
    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY where IDOB = ? and OPIS = 'calm'"), {bella}),
             1);
}

void TestMainWindowEditing::textEntryWindowPlacedAtPointer_data()
{
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<bool>("nearBottomRight");

    QTest::newRow("inside the bound: at the pointer") << QPoint(30, 40) << false;
    QTest::newRow("near the bottom right corner: pushed back") << QPoint(-1, -1) << true;
}

void TestMainWindowEditing::textEntryWindowPlacedAtPointer()
{
    QFETCH(QPoint, pointer);
    QFETCH(bool, nearBottomRight);

    const QSize client = window->size();
    const QSize entry = FormEditName->size();
    if (nearBottomRight)
        pointer = QPoint(client.width() - 10, client.height() - 5);
    QCursor::setPos(pointer);
    if (QCursor::pos() != pointer)
        QSKIP("This platform does not move the pointer");

    makeCurrent(bella);
    QPoint placed;
    answerNextModal([&](QWidget &modal) {
        placed = modal.pos();
        clickCancel(modal);
    });
    window->actMyname->trigger();

    const QPoint expected =
        nearBottomRight ? QPoint(client.width() - entry.width(), client.height() - entry.height()) : pointer;
    QCOMPARE(placed, expected);
}

void TestMainWindowEditing::deleteMarkedRecords_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("bellaLeft");

    QTest::newRow("nothing marked: nothing deleted") << "" << 4;
    QTest::newRow("two of four marked") << "DANE2 in (320, 340)" << 2;
    QTest::newRow("first and last marked") << "DANE2 in (310, 340)" << 2;
    QTest::newRow("all marked") << "DANE2 > 0" << 0;
}

void TestMainWindowEditing::deleteMarkedRecords()
{
    QFETCH(QString, marked);
    QFETCH(int, bellaLeft);

    // Luna's results are marked too: only the current object's results go.
    if (!marked.isEmpty())
        store::SqlStatement::execute(window->FDConnection1->database(),
                                     QStringLiteral("update WYNIKI set REZI1 = 1 where ") + marked, {},
                                     QStringLiteral("test"));
    store::SqlStatement::execute(window->FDConnection1->database(),
                                 QStringLiteral("update WYNIKI set REZI1 = 1 where IDOB = ?"), {luna},
                                 QStringLiteral("test"));
    window->RefreshObjects({});
    makeCurrent(bella);

    int question = 0;
    const auto seen = answerNextModal([&question](QWidget &modal) {
        question = PytForm->NumerKomunikatu;
        clickOk(modal);
    });
    window->actDelRekord->trigger();

    QVERIFY(seen->opened);
    QCOMPARE(question, 1);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {bella}), bellaLeft);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where IDOB = ? and REZI1 >= 1"), {bella}), 0);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {luna}), 2);
    QCOMPARE(window->FDQWyniki->recordCount(), bellaLeft);
    QCOMPARE(window->JvDBUGTemp_details->model()->rowCount(), bellaLeft);
}

void TestMainWindowEditing::deleteObjectWithItsResults()
{
    makeCurrent(bella);
    int question = 0;
    const auto seen = answerNextModal([&question](QWidget &modal) {
        question = PytForm->NumerKomunikatu;
        clickOk(modal);
    });
    window->actDelObject->trigger();

    QVERIFY(seen->opened);
    QCOMPARE(question, 2);
    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY where IDOB = ?"), {bella}), 0);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where IDOB = ?"), {bella}), 0);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI")), 2);
    // Another object is current, and the result list shows its results.
    const int current = window->FDQObiekty->asInteger(QStringLiteral("IDOB"));
    QVERIFY(current == luna || current == mila);
    QCOMPARE(window->FDQWyniki->recordCount(), current == luna ? 2 : 0);
    QCOMPARE(window->JvDBUGTempObjects->model()->rowCount(), 2);
}

void TestMainWindowEditing::deleteObjectWithoutResults()
{
    makeCurrent(mila);
    QCOMPARE(window->FDQWyniki->recordCount(), 0);
    answerNextModal(clickOk);
    window->actDelObject->trigger();

    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY")), 2);
    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY where IDOB = ?"), {mila}), 0);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI")), 6);
}

void TestMainWindowEditing::cancelledConfirmationChangesNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("escape");

    QTest::newRow("delete marked records, Cancel") << "actDelRekord" << false;
    QTest::newRow("delete object, Cancel") << "actDelObject" << false;
    QTest::newRow("delete object, Escape") << "actDelObject" << true;
}

void TestMainWindowEditing::cancelledConfirmationChangesNothing()
{
    QFETCH(QString, action);
    QFETCH(bool, escape);

    store::SqlStatement::execute(window->FDConnection1->database(),
                                 QStringLiteral("update WYNIKI set REZI1 = 1"), {}, QStringLiteral("test"));
    window->RefreshObjects({});
    makeCurrent(bella);
    const auto seen = answerNextModal([escape](QWidget &modal) {
        if (escape)
            QTest::keyClick(&modal, Qt::Key_Escape);
        else
            clickCancel(modal);
    });
    window->findChild<QAction *>(action)->trigger();

    QVERIFY(seen->opened);
    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY")), 3);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI")), 6);
    QCOMPARE(window->FDQObiekty->asInteger(QStringLiteral("IDOB")), bella);
}

void TestMainWindowEditing::emptyListsCreateAndDeleteNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("noObjects");

    QTest::newRow("edit description, no objects") << "actMyname" << true;
    QTest::newRow("delete object, no objects") << "actDelObject" << true;
    QTest::newRow("edit comment, no results") << "ActResuComment" << false;
    QTest::newRow("delete marked records, no results") << "actDelRekord" << false;
    QTest::newRow("edit comment, no objects") << "ActResuComment" << true;
}

void TestMainWindowEditing::emptyListsCreateAndDeleteNothing()
{
    QFETCH(QString, action);
    QFETCH(bool, noObjects);

    if (noObjects) {
        store::SqlStatement::execute(window->FDConnection1->database(), QStringLiteral("delete from WYNIKI"),
                                     {}, QStringLiteral("test"));
        store::SqlStatement::execute(window->FDConnection1->database(), QStringLiteral("delete from OBIEKTY"),
                                     {}, QStringLiteral("test"));
        window->RefreshObjects({});
    } else {
        makeCurrent(mila);
    }
    const int objects = scalar(QStringLiteral("select count(*) from OBIEKTY"));
    const int results = scalar(QStringLiteral("select count(*) from WYNIKI"));

    const auto seen = answerNextModal(clickOk);
    window->findChild<QAction *>(action)->trigger();
    QCoreApplication::processEvents();

    QVERIFY(!seen->opened);
    QCOMPARE(scalar(QStringLiteral("select count(*) from OBIEKTY")), objects);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI")), results);
}

void TestMainWindowEditing::markByDateMarksThatDayAcrossObjects()
{
    makeCurrent(luna);
    window->dtpDataOd->setDateTime(QDateTime(MarkedDay, QTime(15, 0)));
    window->dtpDataDo->setDateTime(QDateTime(MarkedDay, QTime(9, 0)));
    window->btnSelectDate->click();

    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where REZI1 = 1")), 3);
    QCOMPARE(scalar(QStringLiteral("select count(*) from WYNIKI where REZI1 = 1 "
                                   "and cast(DATACZAS as date) = ?"),
                    {MarkedDay}),
             3);

    // Both lists show the new marks: the result list of whichever object
    // is current, and again after moving to the other object.
    for (int object : {bella, luna}) {
        makeCurrent(object);
        int marked = 0;
        for (window->FDQWyniki->first(); !window->FDQWyniki->eof(); window->FDQWyniki->next())
            if (window->FDQWyniki->asInteger(QStringLiteral("REZI1")) == 1) {
                ++marked;
                QCOMPARE(window->FDQWyniki->asDateTime(QStringLiteral("DATACZAS")).date(), MarkedDay);
            }
        QCOMPARE(marked, object == bella ? 2 : 1);
    }
}

void TestMainWindowEditing::popUpMenus()
{
    auto *objects = window->findChild<QMenu *>(QStringLiteral("PopABobjectT"));
    auto *results = window->findChild<QMenu *>(QStringLiteral("PopABresult"));
    QVERIFY(objects && results);
    QCOMPARE(objects->actions(), (QList<QAction *>{window->actMyname, window->actChart}));
    const QList<QAction *> resultItems = results->actions();
    QCOMPARE(resultItems.size(), 3);
    QCOMPARE(resultItems.at(0), window->ActResuComment);
    QVERIFY(resultItems.at(1)->isSeparator());
    QCOMPARE(resultItems.at(2), window->actDelRekord);
}

std::unique_ptr<QObject> makeMainWindowEditingTest()
{
    return std::make_unique<TestMainWindowEditing>();
}

#include "TestMainWindowEditing.moc"
