#include "AnsiCodePage.h"

#include "AnsiText.h"

namespace report
{

int AnsiCodePage::forLanguage(QLocale::Language language)
{
    return static_cast<int>(AnsiText::codePageFor(QLocale(language)));
}

QByteArray AnsiCodePage::encode(QStringView text, int codePage)
{
    return AnsiText::encode(text, static_cast<AnsiText::CodePage>(codePage));
}

} // namespace report
