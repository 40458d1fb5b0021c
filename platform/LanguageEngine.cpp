#include "LanguageEngine.h"

#include "DesignLanguageFlag.h"
#include "LanguageFile.h"

#include <QDir>
#include <QtDebug>
#include <algorithm>

namespace platform
{

namespace
{

LanguageEngine *applicationEngine = nullptr;

// The languages that have a number of their own come first, in number
// order, so that a stored list position keeps its meaning whatever further
// files lie beside them.
constexpr const char *NumberedCodes[] = {"pl", "de", "fr", "es", "ru"};

int listRank(const Language &language)
{
    const auto begin = std::begin(NumberedCodes);
    const auto found = std::find_if(begin, std::end(NumberedCodes), [&](const char *code) {
        return language.isoCode == QLatin1String(code);
    });
    return int(found - begin); // the further languages share the last rank
}

Language designLanguage()
{
    Language english;
    english.isoCode = QLatin1String(LanguageEngine::DesignCode);
    english.name = QLatin1String(LanguageEngine::DesignName);
    english.flag = designLanguageFlag();
    return english;
}

} // namespace

LanguageEngine::LanguageEngine(const QString &folder, QObject *parent) : QObject(parent)
{
    languages_.push_back(designLanguage());
    loadFolder(folder);
    if (!applicationEngine)
        applicationEngine = this;
}

LanguageEngine::~LanguageEngine()
{
    if (applicationEngine == this)
        applicationEngine = nullptr;
}

LanguageEngine *LanguageEngine::application()
{
    return applicationEngine;
}

void LanguageEngine::loadFolder(const QString &folder)
{
    const QDir dir(folder);
    const QStringList fileNames = dir.entryList({QStringLiteral("*") + QLatin1String(FileExtension)},
                                                QDir::Files | QDir::Readable, QDir::Name);
    std::vector<Language> found;
    for (const QString &fileName : fileNames) {
        LanguageFileResult result = readLanguageFile(dir.filePath(fileName));
        for (const QString &warning : std::as_const(result.warnings))
            qWarning().noquote() << "Language file" << warning;
        if (!result.language)
            continue;
        const auto sameCode = [&](const Language &known) {
            return known.isoCode == result.language->isoCode;
        };
        if (sameCode(languages_.front()) || std::any_of(found.begin(), found.end(), sameCode)) {
            qWarning().noquote() << "Language file" << fileName << "repeats the language code"
                                 << result.language->isoCode << "and is ignored";
            continue;
        }
        found.push_back(std::move(*result.language));
    }
    // Files were read in name order; the stable sort keeps it within a rank.
    std::stable_sort(found.begin(), found.end(),
                     [](const Language &a, const Language &b) { return listRank(a) < listRank(b); });
    std::move(found.begin(), found.end(), std::back_inserter(languages_));
}

QString LanguageEngine::GetISOCode(int position) const
{
    if (position < 0 || position >= count())
        return {};
    return language(position).isoCode;
}

bool LanguageEngine::Translate(const QString &codeOrName)
{
    if (codeOrName.isEmpty())
        return false;
    const auto matches = [&](const Language &language) {
        return language.isoCode == codeOrName || language.name == codeOrName;
    };
    const auto found = std::find_if(languages_.begin(), languages_.end(), matches);
    if (found == languages_.end())
        return false;
    const int position = int(found - languages_.begin());
    if (position != current_) {
        current_ = position;
        emit languageChanged();
    }
    return true;
}

QString LanguageEngine::text(const QString &section, const QString &key) const
{
    const auto &sections = currentLanguage().sections;
    const auto found = sections.constFind(section);
    if (found == sections.constEnd())
        return {};
    const QString translated = found->value(key);
    return translated.isEmpty() ? QString() : translated; // an empty translation counts as none
}

} // namespace platform
