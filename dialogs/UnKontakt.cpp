#include "UnKontakt.h"

#include "ClickableLabel.h"
#include "MakerContact.h"
#include "ProgramPictures.h"

#include <QPushButton>
#include <ShellOpen.h>

TFormKontakt *FormKontakt = nullptr;

namespace
{

constexpr int BorderWidth = 3;
const QSize ClientSize(347, 362);
const QColor ContactBackground(218, 241, 255);
constexpr int PolishLanguageNumber = 1;

// The window's two columns: telephone and main web site on the left, e-mail
// and breeders' web site on the right, each text centred under its icon.
constexpr int LeftColumnX = 0;
constexpr int RightColumnX = 174;
constexpr int ColumnWidth = 173;
constexpr int IconSize = 25;
constexpr int LineHeight = 24;

QRect inClient(int x, int y, int width, int height)
{
    return QRect(BorderWidth + x, BorderWidth + y, width, height);
}

QRect iconInColumn(int columnX, int y)
{
    return inClient(columnX + (ColumnWidth - IconSize) / 2, y, IconSize, IconSize);
}

template <typename Label>
Label *addLabel(QWidget *window, const QString &objectName, const QString &text, QRect place)
{
    auto *label = new Label(window);
    label->setObjectName(objectName);
    label->setText(text);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(place);
    return label;
}

template <typename Label>
Label *addPicture(QWidget *window, const QString &objectName, const QString &pictureFile, QRect place)
{
    auto *picture = new Label(window);
    picture->setObjectName(objectName);
    picture->setPixmap(programPicture(pictureFile));
    picture->setScaledContents(true);
    picture->setGeometry(place);
    return picture;
}

// An address that is empty (a language number outside 0..5) opens nothing.
void openAddress(const QString &address)
{
    if (!address.isEmpty())
        platform::shellOpen().open(address);
}

} // namespace

TFormKontakt::TFormKontakt(QWidget *mainWindow)
    : SmallWindow(mainWindow, ClientSize + QSize(2 * BorderWidth, 2 * BorderWidth))
{
    setObjectName(QStringLiteral("FormKontakt"));
    setCentredOnMainWindow(true);
    setBackground(ContactBackground);
    setFont(tahoma(16, true));

    createLogos();
    createAddress();
    createLinks();
    connectLinks();

    BitBtn1 =
        addPictureButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"), QStringLiteral("button_ok.png"),
                         QPoint(BorderWidth + 90, BorderWidth + 308), 161, ModalResultOk);
    BitBtn1->setDefault(true);
}

void TFormKontakt::createLogos()
{
    const QRect place = inClient(64, 8, 219, 55);
    imgEN = addPicture<QLabel>(this, QStringLiteral("imgEN"), QStringLiteral("logo_en.png"), place);
    imgPL = addPicture<QLabel>(this, QStringLiteral("imgPL"), QStringLiteral("logo_pl.png"), place);
    imgDE = addPicture<QLabel>(this, QStringLiteral("imgDE"), QStringLiteral("logo_de.png"), place);
    imgFR = addPicture<QLabel>(this, QStringLiteral("imgFR"), QStringLiteral("logo_fr.png"), place);
    imgES = addPicture<QLabel>(this, QStringLiteral("imgES"), QStringLiteral("logo_es.png"), place);
    imgRU = addPicture<QLabel>(this, QStringLiteral("imgRU"), QStringLiteral("logo_ru.png"), place);
    logos = {imgEN, imgPL, imgDE, imgFR, imgES, imgRU};
}

void TFormKontakt::createAddress()
{
    const QRect addressBlock = inClient(0, 76, ClientSize.width(), 62);
    LabelINT =
        addLabel<QLabel>(this, QStringLiteral("LabelINT"), maker::companyInternational(), addressBlock);
    LabelPL = addLabel<QLabel>(this, QStringLiteral("LabelPL"), maker::companyPolish(), addressBlock);

    Image7 = addPicture<QLabel>(this, QStringLiteral("Image7"), QStringLiteral("icon_phone.png"),
                                iconInColumn(LeftColumnX, 141));
    const QRect telephone = inClient(LeftColumnX, 174, ColumnWidth, LineHeight);
    LabelINTtel =
        addLabel<QLabel>(this, QStringLiteral("LabelINTtel"), maker::telephoneInternational(), telephone);
    LabelPLtel = addLabel<QLabel>(this, QStringLiteral("LabelPLtel"), maker::telephonePolish(), telephone);
}

