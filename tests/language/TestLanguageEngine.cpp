#include "DesignedLexicon.h"
#include "LangFlagsCombo.h"
#include "LanguageClient.h"
#include "LanguageEngine.h"
#include "LanguageFile.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace platform;

namespace
{

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray languageFile(const QString &code, const QString &name, const QString &body = {})
{
    return QStringLiteral("LANGUAGE_FILE\ncode=%1\nname=%2\n%3").arg(code, name, body).toUtf8();
}

void writeFile(const QTemporaryDir &dir, const QString &fileName, const QByteArray &content)
{
    QFile file(dir.filePath(fileName));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

const QString PolishWindow = QStringLiteral("[TestWindow]\n"
                                            "Form.windowTitle=Okno próbne\n"
                                            "Caption.text=Podpis\n"
                                            "Caption.toolTip=Podpowiedź\n"
                                            "Go.text=Dalej\n"
                                            "Frame.title=Ramka\n"
                                            "Search.placeholderText=Szukaj\n"
                                            "actDelete.text=Usuń\n"
                                            "Grid.column.NAME=Nazwa\n"
                                            "[lexicon DesignedLexicon1]\n"
                                            "0=Pierwszy\n");

// A window like the program's: named controls with English texts, a data
// label, a grid with field-named columns, and a dialog parented to it.
class TestWindow : public QWidget
{
    Q_OBJECT
public:
    TestWindow()
    {
        setWindowTitle(QStringLiteral("Test window"));
        auto *layout = new QVBoxLayout(this);
        caption = add<QLabel>(layout, "Caption", "Caption");
        caption->setToolTip(QStringLiteral("Hint"));
        value = add<QLabel>(layout, "Value", " ");
        data = add<QLabel>(layout, "Data", "Not yet read");
        go = add<QPushButton>(layout, "Go", "Go on");
        untranslated = add<QPushButton>(layout, "Other", "Not in the file");
        frame = new QGroupBox(QStringLiteral("Frame"), this);
        frame->setObjectName(QStringLiteral("Frame"));
        layout->addWidget(frame);
        search = new QLineEdit(this);
        search->setObjectName(QStringLiteral("Search"));
        search->setPlaceholderText(QStringLiteral("Search"));
        search->setText(QStringLiteral("user text"));
        layout->addWidget(search);
        action = new QAction(QStringLiteral("Delete"), this);
        action->setObjectName(QStringLiteral("actDelete"));
        model.setHorizontalHeaderLabels({QStringLiteral("√"), QStringLiteral("Name")});
        model.setHeaderData(0, Qt::Horizontal, QStringLiteral("MARK"), Qt::UserRole);
        model.setHeaderData(1, Qt::Horizontal, QStringLiteral("NAME"), Qt::UserRole);
        grid = new QTableView(this);
        grid->setObjectName(QStringLiteral("Grid"));
        grid->setModel(&model);
        layout->addWidget(grid);
        dialog = new QDialog(this);
        auto *dialogLabel = new QLabel(QStringLiteral("Caption"), dialog);
        dialogLabel->setObjectName(QStringLiteral("Caption"));
        dialogCaption = dialogLabel;
    }

    template <typename Widget> Widget *add(QVBoxLayout *layout, const char *name, const char *text)
    {
        auto *widget = new Widget(QString::fromUtf8(text), this);
        widget->setObjectName(QLatin1String(name));
        layout->addWidget(widget);
        return widget;
    }

    QLabel *caption, *value, *data, *dialogCaption;
    QPushButton *go, *untranslated;
    QGroupBox *frame;
    QLineEdit *search;
    QAction *action;
    QStandardItemModel model;
    QTableView *grid;
    QDialog *dialog;
};

} // namespace

class TestLanguageEngine : public QObject
{
    Q_OBJECT
private slots:
    void listsEnglishThenNumberedLanguagesThenFurtherFilesByName();
    void isoCodeOutsideTheListIsEmpty_data();
    void isoCodeOutsideTheListIsEmpty();
    void translateSwitchesByCodeOrName_data();
    void translateSwitchesByCodeOrName();
    void ignoresFilesThatAreNoLanguageFiles_data();
    void ignoresFilesThatAreNoLanguageFiles();
    void laterFileWithTheSameCodeIsIgnored();
    void readsSectionsEscapesAndLineEnds();
    void escapedValuesComeBackUnchanged_data();
    void escapedValuesComeBackUnchanged();
    void flagsAreSixteenBySixteen();
    void noFolderGivesEnglishAlone();

