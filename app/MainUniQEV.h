#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>

class QAction;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QIcon;
class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QToolBar;
class DatePicker;
class DbGrid;
class FormStorage;
class GradientPanel;
struct GridColumn;
class PhotoCellCache;
class tftdichip;

namespace platform
{
class DesignedLexicon;
class ProcessLauncher;
class LangFlagsCombo;
class LanguageClient;
class LanguageEngine;
} // namespace platform

namespace report
{
class ReportActions;
struct ReportObject;
} // namespace report

namespace store
{
class Connection;
class Dataset;
} // namespace store

// The main window: every control the user sees, the data components, the
// state shared by the handlers and the handlers themselves. The handlers of
// each subsystem live in a file of their own (MainUniQEV<Topic>.cpp).
class TMainUniQEVForm : public QWidget
{
    Q_OBJECT
public:
    // programFolder: the folder that holds the database, "Puste.jpg" and
    // the other files of the program; empty means the executable's folder.
    // stateFile: the window state file; empty means the user's default.
    explicit TMainUniQEVForm(const QString &programFolder = {}, const QString &stateFile = {},
                             QWidget *parent = nullptr);
    ~TMainUniQEVForm() override;

    // --- Top panel
    GradientPanel *Panel1;
    QLabel *imgEN;
    QLabel *imgPL;
    QLabel *imgDE;
    QLabel *imgFR;
    QLabel *imgES;
    QLabel *imgRU;
    QLabel *LabNazwa;
    QLabel *LabSN;
    QLabel *LabFV;
    QPushButton *ButtonConnect;
    platform::LangFlagsCombo *LangFlagsCombo1;
    QPushButton *BitBtn1;
    QPushButton *BitBtnFAQ;
    QPushButton *btnRaport;
    QPushButton *JvBitBtn1;
    QPushButton *btnExportPDF;
    QPushButton *btnExportXLS;
    QGroupBox *GroupBox1;
    QPushButton *btnSelectDate;
    DatePicker *dtpDataOd;
    DatePicker *dtpDataDo;
    QTimer *Timer1;

    // --- Lists
    QWidget *Panel3;
    QSplitter *Splitter2;
    QWidget *Panel4;
    QToolBar *ToolBarObjects;
    QToolBar *ToolBarResults;
    DbGrid *JvDBUGTempObjects;
    DbGrid *JvDBUGTemp_details;
    QFileDialog *OpenPictureDialog1;

    // --- Actions (pictures from ImageList1: 0 chart, 1 edit, 2 delete)
    QObject *ActionManager1;
    QAction *actChart;
    QAction *ActResuComment;
    QAction *actMyname;
    QAction *actDelRekord;
    QAction *actDelObject;

    // --- Data components
    std::unique_ptr<store::Connection> FDConnection1;
    store::Dataset *FDQObiekty;
    store::Dataset *FDQWyniki;
    store::Dataset *FDQfrxObiekty;
    store::Dataset *FDQfrxWyniki;
    store::Dataset *FDTableKonfig;
    store::Dataset *FDTableDevices;

    // --- Shared state
    std::unique_ptr<tftdichip> FtdiRS;
    QString ProgramPath;
    QByteArray USBPortSerial;
    bool FlagaJest = false;
    bool FlagaStop = false;
    QByteArray DevFirmWare;
    std::array<QByteArray, 100> ListaPPDev;
    bool FlSelect_OT = false;
    bool FlSelect_WT = false;
    std::array<QString, 4> LastSortString;
    std::unique_ptr<QImage> JpegImagePuste;
    bool IsExcelExport = false;
    bool IsOpenOffExport = false;

    // --- Start-up and shutdown
    void FormShow();
    void FormClose();

