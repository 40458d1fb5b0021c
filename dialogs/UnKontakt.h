#pragma once

#include "SmallWindow.h"

#include <array>
#include <functional>

class ClickableLabel;
class QLabel;
class QPushButton;

// The contact window: the maker's logo, address, telephone, e-mail, web
// sites and social-media pages, each link opened by the desktop. Its content
// follows the language number at every showing: Polish data in Polish, the
// international data in every other language.
class TFormKontakt : public SmallWindow
{
    Q_OBJECT
public:
    explicit TFormKontakt(QWidget *mainWindow = nullptr);

    // Where the window asks for the current language number (0..5); the
    // main window hands in its GetActLangNbr. Without one it reads 0.
    void setLanguageNumberSource(std::function<int()> source) { languageNumber = std::move(source); }

    QLabel *imgEN;
    QLabel *imgPL;
    QLabel *imgDE;
    QLabel *imgFR;
    QLabel *imgES;
    QLabel *imgRU;
    QLabel *LabelINT;
    QLabel *LabelPL;
    QLabel *Image7;
    QLabel *LabelINTtel;
    QLabel *LabelPLtel;
    ClickableLabel *Image6;
    ClickableLabel *Label4;
    ClickableLabel *Image3;
    ClickableLabel *Label3int;
    ClickableLabel *Label3pl;
    ClickableLabel *Image2;
    ClickableLabel *Label2int;
    ClickableLabel *Label2pl;
    ClickableLabel *Image4;
    ClickableLabel *Image5;
    ClickableLabel *Image8;
    ClickableLabel *Image1;
    QPushButton *BitBtn1;

    void Label2intClick();
    void Label3intClick();
    void Label4Click();
    void Image4Click();
    void Image5Click();
    void Image8Click();
    void Image1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createLogos();
    void createAddress();
    void createLinks();
    void connectLinks();
    void FormShow();
    int currentLanguageNumber() const;

    std::array<QLabel *, 6> logos{};
    std::function<int()> languageNumber;
};

extern TFormKontakt *FormKontakt;
