#include "MakerContact.h"

#include <array>

namespace maker
{

namespace
{

using PerLanguage = std::array<const char *, 6>;

// In language-number order: English, Polish, German, French, Spanish, Russian.
constexpr PerLanguage WebSite{"https://www.maker.example/en/", "https://maker.example/pl/",
                              "https://www.maker.example/de/", "https://www.maker.example/fr/",
                              "https://www.maker.example/es/", "https://www.maker.example/ru/"};
constexpr PerLanguage DogSite{"https://dogs.maker.example/en/", "https://psy.maker.example/",
                              "https://dogs.maker.example/de/", "https://dogs.maker.example/fr/",
                              "https://dogs.maker.example/es/", "https://dogs.maker.example/ru/"};
constexpr PerLanguage FaqPage{"https://dogs.maker.example/en/faq/", "https://psy.maker.example/faq/",
                              "https://dogs.maker.example/de/faq/", "https://dogs.maker.example/fr/faq/",
                              "https://dogs.maker.example/es/faq/", "https://dogs.maker.example/ru/faq/"};

QString perLanguage(const PerLanguage &addresses, int languageNumber)
{
    if (languageNumber < 0 || languageNumber >= int(addresses.size()))
        return {};
    return QString::fromLatin1(addresses[languageNumber]);
}

} // namespace

QString companyInternational()
{
    return QStringLiteral("Maker Company S.A.\nExample St. 1, 00-000 City\nPoland");
}

QString companyPolish()
{
    return QStringLiteral("Firma Producent S.A.\nul. Przykładowa 1, 00-000 Miasto");
}

QString telephoneInternational()
{
    return QStringLiteral("+48 00 000 00 00");
}

QString telephonePolish()
{
    return QStringLiteral("00 000 00 00");
}

QString emailAddress()
{
    return QStringLiteral("info@maker.example");
}

QString mailtoAddress()
{
    return QStringLiteral("mailto:") + emailAddress();
}

QString webSiteLabelInternational()
{
    return QStringLiteral("www.maker.example");
}

QString webSiteLabelPolish()
{
    return QStringLiteral("maker.example/pl");
}

QString dogSiteLabelInternational()
{
    return QStringLiteral("dogs.maker.example");
}

QString dogSiteLabelPolish()
{
    return QStringLiteral("psy.maker.example");
}

QString webSiteAddress(int languageNumber)
{
    return perLanguage(WebSite, languageNumber);
}

QString dogSiteAddress(int languageNumber)
{
    return perLanguage(DogSite, languageNumber);
}

QString faqAddress(int languageNumber)
{
    return perLanguage(FaqPage, languageNumber);
}

QString facebookAddress()
{
    return QStringLiteral("https://facebook.example/maker");
}

QString linkedInAddress()
{
    return QStringLiteral("https://linkedin.example/company/maker");
}

QString youTubeAddress()
{
    return QStringLiteral("https://youtube.example/@maker");
}

QString instagramAddress()
{
    return QStringLiteral("https://instagram.example/maker");
}

} // namespace maker
