#include "LangFlagsCombo.h"

#include "LanguageEngine.h"

#include <QPixmap>

namespace platform
{

LangFlagsCombo::LangFlagsCombo(QWidget *parent, LanguageEngine *engine)
    : QComboBox(parent), engine_(engine ? engine : LanguageEngine::application())
{
    setIconSize(QSize(16, 16));
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(13);
    setFont(listFont);
    fill();
    connect(this, &QComboBox::activated, this, &LangFlagsCombo::pick);
}

void LangFlagsCombo::fill()
{
    if (!engine_)
        return;
    for (int position = 0; position < engine_->count(); ++position) {
        const Language &language = engine_->language(position);
        addItem(QIcon(QPixmap::fromImage(language.flag)), language.name, language.isoCode);
    }
}

void LangFlagsCombo::setSelectedPosition(int position)
{
    setCurrentIndex(position >= 0 && position < count() ? position : -1);
}

void LangFlagsCombo::pick(int position)
{
    if (engine_)
        engine_->Translate(engine_->GetISOCode(position));
    emit clicked();
}

} // namespace platform
