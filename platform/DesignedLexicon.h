#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

namespace platform
{

class LanguageEngine;

// A runtime lexicon: texts that the program puts on screen by itself, read
// by index in the current language. The English items are built in; the
// language files translate them in the section "lexicon <object name>".
class DesignedLexicon : public QObject
{
    Q_OBJECT
public:
    DesignedLexicon(const QString &objectName, const QStringList &englishItems, QObject *parent = nullptr,
                    LanguageEngine *engine = nullptr);

    // The item at an index in the current language (English where the
    // language lacks it); empty for an index outside the lexicon.
    QString item(int index) const;

    int count() const { return int(englishItems_.size()); }
    const QStringList &englishItems() const { return englishItems_; }
    QString section() const;

private:
    QStringList englishItems_;
    QPointer<LanguageEngine> engine_;
};

} // namespace platform
