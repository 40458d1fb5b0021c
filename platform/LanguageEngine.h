#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace platform
{

// One language the engine knows: the built-in design language (English) or
// one read from a language file.
struct Language {
    QString isoCode;
    QString name;
    QImage flag;      // 16 by 16
    QString fileName; // empty for the design language
    // Translated texts: section (window class or "lexicon <name>") -> key -> text.
    QHash<QString, QHash<QString, QString>> sections;
};

// The language engine: the list of languages (the built-in English first,
// then those of the language files in the program folder), the current
// language, and the translated texts that the language clients and
// lexicons read. Switching the language emits languageChanged(), on which
// every client re-translates its window at once.
class LanguageEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *DesignCode = "en - English";
    static constexpr const char *DesignName = "English";
    static constexpr const char *FileExtension = ".lng";
    static constexpr const char *FileSignature = "LANGUAGE_FILE";

    // Reads every language file of the folder. The first engine created in
    // the process becomes the application's engine (see application()).
    explicit LanguageEngine(const QString &folder, QObject *parent = nullptr);
    ~LanguageEngine() override;

    // The engine that language clients and lexicons bind to when they are
    // given none; null while no engine exists.
    static LanguageEngine *application();

    int count() const { return int(languages_.size()); }
    const Language &language(int position) const { return languages_.at(std::size_t(position)); }

    // The ISO code of the language at a list position; empty outside the list.
    QString GetISOCode(int position) const;

    // Switches to the language whose ISO code or name is given. False, with
    // the current language kept, when no language matches (an empty text
    // included).
    bool Translate(const QString &codeOrName);

    int currentPosition() const { return current_; }
    const Language &currentLanguage() const { return language(current_); }

    // The current language's text for a key of a section; a null string
    // when the current language is the design language or lacks the key,
    // so that the caller keeps its English text.
    QString text(const QString &section, const QString &key) const;

signals:
    void languageChanged();

private:
    void loadFolder(const QString &folder);

    std::vector<Language> languages_;
    int current_ = 0;
};

} // namespace platform
