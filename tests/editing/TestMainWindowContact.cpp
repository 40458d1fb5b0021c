#include "ClickableLabel.h"
#include "MainUniQEV.h"
#include "MainWindowDriver.h"
#include "MakerContact.h"
#include "ProgramFolder.h"
#include "UnKontakt.h"

#include <LangFlagsCombo.h>
#include <ShellOpen.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Opens the main window on a program folder that holds a language file of
// the given code ("en" for none), with that language picked in the flag list.
std::unique_ptr<TMainUniQEVForm> openInLanguage(const ProgramFolder &folder,
                                                const QString &code) {
  if (code != QLatin1String("en")) {
    QFile file(folder.path() + code + QStringLiteral(".lng"));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QStringLiteral("LANGUAGE_FILE\ncode=%1\nname=%1\n")
                       .arg(code)
                       .toUtf8()) < 0)
      qWarning("The language file was not written");
  }
  auto window = openMainWindow(folder);
  window->LangFlagsCombo1->setSelectedPosition(code == QLatin1String("en") ? 0
                                                                           : 1);
  return window;
}

} // namespace

class TestMainWindowContact : public QObject {
  Q_OBJECT

private slots:
  void faqOpensThePageOfTheLanguage_data();
  void faqOpensThePageOfTheLanguage();
  void contactUsShowsTheLanguagesContent_data();
  void contactUsShowsTheLanguagesContent();
};

void TestMainWindowContact::faqOpensThePageOfTheLanguage_data() {
  QTest::addColumn<QString>("code");
  QTest::addColumn<int>("number");

  QTest::newRow("English") << "en" << 0;
  QTest::newRow("Polish") << "pl" << 1;
  QTest::newRow("German") << "de" << 2;
  QTest::newRow("Russian") << "ru" << 5;
}

void TestMainWindowContact::faqOpensThePageOfTheLanguage() {
  QFETCH(QString, code);
  QFETCH(int, number);

  ProgramFolder folder;
  const auto window = openInLanguage(folder, code);
  QCOMPARE(window->GetActLangNbr(), number);

  platform::FakeShellOpen shell;
  window->BitBtnFAQ->click();
  QCOMPARE(shell.openedAddresses(), QStringList{maker::faqAddress(number)});
}

void TestMainWindowContact::contactUsShowsTheLanguagesContent_data() {
  QTest::addColumn<QString>("code");
  QTest::addColumn<bool>("polish");
  QTest::addColumn<QString>("logo");
  QTest::addColumn<int>("number");

  QTest::newRow("Polish") << "pl" << true << "imgPL" << 1;
  QTest::newRow("German") << "de" << false << "imgDE" << 2;
}

void TestMainWindowContact::contactUsShowsTheLanguagesContent() {
  QFETCH(QString, code);
  QFETCH(bool, polish);
  QFETCH(QString, logo);
  QFETCH(int, number);

  ProgramFolder folder;
  const auto window = openInLanguage(folder, code);
  FormKontakt = new TFormKontakt(window.get());
  platform::FakeShellOpen shell;

  bool polishShown = !polish;
  bool internationalShown = polish;
  QString logoSeen;
  QTimer::singleShot(0, FormKontakt, [&] {
    polishShown =
        FormKontakt->LabelPL->isVisible() && FormKontakt->Label3pl->isVisible();
    internationalShown = FormKontakt->LabelINT->isVisible() &&
                         FormKontakt->Label3int->isVisible();
    logoSeen = FormKontakt->childAt(FormKontakt->imgEN->geometry().center())
                   ->objectName();
    QTest::mouseClick(polish ? FormKontakt->Label2pl : FormKontakt->Label2int,
                      Qt::LeftButton);
    FormKontakt->BitBtn1->click();
  });
  window->BitBtn1->click();
  FormKontakt = nullptr;

  QCOMPARE(polishShown, polish);
  QCOMPARE(internationalShown, !polish);
  QCOMPARE(logoSeen, logo);
  QCOMPARE(shell.openedAddresses(), QStringList{maker::dogSiteAddress(number)});
}

std::unique_ptr<QObject> makeMainWindowContactTest() {
  return std::make_unique<TestMainWindowContact>();
}

#include "TestMainWindowContact.moc"