    void clientTranslatesNamedControlsAndBack();
    void clientLeavesTextsTheProgramChanged();
    void clientOfWindowCreatedAfterSwitchIsTranslatedAtOnce();
    void clientRecordsNeitherDataLabelsNorOtherWindows();

    void lexiconItemsFollowTheLanguage_data();
    void lexiconItemsFollowTheLanguage();

    void flagListShowsEveryLanguageWithItsFlag();
    void pickingAnEntrySwitchesTheEngineThenClicks();
    void selectingFromTheProgramSwitchesNothing_data();
    void selectingFromTheProgramSwitchesNothing();

private:
    void writeSixLanguages(QTemporaryDir &dir);
};

void TestLanguageEngine::writeSixLanguages(QTemporaryDir &dir)
{
    writeFile(dir, QStringLiteral("polski.lng"),
              languageFile(QStringLiteral("pl"), QStringLiteral("Polski"), PolishWindow));
    writeFile(dir, QStringLiteral("deutsch.lng"),
              languageFile(QStringLiteral("de"), QStringLiteral("Deutsch")));
    writeFile(dir, QStringLiteral("francais.lng"),
              languageFile(QStringLiteral("fr"), QStringLiteral("Français")));
    writeFile(dir, QStringLiteral("espanol.lng"),
              languageFile(QStringLiteral("es"), QStringLiteral("Español")));
    writeFile(dir, QStringLiteral("russkij.lng"),
              languageFile(QStringLiteral("ru"), QStringLiteral("Русский")));
}

void TestLanguageEngine::listsEnglishThenNumberedLanguagesThenFurtherFilesByName()
{
    QTemporaryDir dir;
    writeSixLanguages(dir);
    writeFile(dir, QStringLiteral("b-italiano.lng"),
              languageFile(QStringLiteral("it"), QStringLiteral("Italiano")));
    writeFile(dir, QStringLiteral("a-cesky.lng"),
              languageFile(QStringLiteral("cs"), QStringLiteral("Čeština")));
    writeFile(dir, QStringLiteral("notes.txt"),
              languageFile(QStringLiteral("nl"), QStringLiteral("Nederlands")));

    LanguageEngine engine(dir.path());

    QStringList codes;
    for (int position = 0; position < engine.count(); ++position)
        codes << engine.GetISOCode(position);
    QCOMPARE(codes, (QStringList{"en - English", "pl", "de", "fr", "es", "ru", "cs", "it"}));
    QCOMPARE(engine.language(0).name, QStringLiteral("English"));
    QCOMPARE(engine.language(5).name, QStringLiteral("Русский"));
    QCOMPARE(engine.language(6).fileName, QStringLiteral("a-cesky.lng"));
    QCOMPARE(engine.currentPosition(), 0);
}

void TestLanguageEngine::isoCodeOutsideTheListIsEmpty_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("code");
    QTest::newRow("none selected") << -1 << QString();
    QTest::newRow("English") << 0 << QStringLiteral("en - English");
    QTest::newRow("last") << 5 << QStringLiteral("ru");
    QTest::newRow("one past the end") << 6 << QString();
    QTest::newRow("far out") << 1000 << QString();
}

void TestLanguageEngine::isoCodeOutsideTheListIsEmpty()
{
    QFETCH(int, position);
    QFETCH(QString, code);
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    QCOMPARE(engine.GetISOCode(position), code);
}

void TestLanguageEngine::translateSwitchesByCodeOrName_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("switched");
    QTest::addColumn<int>("position");
    QTest::newRow("code") << QStringLiteral("de") << true << 2;
    QTest::newRow("name") << QStringLiteral("Русский") << true << 5;
    QTest::newRow("design code") << QStringLiteral("en - English") << true << 0;
    QTest::newRow("design name") << QStringLiteral("English") << true << 0;
    QTest::newRow("empty code") << QString() << false << 1;
    QTest::newRow("unknown code") << QStringLiteral("xx") << false << 1;
    QTest::newRow("code differing in case") << QStringLiteral("DE") << false << 1;
}

