#include "MainUniQEV.h"

#include "MakerContact.h"
#include "UnKontakt.h"

#include <ShellOpen.h>

#include <QPushButton>

void TMainUniQEVForm::createContactLinks()
{
    connect(BitBtn1, &QPushButton::clicked, this, &TMainUniQEVForm::BitBtn1Click);
    connect(BitBtnFAQ, &QPushButton::clicked, this, &TMainUniQEVForm::BitBtnFAQClick);
}

void TMainUniQEVForm::BitBtn1Click()
{
    FormKontakt->setLanguageNumberSource([this] { return GetActLangNbr(); });
    FormKontakt->exec();
}

// The FAQ page of the current language; a language outside the six opens
// nothing.
void TMainUniQEVForm::BitBtnFAQClick()
{
    const QString address = maker::faqAddress(GetActLangNbr());
    if (!address.isEmpty())
        platform::shellOpen().open(address);
}
