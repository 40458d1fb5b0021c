// The main window's controls and their arrangement.
#include "ActionPictures.h"
#include "DatePicker.h"
#include "DbGrid.h"
#include "GradientPanel.h"
#include "LangFlagsCombo.h"
#include "MainUniQEV.h"
#include "ProgramFont.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

constexpr int bannerWidth = 305;
constexpr int bannerHeight = 135;
constexpr int objectPanelDesignWidth = 496;

QLabel *namedLabel(const QString &objectName, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QPushButton *namedButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setMinimumHeight(30);
    return button;
}

QAction *namedAction(const QString &objectName, const QString &caption, int pictureIndex, QObject *owner)
{
    auto *action = new QAction(actionPicture(pictureIndex), caption, owner);
    action->setObjectName(objectName);
    return action;
}

DatePicker *datePicker(const QString &objectName, const QDateTime &designValue, QWidget *parent)
{
    auto *picker = new DatePicker(parent);
    picker->setObjectName(objectName);
    picker->setDateTime(designValue);
    picker->setMinimumWidth(110);
    return picker;
}

QToolBar *toolRow(const QString &objectName, QAction *first, QAction *second, QWidget *parent)
{
    auto *row = new QToolBar(parent);
    row->setObjectName(objectName);
    row->setIconSize(QSize(24, 24));
    row->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    row->addAction(first);
    row->addAction(second);
    return row;
}

} // namespace

void TMainUniQEVForm::createActions()
{
    ActionManager1 = new QObject(this);
    ActionManager1->setObjectName(QStringLiteral("ActionManager1"));
    actChart = namedAction(QStringLiteral("actChart"), tr("Chart"), 0, ActionManager1);
    connect(actChart, &QAction::triggered, this, &TMainUniQEVForm::actChartExecute);
    ActResuComment =
        namedAction(QStringLiteral("ActResuComment"), tr("Edit result comment"), 1, ActionManager1);
    actMyname = namedAction(QStringLiteral("actMyname"), tr("Edit description"), 1, ActionManager1);
    actDelRekord =
        namedAction(QStringLiteral("actDelRekord"), tr("Delete marked records"), 2, ActionManager1);
    actDelObject = namedAction(QStringLiteral("actDelObject"), tr("Delete object"), 2, ActionManager1);
}

QWidget *TMainUniQEVForm::createTopPanel()
{
    Panel1 = new GradientPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));

    // The six banners share one spot; the language brings one to the front.
    auto *bannerSpot = new QWidget(Panel1);
    bannerSpot->setFixedSize(bannerWidth, bannerHeight);
    QLabel **banners[] = {&imgEN, &imgPL, &imgDE, &imgFR, &imgES, &imgRU};
    const char *languageCodes[] = {"EN", "PL", "DE", "FR", "ES", "RU"};
    for (int i = 0; i < 6; ++i) {
        const QString code = QString::fromLatin1(languageCodes[i]);
        *banners[i] = namedLabel(QStringLiteral("img") + code, {}, bannerSpot);
        (*banners[i])->setGeometry(0, 0, bannerWidth, bannerHeight);
        (*banners[i])->setScaledContents(true);
        (*banners[i])
            ->setPixmap(QPixmap(m_programFolder + QStringLiteral("/pictures/banner_") + code.toLower() +
                                QStringLiteral(".png")));
    }
    imgEN->raise();

    auto *languageRow = new QHBoxLayout;
    LangFlagsCombo1 = new platform::LangFlagsCombo(Panel1, LangManEngine1);
    LangFlagsCombo1->setObjectName(QStringLiteral("LangFlagsCombo1"));
    LangFlagsCombo1->setMinimumWidth(140);
    BitBtn1 = namedButton(QStringLiteral("BitBtn1"), tr("Contact us"), Panel1);
    BitBtnFAQ = namedButton(QStringLiteral("BitBtnFAQ"), tr("FAQ"), Panel1);
    languageRow->addStretch();
    languageRow->addWidget(LangFlagsCombo1);
    languageRow->addWidget(BitBtn1);
    languageRow->addWidget(BitBtnFAQ);

    auto *controls = new QHBoxLayout;
    controls->addWidget(createDeviceBox());
    controls->addWidget(createCommandButtons());
    controls->addWidget(createDateGroup(), 0, Qt::AlignBottom);
    controls->addStretch();

    auto *right = new QVBoxLayout;
    right->addLayout(languageRow);
    right->addStretch();
    right->addLayout(controls);

    auto *layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(16);
    layout->addWidget(bannerSpot, 0, Qt::AlignTop);
    layout->addLayout(right, 1);
    return Panel1;
}