void TestLanguageEngine::translateSwitchesByCodeOrName()
{
    QFETCH(QString, request);
    QFETCH(bool, switched);
    QFETCH(int, position);
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    QVERIFY(engine.Translate(QStringLiteral("pl")));
    QSignalSpy changed(&engine, &LanguageEngine::languageChanged);

    QCOMPARE(engine.Translate(request), switched);

    QCOMPARE(engine.currentPosition(), position);
    QCOMPARE(changed.count(), position == 1 ? 0 : 1);
}

void TestLanguageEngine::ignoresFilesThatAreNoLanguageFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("no signature") << QByteArray("code=pl\nname=Polski\n");
    QTest::newRow("signature not on the first line") << QByteArray("\nLANGUAGE_FILE\ncode=pl\nname=Polski\n");
    QTest::newRow("signature in lower case") << QByteArray("language_file\ncode=pl\nname=Polski\n");
    QTest::newRow("no code") << QByteArray("LANGUAGE_FILE\nname=Polski\n");
    QTest::newRow("no name") << QByteArray("LANGUAGE_FILE\ncode=pl\n");
    QTest::newRow("code only inside a section") << QByteArray("LANGUAGE_FILE\nname=Polski\n[T]\ncode=pl\n");
    QTest::newRow("not UTF-8") << QByteArray("LANGUAGE_FILE\ncode=pl\nname=Polski \xb3\xf3\n");
}

void TestLanguageEngine::ignoresFilesThatAreNoLanguageFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("broken.lng"), content);
    writeFile(dir, QStringLiteral("good.lng"), languageFile(QStringLiteral("de"), QStringLiteral("Deutsch")));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("broken\\.lng")));
    LanguageEngine engine(dir.path());

    QCOMPARE(engine.count(), 2);
    QCOMPARE(engine.GetISOCode(1), QStringLiteral("de"));
}

void TestLanguageEngine::laterFileWithTheSameCodeIsIgnored()
{
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("a.lng"), languageFile(QStringLiteral("pl"), QStringLiteral("Polski")));
    writeFile(dir, QStringLiteral("b.lng"),
              languageFile(QStringLiteral("pl"), QStringLiteral("Polish again")));
    writeFile(dir, QStringLiteral("c.lng"),
              languageFile(QStringLiteral("en - English"), QStringLiteral("English 2")));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("b\\.lng.*repeats")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("c\\.lng.*repeats")));
    LanguageEngine engine(dir.path());

    QCOMPARE(engine.count(), 2);
    QCOMPARE(engine.language(1).name, QStringLiteral("Polski"));
}

void TestLanguageEngine::readsSectionsEscapesAndLineEnds()
{
    const QByteArray content = "\xef\xbb\xbfLANGUAGE_FILE\r\n"
                               "# a comment\r\n"
                               "code=pl\r\n"
                               "name=Polski\r\n"
                               "\r\n"
                               "[TPytForm]\r\n"
                               "Label1.text=Usuwanie wyników.\\r\\nCzy na pewno?\r\n"
                               "  BitBtn1.text =OK\r\n"
                               "garbage line\r\n"
                               "[lexicon DesignedLexicon1]\r\n"
                               "1=Open Office Calc  nie jest zainstalowany\r\n"
                               "2=a=b\r\n";

    const LanguageFileResult result = parseLanguageFile(content, QStringLiteral("pl.lng"));

    QVERIFY(result.language.has_value());
    const Language &polish = *result.language;
    QCOMPARE(polish.isoCode, QStringLiteral("pl"));
    QCOMPARE(polish.sections.value("TPytForm").value("Label1.text"),
             QStringLiteral("Usuwanie wyników.\r\nCzy na pewno?"));
    QCOMPARE(polish.sections.value("TPytForm").value("BitBtn1.text"), QStringLiteral("OK"));
    QCOMPARE(polish.sections.value("lexicon DesignedLexicon1").value("1"),
             QStringLiteral("Open Office Calc  nie jest zainstalowany"));
    QCOMPARE(polish.sections.value("lexicon DesignedLexicon1").value("2"), QStringLiteral("a=b"));
    QCOMPARE(result.warnings.size(), 1);
    QVERIFY(result.warnings.first().contains(QStringLiteral("pl.lng:9")));
}

void TestLanguageEngine::escapedValuesComeBackUnchanged_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("two lines") << QStringLiteral("Deleting records.\r\nAre you sure?");
    QTest::newRow("backslash before n") << QStringLiteral("C:\\new");
    QTest::newRow("tab and trailing blank") << QStringLiteral("a\tb ");
    QTest::newRow("equals and hash") << QStringLiteral("#1 = one");
    QTest::newRow("Cyrillic") << QStringLiteral("Удаление записей.\nВы уверены?");
}