    // --- Object and result lists
    void RefreshObjects(const QString &sortClause);
    void RefreshResults(const QString &sortClause);
    void FDQObiektyAfterScroll();
    bool jvdbGrHobjectsUserSort(const QString &fieldName, bool ascending);
    bool jvdbWynikiUserSort(const QString &fieldName, bool ascending);
    void JvDBUGTempObjectsTitleBtnClick(int column);
    void JvDBUGTemp_detailsTitleBtnClick(int column);
    void jvdbGrHobjectsCellClick(int column);
    void jvdbGrHresultsCellClick(int column);
    bool jvdbGrHresultsCheckIfBooleanField(const store::Dataset &dataset, const QString &fieldName) const;
    void JvDBUGTempObjectsDrawColumnCell(QPainter &painter, const QRect &cell, int row,
                                         const GridColumn &column);

    // --- Language
    platform::LanguageEngine *LangManEngine1;
    platform::LanguageClient *LangManClient1;
    platform::DesignedLexicon *DesignedLexicon1;
    int GetActLangNbr() const;
    void LangFlagsCombo1ChangeLanguage();

    // --- Editing, deletion and marking by date
    QMenu *PopABobjectT;
    QMenu *PopABresult;
    void actMynameExecute();
    void ActResuCommentExecute();
    void actDelRekordExecute();
    void actDelObjectExecute();
    void btnSelectDateClick();

    // --- Contact and FAQ
    void BitBtn1Click();
    void BitBtnFAQClick();

    // --- Chart
    void actChartExecute();

    // --- Reports and export: frxReport1, its datasets and export components
    std::unique_ptr<report::ReportActions> Reports;
    QFileDialog *dlgSavePDF;
    QFileDialog *dlgSaveExport;
    void btnRaportClick();
    void btnExportPDFClick();
    void btnExportXLSClick();
    void PrintChart(bool ToJPG);
    void frxDBObiektyNext();
    void frxReport1BeforePrint(report::ReportObject &Sender);

    // --- Import from the instrument
    platform::ProcessLauncher *JvCreateProcFTDI;
    void ButtonConnectClick();
    void Timer1Timer();
    void JvCreateProcFTDITerminate(int ExitCode);
    int SearchDevices();
    QByteArray SendCommand(const QByteArray &command, int expectedLength);
    void ShowNoDevice();
    bool importIsRunning() const;

protected:
    void setVisible(bool visible) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // --- Language
    void createLanguageEngine();
    void attachLanguageClient();
    std::array<QLabel *, 6> languageBanners() const;
    void ApplyStoredLanguage();
    void StoreLanguagePosition();
    void ShowLanguageBanner();

    // --- Editing, deletion and marking by date
    void createEditing();
    bool hasCurrentObject() const;
    bool hasCurrentResult() const;
    void placeTextEntryWindow();
    bool editTextOfCurrentRow(store::Dataset &list, const QString &field, QLabel *caption);
    bool confirmed(int question);

    // --- Contact and FAQ
    void createContactLinks();

    // --- Reports
    void createReportComponents();
    void connectChartWindow();
    void PrepareReport();

    // --- Import
    void createImportComponents();
    void finishImport();
    void showDeviceAccessAdvice(std::uint32_t openStatus);
    bool closeWaitsForImport(QCloseEvent *event);
    bool m_importRunning = false;
    bool m_closeRequested = false;

    // --- Layout
    void createActions();
    QWidget *createTopPanel();
    QWidget *createDeviceBox();
    QWidget *createCommandButtons();
    QGroupBox *createDateGroup();
    QWidget *createLowerArea();
    QWidget *createObjectPanel();
    QWidget *createResultPanel();
    void setUpGrids();

    // --- Window state
    void restoreWindowState();
    void saveWindowState();

    // --- Lists
    int currentDeviceId() const;
    int currentObjectId() const;
    bool listsAreOpen() const;
    void choosePhotoForCurrentObject();
    void toggleMark(store::Dataset &list, const QString &markField);
    QByteArray readPhoto(int objectId);
    void drawPicture(QPainter &painter, const QRect &cell, const QImage &picture);
    QImage placeholderFor(const QSize &size);

    QString m_programFolder;
    std::unique_ptr<FormStorage> m_formStorage;
    std::unique_ptr<PhotoCellCache> m_photoCells;
    bool m_stateRestored = false;
    bool m_startedUp = false;
    bool m_stateSaved = false;
    QImage m_placeholderCell;
};

extern TMainUniQEVForm *MainUniQEVForm;