QWidget *TMainUniQEVForm::createDeviceBox()
{
    auto *box = new QWidget(Panel1);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    LabNazwa = namedLabel(QStringLiteral("LabNazwa"), {}, box);
    LabSN = namedLabel(QStringLiteral("LabSN"), {}, box);
    LabFV = namedLabel(QStringLiteral("LabFV"), {}, box);
    QLabel *values[] = {LabNazwa, LabSN, LabFV};
    const QString captions[] = {tr("Device:"), tr("SN:"), tr("FV:")};
    const QString captionNames[] = {QStringLiteral("LabDevice"), QStringLiteral("LabSerialNumber"),
                                    QStringLiteral("LabFirmware")};
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(namedLabel(captionNames[row], captions[row], box), row, 0);
        values[row]->setMinimumWidth(110);
        values[row]->setFont(programFont(12, true));
        grid->addWidget(values[row], row, 1);
    }
    ButtonConnect = namedButton(QStringLiteral("ButtonConnect"), tr("START"), box);
    ButtonConnect->setFont(programFont(16, true));
    ButtonConnect->setMinimumSize(150, 40);
    grid->addWidget(ButtonConnect, 3, 0, 1, 2);
    return box;
}

QWidget *TMainUniQEVForm::createCommandButtons()
{
    auto *box = new QWidget(Panel1);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    btnRaport = namedButton(QStringLiteral("btnRaport"), tr("Report"), box);
    JvBitBtn1 = namedButton(QStringLiteral("JvBitBtn1"), actChart->text(), box);
    JvBitBtn1->setIcon(actChart->icon());
    connect(JvBitBtn1, &QPushButton::clicked, actChart, &QAction::trigger);
    btnExportPDF = namedButton(QStringLiteral("btnExportPDF"), tr("Export to PDF"), box);
    btnExportXLS = namedButton(QStringLiteral("btnExportXLS"), tr("Export data"), box);
    grid->addWidget(btnRaport, 0, 0);
    grid->addWidget(JvBitBtn1, 0, 1);
    grid->addWidget(btnExportPDF, 1, 0);
    grid->addWidget(btnExportXLS, 1, 1);
    return box;
}

QGroupBox *TMainUniQEVForm::createDateGroup()
{
    GroupBox1 = new QGroupBox(Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    btnSelectDate = namedButton(QStringLiteral("btnSelectDate"), tr("Mark results by date"), GroupBox1);
    dtpDataOd =
        datePicker(QStringLiteral("dtpDataOd"), QDateTime(QDate(2017, 5, 30), QTime(0, 0, 0)), GroupBox1);
    dtpDataDo =
        datePicker(QStringLiteral("dtpDataDo"), QDateTime(QDate(2017, 5, 30), QTime(23, 59, 59)), GroupBox1);
    auto *grid = new QGridLayout(GroupBox1);
    grid->addWidget(btnSelectDate, 0, 0, 1, 4);
    grid->addWidget(namedLabel(QStringLiteral("LabDateFrom"), tr("from:"), GroupBox1), 1, 0);
    grid->addWidget(dtpDataOd, 1, 1);
    grid->addWidget(namedLabel(QStringLiteral("LabDateTo"), tr("to:"), GroupBox1), 1, 2);
    grid->addWidget(dtpDataDo, 1, 3);
    return GroupBox1;
}

QWidget *TMainUniQEVForm::createLowerArea()
{
    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setChildrenCollapsible(false);
    Splitter2->addWidget(createObjectPanel());
    Splitter2->addWidget(createResultPanel());
    // Extra width goes to the results, so the object panel keeps its width.
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({objectPanelDesignWidth, objectPanelDesignWidth});
    return Splitter2;
}

QWidget *TMainUniQEVForm::createObjectPanel()
{
    Panel3 = new QWidget(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    ToolBarObjects = toolRow(QStringLiteral("ToolBarObjects"), actDelObject, actMyname, Panel3);
    JvDBUGTempObjects = new DbGrid(Panel3);
    JvDBUGTempObjects->setObjectName(QStringLiteral("JvDBUGTempObjects"));
    auto *layout = new QVBoxLayout(Panel3);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBarObjects);
    layout->addWidget(JvDBUGTempObjects);
    return Panel3;
}

QWidget *TMainUniQEVForm::createResultPanel()
{
    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    ToolBarResults = toolRow(QStringLiteral("ToolBarResults"), actDelRekord, ActResuComment, Panel4);
    JvDBUGTemp_details = new DbGrid(Panel4);
    JvDBUGTemp_details->setObjectName(QStringLiteral("JvDBUGTemp_details"));
    auto *layout = new QVBoxLayout(Panel4);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBarResults);
    layout->addWidget(JvDBUGTemp_details);
    return Panel4;
}