void TestLanguageEngine::escapedValuesComeBackUnchanged()
{
    QFETCH(QString, text);
    const QString content =
        QStringLiteral("LANGUAGE_FILE\ncode=xx\nname=X\n[W]\nkey=") + escapeLanguageValue(text) + u'\n';
    const LanguageFileResult result = parseLanguageFile(content.toUtf8(), QStringLiteral("x.lng"));
    QVERIFY(result.language.has_value());
    QCOMPARE(result.language->sections.value("W").value("key"), text);
}

void TestLanguageEngine::flagsAreSixteenBySixteen()
{
    QImage big(32, 20, QImage::Format_ARGB32);
    big.fill(QColor(220, 20, 60));
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("flagged.lng"),
              languageFile(QStringLiteral("pl"), QStringLiteral("Polski"),
                           QStringLiteral("flag=") + QString::fromLatin1(pngOf(big).toBase64())));
    writeFile(dir, QStringLiteral("plain.lng"),
              languageFile(QStringLiteral("de"), QStringLiteral("Deutsch")));

    LanguageEngine engine(dir.path());

    QCOMPARE(engine.count(), 3);
    for (int position = 0; position < engine.count(); ++position)
        QCOMPARE(engine.language(position).flag.size(), QSize(16, 16));
    QCOMPARE(QColor(engine.language(1).flag.pixel(8, 8)), QColor(220, 20, 60));
    QCOMPARE(qAlpha(engine.language(2).flag.pixel(8, 8)), 0);
    QCOMPARE(qAlpha(engine.language(0).flag.pixel(8, 8)), 255);
}

void TestLanguageEngine::noFolderGivesEnglishAlone()
{
    LanguageEngine engine(QStringLiteral("/nonexistent/qev"));
    QCOMPARE(engine.count(), 1);
    QCOMPARE(engine.GetISOCode(0), QStringLiteral("en - English"));
    QVERIFY(!engine.Translate(QStringLiteral("pl")));
}

void TestLanguageEngine::clientTranslatesNamedControlsAndBack()
{
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    TestWindow window;
    LanguageClient client(window, &engine);

    engine.Translate(QStringLiteral("pl"));

    QCOMPARE(window.windowTitle(), QStringLiteral("Okno próbne"));
    QCOMPARE(window.caption->text(), QStringLiteral("Podpis"));
    QCOMPARE(window.caption->toolTip(), QStringLiteral("Podpowiedź"));
    QCOMPARE(window.go->text(), QStringLiteral("Dalej"));
    QCOMPARE(window.frame->title(), QStringLiteral("Ramka"));
    QCOMPARE(window.search->placeholderText(), QStringLiteral("Szukaj"));
    QCOMPARE(window.search->text(), QStringLiteral("user text"));
    QCOMPARE(window.action->text(), QStringLiteral("Usuń"));
    QCOMPARE(window.model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nazwa"));
    QCOMPARE(window.untranslated->text(), QStringLiteral("Not in the file"));

    engine.Translate(QStringLiteral("de")); // a language without this window's texts
    QCOMPARE(window.caption->text(), QStringLiteral("Caption"));

    engine.Translate(QStringLiteral("pl"));
    engine.Translate(QStringLiteral("English"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Test window"));
    QCOMPARE(window.go->text(), QStringLiteral("Go on"));
    QCOMPARE(window.action->text(), QStringLiteral("Delete"));
    QCOMPARE(window.model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));
}

void TestLanguageEngine::clientLeavesTextsTheProgramChanged()
{
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("pl.lng"),
              languageFile(QStringLiteral("pl"), QStringLiteral("Polski"),
                           QStringLiteral("[TestWindow]\nData.text=Jeszcze nie odczytano\n")));
    LanguageEngine engine(dir.path());
    TestWindow window;
    LanguageClient client(window, &engine);

    window.data->setText(QStringLiteral("Cycle monitor"));
    engine.Translate(QStringLiteral("pl"));
    QCOMPARE(window.data->text(), QStringLiteral("Cycle monitor"));

    engine.Translate(QStringLiteral("English"));
    QCOMPARE(window.data->text(), QStringLiteral("Cycle monitor"));
}

void TestLanguageEngine::clientOfWindowCreatedAfterSwitchIsTranslatedAtOnce()
{
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    engine.Translate(QStringLiteral("pl"));

    TestWindow window;
    LanguageClient client(window); // bound to the application's engine

    QCOMPARE(LanguageEngine::application(), &engine);
    QCOMPARE(window.caption->text(), QStringLiteral("Podpis"));
    QCOMPARE(client.section(), QStringLiteral("TestWindow"));
}

void TestLanguageEngine::clientRecordsNeitherDataLabelsNorOtherWindows()
{
    TestWindow window;
    LanguageClient client(window, nullptr);

    QStringList keys;
    for (const DesignText &text : client.designTexts())
        keys << text.key + u'=' + text.english;
    keys.sort();

    QCOMPARE(keys, (QStringList{"Caption.text=Caption", "Caption.toolTip=Hint", "Data.text=Not yet read",
                                "Form.windowTitle=Test window", "Frame.title=Frame", "Go.text=Go on",
                                "Grid.column.NAME=Name", "Other.text=Not in the file",
                                "Search.placeholderText=Search", "actDelete.text=Delete"}));
    client.translate(); // without an engine the design texts stay
    QCOMPARE(window.dialogCaption->text(), QStringLiteral("Caption"));
}

void TestLanguageEngine::lexiconItemsFollowTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("English") << QStringLiteral("English") << 0 << QStringLiteral("First");
    QTest::newRow("translated") << QStringLiteral("pl") << 0 << QStringLiteral("Pierwszy");
    QTest::newRow("missing in the file") << QStringLiteral("pl") << 1 << QStringLiteral("Second");
    QTest::newRow("file without lexicon") << QStringLiteral("de") << 0 << QStringLiteral("First");
    QTest::newRow("before the first") << QStringLiteral("pl") << -1 << QString();
    QTest::newRow("past the last") << QStringLiteral("pl") << 2 << QString();
}

