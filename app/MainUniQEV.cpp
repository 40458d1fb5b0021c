// The main window's construction, start-up, window state and shutdown.
#include "MainUniQEV.h"

#include "Connection.h"
#include "Dataset.h"
#include "DatePicker.h"
#include "DbGrid.h"
#include "FTDIchip.h"
#include "FormStorage.h"
#include "OfficeDetection.h"
#include "PhotoCellCache.h"
#include "ReportActions.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <stdexcept>

TMainUniQEVForm *MainUniQEVForm = nullptr;

namespace
{

constexpr int designWidth = 1180;
constexpr int designHeight = 780;
constexpr int labelTimerInterval = 3000;

const QString keyDateFrom = QStringLiteral("dtpDataOd.Date");
const QString keyDateTo = QStringLiteral("dtpDataDo.Date");
const QString keyObjectPanelWidth = QStringLiteral("Panel3.Width");

QString withSeparator(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

store::Dataset *namedDataset(store::Connection &connection, const QString &name, QObject *owner)
{
    auto *dataset = new store::Dataset(connection, owner);
    dataset->setObjectName(name);
    return dataset;
}

// The placeholder photo must be a JPEG picture the program can draw.
std::unique_ptr<QImage> loadPlaceholderPhoto(const QString &path)
{
    QImageReader reader(path, "jpeg");
    reader.setDecideFormatFromContent(false);
    auto picture = std::make_unique<QImage>();
    if (!reader.read(picture.get())) {
        const QString message =
            TMainUniQEVForm::tr("The picture \"%1\" cannot be read (%2). It belongs in the program folder; "
                                "install the program again to restore it.")
                .arg(QDir::toNativeSeparators(path), reader.errorString());
        throw std::runtime_error(message.toStdString());
    }
    return picture;
}

} // namespace

TMainUniQEVForm::TMainUniQEVForm(const QString &programFolder, const QString &stateFile, QWidget *parent)
    : QWidget(parent), FDConnection1(std::make_unique<store::Connection>()),
      m_programFolder(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder),
      m_photoCells(std::make_unique<PhotoCellCache>())
{
    setObjectName(QStringLiteral("MainUniQEVForm"));
    setWindowTitle(QStringLiteral("ZORVIK S. A.   v.1.32"));
    m_formStorage = std::make_unique<FormStorage>(
        stateFile.isEmpty() ? FormStorage::defaultFilePath() : stateFile, objectName());

    FDQObiekty = namedDataset(*FDConnection1, QStringLiteral("FDQObiekty"), this);
    FDQWyniki = namedDataset(*FDConnection1, QStringLiteral("FDQWyniki"), this);
    FDQfrxObiekty = namedDataset(*FDConnection1, QStringLiteral("FDQfrxObiekty"), this);
    FDQfrxWyniki = namedDataset(*FDConnection1, QStringLiteral("FDQfrxWyniki"), this);
    FDTableKonfig = namedDataset(*FDConnection1, QStringLiteral("FDTableKonfig"), this);
    FDTableDevices = namedDataset(*FDConnection1, QStringLiteral("FDTableDevices"), this);

    createLanguageEngine();
    createActions();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createTopPanel());
    layout->addWidget(createLowerArea(), 1);
    setUpGrids();
    createEditing();
    createContactLinks();
    createReportComponents();
    resize(designWidth, designHeight);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(labelTimerInterval);
    Timer1->start();
    createImportComponents();
    attachLanguageClient();
}

TMainUniQEVForm::~TMainUniQEVForm()
{
    if (m_stateRestored && !m_stateSaved)
        saveWindowState();
    FormClose();
}

// The state comes back before the window appears, so that it opens where
// the user left it and nothing in start-up sees the design values.
void TMainUniQEVForm::setVisible(bool visible)
{
    if (visible && !m_stateRestored) {
        m_stateRestored = true;
        restoreWindowState();
    }
    QWidget::setVisible(visible);
}

void TMainUniQEVForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_startedUp || event->spontaneous())
        return;
    m_startedUp = true;
    FormShow();
}

void TMainUniQEVForm::closeEvent(QCloseEvent *event)
{
    if (closeWaitsForImport(event))
        return;
    saveWindowState();
    FormClose();
    event->accept();
}

void TMainUniQEVForm::FormShow()
{
    ProgramPath = withSeparator(m_programFolder);
    FDConnection1->open(ProgramPath + QStringLiteral("ZRVbase.fb"));
    JpegImagePuste = loadPlaceholderPhoto(ProgramPath + QStringLiteral("Puste.jpg"));
    FtdiRS = std::make_unique<tftdichip>();
    FlagaJest = false;
    FDTableKonfig->openTable(QStringLiteral("KONFIGURACJA"), QStringLiteral("IDD"));
    FDTableDevices->openTable(QStringLiteral("ZRVDEVICES"), QStringLiteral("IDDEV"));
    FDTableDevices->locate(QStringLiteral("IDDEV"), 3);
    RefreshObjects({});
    ApplyStoredLanguage();
    connectChartWindow();

    const platform::OfficeDetection offices = platform::OfficeDetection::fromEnvironment();
    IsOpenOffExport = offices.classesRootKeyExists(QStringLiteral("soffice.StarCalcDocument\\CurVer"));
    IsExcelExport = offices.classesRootKeyExists(QStringLiteral("Excel.Application\\CurVer"));
}

// The chip object is taken out of FtdiRS before it goes, so nothing can
// reach it half destroyed; its device handle is not closed here.
void TMainUniQEVForm::FormClose()
{
    FDQObiekty->close();
    FDQWyniki->close();
    FDConnection1->close();
    FtdiRS.reset();
}

void TMainUniQEVForm::restoreWindowState()
{
    m_formStorage->restorePlacement(*this);
    const QDateTime from = QDateTime::fromString(m_formStorage->value(keyDateFrom).toString(), Qt::ISODate);
    if (from.isValid())
        dtpDataOd->setDateTime(from);
    const QDateTime to = QDateTime::fromString(m_formStorage->value(keyDateTo).toString(), Qt::ISODate);
    if (to.isValid())
        dtpDataDo->setDateTime(to);
    bool widthOk = false;
    const int objectPanelWidth = m_formStorage->value(keyObjectPanelWidth).toInt(&widthOk);
    if (widthOk && objectPanelWidth > 0)
        Splitter2->setSizes({objectPanelWidth, qMax(1, width() - objectPanelWidth)});
    JvDBUGTempObjects->restoreLayout(*m_formStorage);
    JvDBUGTemp_details->restoreLayout(*m_formStorage);
}

void TMainUniQEVForm::saveWindowState()
{
    m_formStorage->savePlacement(*this);
    m_formStorage->setValue(keyDateFrom, dtpDataOd->dateTime().toString(Qt::ISODate));
    m_formStorage->setValue(keyDateTo, dtpDataDo->dateTime().toString(Qt::ISODate));
    m_formStorage->setValue(keyObjectPanelWidth, Panel3->width());
    JvDBUGTempObjects->saveLayout(*m_formStorage);
    JvDBUGTemp_details->saveLayout(*m_formStorage);
    if (!m_formStorage->flush())
        qWarning("The window state could not be written to %s", qUtf8Printable(m_formStorage->filePath()));
    m_stateSaved = true;
}