void TFormKontakt::createLinks()
{
    Image6 = addPicture<ClickableLabel>(this, QStringLiteral("Image6"), QStringLiteral("icon_mail.png"),
                                        iconInColumn(RightColumnX, 141));
    Label4 = addLabel<ClickableLabel>(this, QStringLiteral("Label4"), maker::emailAddress(),
                                      inClient(RightColumnX, 174, ColumnWidth, LineHeight));

    Image3 = addPicture<ClickableLabel>(this, QStringLiteral("Image3"), QStringLiteral("icon_web.png"),
                                        iconInColumn(LeftColumnX, 210));
    const QRect webSite = inClient(LeftColumnX, 241, ColumnWidth, LineHeight);
    Label3int = addLabel<ClickableLabel>(this, QStringLiteral("Label3int"),
                                         maker::webSiteLabelInternational(), webSite);
    Label3pl =
        addLabel<ClickableLabel>(this, QStringLiteral("Label3pl"), maker::webSiteLabelPolish(), webSite);

    Image2 = addPicture<ClickableLabel>(this, QStringLiteral("Image2"), QStringLiteral("icon_dogs.png"),
                                        iconInColumn(RightColumnX, 210));
    const QRect dogSite = inClient(RightColumnX, 241, ColumnWidth, LineHeight);
    Label2int = addLabel<ClickableLabel>(this, QStringLiteral("Label2int"),
                                         maker::dogSiteLabelInternational(), dogSite);
    Label2pl =
        addLabel<ClickableLabel>(this, QStringLiteral("Label2pl"), maker::dogSiteLabelPolish(), dogSite);

    Image4 = addPicture<ClickableLabel>(this, QStringLiteral("Image4"), QStringLiteral("icon_facebook.png"),
                                        inClient(90, 273, IconSize, IconSize));
    Image5 = addPicture<ClickableLabel>(this, QStringLiteral("Image5"), QStringLiteral("icon_linkedin.png"),
                                        inClient(135, 273, IconSize, IconSize));
    Image8 = addPicture<ClickableLabel>(this, QStringLiteral("Image8"), QStringLiteral("icon_youtube.png"),
                                        inClient(181, 273, IconSize, IconSize));
    Image1 = addPicture<ClickableLabel>(this, QStringLiteral("Image1"), QStringLiteral("icon_instagram.png"),
                                        inClient(226, 273, IconSize, IconSize));
}

void TFormKontakt::connectLinks()
{
    for (ClickableLabel *element : {Label2int, Label2pl, Image2})
        connect(element, &ClickableLabel::clicked, this, &TFormKontakt::Label2intClick);
    for (ClickableLabel *element : {Label3int, Label3pl, Image3})
        connect(element, &ClickableLabel::clicked, this, &TFormKontakt::Label3intClick);
    for (ClickableLabel *element : {Label4, Image6})
        connect(element, &ClickableLabel::clicked, this, &TFormKontakt::Label4Click);
    connect(Image4, &ClickableLabel::clicked, this, &TFormKontakt::Image4Click);
    connect(Image5, &ClickableLabel::clicked, this, &TFormKontakt::Image5Click);
    connect(Image8, &ClickableLabel::clicked, this, &TFormKontakt::Image8Click);
    connect(Image1, &ClickableLabel::clicked, this, &TFormKontakt::Image1Click);
}

int TFormKontakt::currentLanguageNumber() const
{
    return languageNumber ? languageNumber() : 0;
}

void TFormKontakt::showEvent(QShowEvent *event)
{
    FormShow();
    SmallWindow::showEvent(event);
}

void TFormKontakt::FormShow()
{
    const int language = currentLanguageNumber();
    if (language >= 0 && language < int(logos.size()))
        logos[language]->raise();

    const bool polish = language == PolishLanguageNumber;
    for (QLabel *label : std::initializer_list<QLabel *>{LabelPL, LabelPLtel, Label2pl, Label3pl})
        label->setVisible(polish);
    for (QLabel *label : std::initializer_list<QLabel *>{LabelINT, LabelINTtel, Label2int, Label3int})
        label->setVisible(!polish);
}

void TFormKontakt::Label2intClick()
{
    openAddress(maker::dogSiteAddress(currentLanguageNumber()));
}

void TFormKontakt::Label3intClick()
{
    openAddress(maker::webSiteAddress(currentLanguageNumber()));
}

void TFormKontakt::Label4Click()
{
    openAddress(maker::mailtoAddress());
}

void TFormKontakt::Image4Click()
{
    openAddress(maker::facebookAddress());
}

void TFormKontakt::Image5Click()
{
    openAddress(maker::linkedInAddress());
}

void TFormKontakt::Image8Click()
{
    openAddress(maker::youTubeAddress());
}

void TFormKontakt::Image1Click()
{
    openAddress(maker::instagramAddress());
}