void TestLanguageEngine::lexiconItemsFollowTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(int, index);
    QFETCH(QString, text);
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    DesignedLexicon lexicon(QStringLiteral("DesignedLexicon1"),
                            {QStringLiteral("First"), QStringLiteral("Second")}, nullptr, &engine);

    QVERIFY(engine.Translate(language));

    QCOMPARE(lexicon.item(index), text);
}

void TestLanguageEngine::flagListShowsEveryLanguageWithItsFlag()
{
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    LangFlagsCombo combo(nullptr, &engine);

    QCOMPARE(combo.count(), 6);
    QCOMPARE(combo.itemText(0), QStringLiteral("English"));
    QCOMPARE(combo.itemText(3), QStringLiteral("Français"));
    for (int position = 0; position < combo.count(); ++position)
        QVERIFY(!combo.itemIcon(position).isNull());
    QCOMPARE(combo.selectedPosition(), 0);
}

void TestLanguageEngine::pickingAnEntrySwitchesTheEngineThenClicks()
{
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    LangFlagsCombo combo(nullptr, &engine);
    int languageAtClick = -1;
    connect(&combo, &LangFlagsCombo::clicked, this, [&] { languageAtClick = engine.currentPosition(); });

    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);

    QCOMPARE(combo.selectedPosition(), 1);
    QCOMPARE(engine.currentPosition(), 1);
    QCOMPARE(languageAtClick, 1);
}

void TestLanguageEngine::selectingFromTheProgramSwitchesNothing_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("selected");
    QTest::newRow("in the list") << 4 << 4;
    QTest::newRow("past the end") << 6 << -1;
    QTest::newRow("negative") << -3 << -1;
}

void TestLanguageEngine::selectingFromTheProgramSwitchesNothing()
{
    QFETCH(int, position);
    QFETCH(int, selected);
    QTemporaryDir dir;
    writeSixLanguages(dir);
    LanguageEngine engine(dir.path());
    LangFlagsCombo combo(nullptr, &engine);
    QSignalSpy clicked(&combo, &LangFlagsCombo::clicked);

    combo.setSelectedPosition(position);

    QCOMPARE(combo.selectedPosition(), selected);
    QCOMPARE(engine.currentPosition(), 0);
    QCOMPARE(clicked.count(), 0);
}

std::unique_ptr<QObject> makeLanguageEngineTest()
{
    return std::make_unique<TestLanguageEngine>();
}

#include "TestLanguageEngine.moc"
