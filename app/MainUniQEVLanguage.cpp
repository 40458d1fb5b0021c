// The language of the user interface: the language engine, the flag list
// and the banners of the main window, the language number that the other
// parts ask for, and the choice kept in the configuration row.

#include "MainUniQEV.h"

#include "Dataset.h"
#include "DesignedLexicon.h"
#include "LangFlagsCombo.h"
#include "LanguageClient.h"
#include "LanguageEngine.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace
{

// The language numbers in order: the position of a code here is its number.
constexpr const char *LanguageCodes[] = {"en", "pl", "de", "fr", "es", "ru"};

const QString LanguageField = QStringLiteral("LANG");

} // namespace

void TMainUniQEVForm::createLanguageEngine()
{
    LangManEngine1 = new platform::LanguageEngine(m_programFolder, this);
    LangManEngine1->setObjectName(QStringLiteral("LangManEngine1"));
    DesignedLexicon1 = new platform::DesignedLexicon(
        QStringLiteral("DesignedLexicon1"),
        {QStringLiteral("Microsoft Office Excel not installed"),
         QStringLiteral("Open Office Calc  not installed"), QStringLiteral("Cycle monitor"),
         QStringLiteral("Seedcheck pro"), QStringLiteral("Udder monitor")},
        this, LangManEngine1);
}

void TMainUniQEVForm::attachLanguageClient()
{
    const std::array<QLabel *, 6> banners = languageBanners();
    const QDir pictures(QDir(m_programFolder).filePath(QStringLiteral("pictures")));
    for (std::size_t number = 0; number < banners.size(); ++number) {
        const QString fileName = QStringLiteral("banner_%1.png").arg(QLatin1String(LanguageCodes[number]));
        banners[number]->setPixmap(QPixmap(pictures.filePath(fileName)));
    }
    connect(LangFlagsCombo1, &platform::LangFlagsCombo::clicked, this,
            &TMainUniQEVForm::LangFlagsCombo1ChangeLanguage);
    LangManClient1 = new platform::LanguageClient(*this, LangManEngine1);
}

std::array<QLabel *, 6> TMainUniQEVForm::languageBanners() const
{
    return {imgEN, imgPL, imgDE, imgFR, imgES, imgRU};
}

int TMainUniQEVForm::GetActLangNbr() const
{
    const QString code = LangManEngine1->GetISOCode(LangFlagsCombo1->selectedPosition());
    for (int number = 0; number < int(std::size(LanguageCodes)); ++number) {
        if (code == QLatin1String(LanguageCodes[number]))
            return number;
    }
    return 0;
}

void TMainUniQEVForm::ApplyStoredLanguage()
{
    LangFlagsCombo1->setSelectedPosition(FDTableKonfig->asInteger(LanguageField));
    LangManEngine1->Translate(LangManEngine1->GetISOCode(LangFlagsCombo1->selectedPosition()));
    ShowLanguageBanner();
}

void TMainUniQEVForm::LangFlagsCombo1ChangeLanguage()
{
    StoreLanguagePosition();
    ShowLanguageBanner();
    ButtonConnect->setFocus();
}

// A failed post leaves no pending edit behind: the next move of the table
// would post it unasked.
void TMainUniQEVForm::StoreLanguagePosition()
{
    try {
        FDTableKonfig->edit();
        FDTableKonfig->setValue(LanguageField, LangFlagsCombo1->selectedPosition());
        FDTableKonfig->post();
    } catch (...) {
        if (FDTableKonfig->isEditing())
            FDTableKonfig->cancel();
        throw;
    }
}

void TMainUniQEVForm::ShowLanguageBanner()
{
    languageBanners()[std::size_t(GetActLangNbr())]->raise();
}
