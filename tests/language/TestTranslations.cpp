#include "DesignedLexicon.h"
#include "LanguageClient.h"
#include "LanguageEngine.h"
#include "LanguageFile.h"
#include "MainUniQEV.h"
#include "UEditMyName.h"
#include "UnChart.h"
#include "UnProgres.h"
#include "UnPytanie.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::DesignText;
using platform::LanguageClient;

namespace
{

const QStringList TranslatedCodes = {"pl", "de", "fr", "es", "ru"};

// The program's translated windows as start-up creates them, the main
// window first so that its engine is the application's.
struct TranslatedWindows {
    TranslatedWindows()
        : main(QStringLiteral(QEV_RESOURCES_DIR), stateDir.filePath(QStringLiteral("ZorviQEV.cfp"))),
          textEntry(&main), chart(&main), progress(&main), confirmation(&main)
    {
    }

    QList<QWidget *> all() { return {&main, &textEntry, &chart, &progress, &confirmation}; }

    QTemporaryDir stateDir;
    TMainUniQEVForm main;
    TFormEditName textEntry;
    TWykresForm chart;
    TProgresForm progress;
    TPytForm confirmation;
};

const LanguageClient *clientOf(const QWidget &window)
{
    return window.findChild<const LanguageClient *>(QString(), Qt::FindDirectChildrenOnly);
}

platform::Language languageFile(const QString &code)
{
    platform::LanguageFileResult result =
        platform::readLanguageFile(QStringLiteral(QEV_RESOURCES_DIR "/%1.lng").arg(code));
    return result.language.value_or(platform::Language{});
}

// Every text the windows show in English, as "[section] key".
QMap<QString, QString> englishTexts(TranslatedWindows &windows)
{
    QMap<QString, QString> texts;
    for (QWidget *window : windows.all()) {
        const LanguageClient *client = clientOf(*window);
        if (!client)
            continue;
        for (const DesignText &text : client->designTexts())
            texts.insert(QStringLiteral("[%1] %2").arg(client->section(), text.key), text.english);
    }
    const platform::DesignedLexicon &lexicon = *windows.main.DesignedLexicon1;
    for (int index = 0; index < lexicon.count(); ++index)
        texts.insert(QStringLiteral("[%1] %2").arg(lexicon.section()).arg(index),
                     lexicon.englishItems().at(index));
    return texts;
}

QString translation(const platform::Language &language, const QString &sectionAndKey)
{
    const qsizetype end = sectionAndKey.indexOf(QLatin1String("] "));
    return language.sections.value(sectionAndKey.mid(1, end - 1)).value(sectionAndKey.mid(end + 2));
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void everyShownTextHasATranslation_data();
    void everyShownTextHasATranslation();
    void noTranslationIsLeftOver_data();
    void noTranslationIsLeftOver();
};

void TestTranslations::everyShownTextHasATranslation_data()
{
    QTest::addColumn<QString>("code");
    for (const QString &code : TranslatedCodes)
        QTest::newRow(qPrintable(code)) << code;
}

void TestTranslations::everyShownTextHasATranslation()
{
    QFETCH(QString, code);
    const platform::Language language = languageFile(code);
    QCOMPARE(language.isoCode, code);
    TranslatedWindows windows;
    for (QWidget *window : windows.all())
        QVERIFY2(clientOf(*window), window->metaObject()->className());

    const QMap<QString, QString> english = englishTexts(windows);
    QVERIFY(english.size() > 40);
    QStringList missing;
    for (auto text = english.cbegin(); text != english.cend(); ++text) {
        if (translation(language, text.key()).isEmpty())
            missing << QStringLiteral("%1=%2").arg(text.key(), platform::escapeLanguageValue(text.value()));
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("\n") + missing.join(u'\n')));
}

void TestTranslations::noTranslationIsLeftOver_data()
{
    everyShownTextHasATranslation_data();
}

// A key that no window has any more (a control renamed or removed) would
// leave the control's new name untranslated without anyone noticing.
void TestTranslations::noTranslationIsLeftOver()
{
    QFETCH(QString, code);
    const platform::Language language = languageFile(code);
    TranslatedWindows windows;
    const QMap<QString, QString> english = englishTexts(windows);

    QStringList unused;
    for (auto section = language.sections.cbegin(); section != language.sections.cend(); ++section) {
        for (auto key = section->cbegin(); key != section->cend(); ++key) {
            const QString sectionAndKey = QStringLiteral("[%1] %2").arg(section.key(), key.key());
            if (!english.contains(sectionAndKey))
                unused << sectionAndKey;
        }
    }
    QVERIFY2(unused.isEmpty(), qPrintable(unused.join(u'\n')));
}

std::unique_ptr<QObject> makeTranslationsTest()
{
    return std::make_unique<TestTranslations>();
}

#include "TestTranslations.moc"
