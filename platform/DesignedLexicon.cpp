#include "DesignedLexicon.h"

#include "LanguageEngine.h"

namespace platform
{

DesignedLexicon::DesignedLexicon(const QString &objectName, const QStringList &englishItems, QObject *parent,
                                 LanguageEngine *engine)
    : QObject(parent), englishItems_(englishItems), engine_(engine ? engine : LanguageEngine::application())
{
    setObjectName(objectName);
}

QString DesignedLexicon::section() const
{
    return QStringLiteral("lexicon ") + objectName();
}

QString DesignedLexicon::item(int index) const
{
    if (index < 0 || index >= count())
        return {};
    if (engine_) {
        const QString translated = engine_->text(section(), QString::number(index));
        if (!translated.isNull())
            return translated;
    }
    return englishItems_.at(index);
}

} // namespace platform
