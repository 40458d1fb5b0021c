#include "ClickableLabel.h"
#include "DialogTestSupport.h"
#include "MakerContact.h"
#include "UnKontakt.h"

#include <QPushButton>
#include <QSet>
#include <QTest>
#include <ShellOpen.h>

#include <memory>

namespace
{

constexpr int English = 0;
constexpr int Polish = 1;
constexpr int German = 2;
constexpr int Russian = 5;

struct Shown {
    QList<QLabel *> visible;
    QWidget *logoSeen = nullptr;
};

Shown showIn(TFormKontakt &window, int language)
{
    window.setLanguageNumberSource([language] { return language; });
    Shown shown;
    execWhile(window, [&] {
        for (QLabel *label : window.findChildren<QLabel *>())
            if (label->isVisible())
                shown.visible.append(label);
        shown.logoSeen = seenAt(window, *window.imgEN);
        window.BitBtn1->click();
    });
    return shown;
}

} // namespace

class TestContactWindow : public QObject
{
    Q_OBJECT

private slots:
    void contentFollowsLanguage_data();
    void contentFollowsLanguage();
    void languageChangeTakesEffectAtNextShowing();
    void linksOpenTheirAddress_data();
    void linksOpenTheirAddress();
    void languageOutsideTheSixOpensNoPerLanguagePage();
    void perLanguageAddressesDiffer();
};

void TestContactWindow::contentFollowsLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("logo");
    QTest::addColumn<bool>("polish");

    QTest::newRow("English") << English << "imgEN" << false;
    QTest::newRow("Polish") << Polish << "imgPL" << true;
    QTest::newRow("German") << German << "imgDE" << false;
    QTest::newRow("French") << 3 << "imgFR" << false;
    QTest::newRow("Spanish") << 4 << "imgES" << false;
    QTest::newRow("Russian") << Russian << "imgRU" << false;
}

void TestContactWindow::contentFollowsLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, logo);
    QFETCH(bool, polish);

    TFormKontakt window;
    const Shown shown = showIn(window, language);

    QVERIFY(shown.logoSeen);
    QCOMPARE(shown.logoSeen->objectName(), logo);
    const QList<QLabel *> polishLabels{window.LabelPL, window.LabelPLtel, window.Label2pl, window.Label3pl};
    const QList<QLabel *> internationalLabels{window.LabelINT, window.LabelINTtel, window.Label2int,
                                              window.Label3int};
    for (QLabel *label : polishLabels)
        QCOMPARE(shown.visible.contains(label), polish);
    for (QLabel *label : internationalLabels)
        QCOMPARE(shown.visible.contains(label), !polish);
    QVERIFY(shown.visible.contains(window.Label4));
}

void TestContactWindow::languageChangeTakesEffectAtNextShowing()
{
    TFormKontakt window;
    showIn(window, Polish);
    const Shown shown = showIn(window, German);
    QCOMPARE(shown.logoSeen, window.imgDE);
    QVERIFY(shown.visible.contains(window.LabelINT));
    QVERIFY(!shown.visible.contains(window.LabelPL));
}

void TestContactWindow::linksOpenTheirAddress_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("address");

    const QString germanDogs = maker::dogSiteAddress(German);
    const QString germanWeb = maker::webSiteAddress(German);
    QTest::newRow("German: international dog-site label") << "Label2int" << German << germanDogs;
    QTest::newRow("German: Polish dog-site label") << "Label2pl" << German << germanDogs;
    QTest::newRow("German: dog-site icon") << "Image2" << German << germanDogs;
    QTest::newRow("German: international web label") << "Label3int" << German << germanWeb;
    QTest::newRow("German: web icon") << "Image3" << German << germanWeb;
    QTest::newRow("Polish: Polish web label") << "Label3pl" << Polish << maker::webSiteAddress(Polish);
    QTest::newRow("Russian: dog-site label") << "Label2int" << Russian << maker::dogSiteAddress(Russian);
    QTest::newRow("e-mail label") << "Label4" << English << maker::mailtoAddress();
    QTest::newRow("e-mail icon") << "Image6" << Russian << maker::mailtoAddress();
    QTest::newRow("Facebook") << "Image4" << German << maker::facebookAddress();
    QTest::newRow("LinkedIn") << "Image5" << German << maker::linkedInAddress();
    QTest::newRow("YouTube") << "Image8" << German << maker::youTubeAddress();
    QTest::newRow("Instagram") << "Image1" << German << maker::instagramAddress();
}

void TestContactWindow::linksOpenTheirAddress()
{
    QFETCH(QString, element);
    QFETCH(int, language);
    QFETCH(QString, address);

    platform::FakeShellOpen shell;
    TFormKontakt window;
    window.setLanguageNumberSource([language] { return language; });
    auto *clicked = window.findChild<ClickableLabel *>(element);
    QVERIFY(clicked);
    QCOMPARE(clicked->cursor().shape(), Qt::PointingHandCursor);

    QTest::mouseClick(clicked, Qt::LeftButton);
    QCOMPARE(shell.openedAddresses(), QStringList{address});
}

void TestContactWindow::languageOutsideTheSixOpensNoPerLanguagePage()
{
    platform::FakeShellOpen shell;
    TFormKontakt window;
    window.setLanguageNumberSource([] { return 6; });
    QTest::mouseClick(window.Label2int, Qt::LeftButton);
    QTest::mouseClick(window.Image3, Qt::LeftButton);
    QVERIFY(shell.openedAddresses().isEmpty());

    QTest::mouseClick(window.Image4, Qt::LeftButton);
    QCOMPARE(shell.openedAddresses(), QStringList{maker::facebookAddress()});
}

void TestContactWindow::perLanguageAddressesDiffer()
{
    for (auto address : {maker::webSiteAddress, maker::dogSiteAddress, maker::faqAddress}) {
        QSet<QString> distinct;
        for (int language = 0; language < 6; ++language) {
            QVERIFY(QUrl(address(language), QUrl::StrictMode).isValid());
            distinct.insert(address(language));
        }
        QCOMPARE(distinct.size(), 6);
        QVERIFY(address(-1).isEmpty());
        QVERIFY(address(6).isEmpty());
    }
}

std::unique_ptr<QObject> makeContactWindowTest()
{
    return std::make_unique<TestContactWindow>();
}

#include "TestContactWindow.moc"
