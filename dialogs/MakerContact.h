#pragma once

#include <QString>

// The maker's contact data, kept in this one place. Every value here is a
// placeholder (".example" addresses, a number of zeros) for the maker to
// replace with its own. Addresses that differ by language are chosen by the
// language number 0..5 (English, Polish, German, French, Spanish, Russian);
// any other number gives an empty address, which opens nothing.
namespace maker
{

QString companyInternational(); // name, street with postcode and city, country
QString companyPolish();        // name in its Polish form, street with postcode and city
QString telephoneInternational();
QString telephonePolish();
QString emailAddress();
QString mailtoAddress();

QString webSiteLabelInternational();
QString webSiteLabelPolish();
QString dogSiteLabelInternational();
QString dogSiteLabelPolish();

QString webSiteAddress(int languageNumber);
QString dogSiteAddress(int languageNumber);
QString faqAddress(int languageNumber);

QString facebookAddress();
QString linkedInAddress();
QString youTubeAddress();
QString instagramAddress();

} // namespace maker
