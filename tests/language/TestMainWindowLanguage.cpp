#include "ProgramFolder.h"

#include "DatabaseError.h"
#include "Dataset.h"
#include "DesignedLexicon.h"
#include "LangFlagsCombo.h"
#include "LanguageEngine.h"
#include "LanguageFile.h"
#include "MainUniQEV.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace
{

std::unique_ptr<TMainUniQEVForm> startProgram(const ProgramFolder &folder)
{
    auto window = std::make_unique<TMainUniQEVForm>(folder.path(), folder.stateFile());
    window->show(); // runs the start-up sequence
    return window;
}

// The banner the user sees: the topmost of the six, which share one spot.
QWidget *bannerSeen(TMainUniQEVForm &window)
{
    QWidget *spot = window.imgEN->parentWidget();
    return spot->childAt(window.imgEN->geometry().center());
}

QString polishText(const QString &key)
{
    const platform::LanguageFileResult polish =
        platform::readLanguageFile(QStringLiteral(QEV_RESOURCES_DIR "/pl.lng"));
    return polish.language ? polish.language->sections.value(QStringLiteral("TMainUniQEVForm")).value(key)
                           : QString();
}

} // namespace

class TestMainWindowLanguage : public QObject
{
    Q_OBJECT
private slots:
    void pickingPolishIsStoredAndComesBackAfterRestart();
    void storedPositionOutsideTheListGivesEnglish_data();
    void storedPositionOutsideTheListGivesEnglish();
    void furtherLanguageShowsItsTextsWithNumberZero();
    void failedStoreSkipsBannerAndFocus();
    void languageNumberFollowsTheSelection_data();
    void languageNumberFollowsTheSelection();
};

void TestMainWindowLanguage::pickingPolishIsStoredAndComesBackAfterRestart()
{
    const QString polishReport = polishText(QStringLiteral("btnRaport.text"));
    QVERIFY(!polishReport.isEmpty());
    ProgramFolder folder;
    {
        auto window = startProgram(folder);
        QCOMPARE(window->GetActLangNbr(), 0);
        QCOMPARE(bannerSeen(*window), window->imgEN);
        QCOMPARE(window->imgPL->pixmap().size(), QSize(610, 270));

        window->LangFlagsCombo1->setFocus();
        QTest::keyClick(window->LangFlagsCombo1, Qt::Key_Down); // the user picks the entry after English

        QCOMPARE(window->LangFlagsCombo1->selectedPosition(), 1);
        QCOMPARE(window->GetActLangNbr(), 1);
        QCOMPARE(bannerSeen(*window), window->imgPL);
        QCOMPARE(window->focusWidget(), window->ButtonConnect);
        QCOMPARE(window->btnRaport->text(), polishReport);
        QVERIFY(window->DesignedLexicon1->item(2) != QLatin1String("Cycle monitor"));
        window->close();
    }
    QCOMPARE(folder.storedLanguagePosition(), 1);

    auto restarted = startProgram(folder);
    QCOMPARE(restarted->LangFlagsCombo1->selectedPosition(), 1);
    QCOMPARE(restarted->LangManEngine1->currentLanguage().isoCode, QStringLiteral("pl"));
    QCOMPARE(restarted->GetActLangNbr(), 1);
    QCOMPARE(bannerSeen(*restarted), restarted->imgPL);
    QCOMPARE(restarted->btnRaport->text(), polishReport);
}

void TestMainWindowLanguage::storedPositionOutsideTheListGivesEnglish_data()
{
    QTest::addColumn<bool>("languageFiles");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("selected");
    QTest::newRow("one past Russian") << true << QStringLiteral("6") << -1;
    QTest::newRow("negative") << true << QStringLiteral("-1") << -1;
    QTest::newRow("null reads as English") << true << QStringLiteral("null") << 0;
    QTest::newRow("Polish stored, no language files") << false << QStringLiteral("1") << -1;
    QTest::newRow("English stored, no language files") << false << QStringLiteral("0") << 0;
}

void TestMainWindowLanguage::storedPositionOutsideTheListGivesEnglish()
{
    QFETCH(bool, languageFiles);
    QFETCH(QString, stored);
    QFETCH(int, selected);
    ProgramFolder folder(languageFiles);
    folder.runSql(QStringLiteral("update KONFIGURACJA set LANG = %1;").arg(stored));

    auto window = startProgram(folder);

    QCOMPARE(window->LangFlagsCombo1->selectedPosition(), selected);
    QCOMPARE(window->LangManEngine1->currentPosition(), 0);
    QCOMPARE(window->GetActLangNbr(), 0);
    QCOMPARE(window->GetActLangNbr(), 0);
    QCOMPARE(bannerSeen(*window), window->imgEN);
    QCOMPARE(window->btnRaport->text(), QStringLiteral("Report"));
}

void TestMainWindowLanguage::furtherLanguageShowsItsTextsWithNumberZero()
{
    ProgramFolder folder;
    folder.writeFile(QStringLiteral("italiano.lng"), "LANGUAGE_FILE\ncode=it\nname=Italiano\n"
                                                     "[TMainUniQEVForm]\nbtnRaport.text=Rapporto\n");
    folder.runSql(QStringLiteral("update KONFIGURACJA set LANG = 6;"));

    auto window = startProgram(folder);

    QCOMPARE(window->LangFlagsCombo1->currentText(), QStringLiteral("Italiano"));
    QCOMPARE(window->btnRaport->text(), QStringLiteral("Rapporto"));
    QCOMPARE(window->GetActLangNbr(), 0);
    QCOMPARE(bannerSeen(*window), window->imgEN);
}

// Without a configuration row the choice cannot be stored: the error
// reaches the caller, and the banner and the focus stay as they were.
void TestMainWindowLanguage::failedStoreSkipsBannerAndFocus()
{
    ProgramFolder folder;
    folder.runSql(QStringLiteral("delete from KONFIGURACJA;"));
    {
        auto window = startProgram(folder);
        QCOMPARE(window->LangFlagsCombo1->selectedPosition(), 0);
        window->btnRaport->setFocus();

        window->LangFlagsCombo1->setSelectedPosition(1);
        QVERIFY_THROWS_EXCEPTION(store::DatabaseError, window->LangFlagsCombo1ChangeLanguage());

        QCOMPARE(bannerSeen(*window), window->imgEN);
        QCOMPARE(window->focusWidget(), window->btnRaport);
        QVERIFY(!window->FDTableKonfig->isEditing());
        window->close();
    }
    QCOMPARE(folder.storedLanguagePosition(), -1);
}

void TestMainWindowLanguage::languageNumberFollowsTheSelection_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("number");
    QTest::newRow("none") << -1 << 0;
    for (int position = 0; position < 6; ++position)
        QTest::addRow("position %d", position) << position << position;
}

void TestMainWindowLanguage::languageNumberFollowsTheSelection()
{
    QFETCH(int, position);
    QFETCH(int, number);
    ProgramFolder folder;
    TMainUniQEVForm window(folder.path(), folder.stateFile());

    window.LangFlagsCombo1->setSelectedPosition(position);

    QCOMPARE(window.GetActLangNbr(), number);
    QCOMPARE(window.GetActLangNbr(), number);
}

std::unique_ptr<QObject> makeMainWindowLanguageTest()
{
    return std::make_unique<TestMainWindowLanguage>();
}

#include "TestMainWindowLanguage.moc"
