// The main window's import: START, the instrument search, the command
// exchange, the driver set-up process and the label timer.
#include "MainUniQEV.h"

#include "CommandExchange.h"
#include "Connection.h"
#include "DesignedLexicon.h"
#include "DeviceAccess.h"
#include "DeviceSearch.h"
#include "FTDIchip.h"
#include "ImportHost.h"
#include "InstrumentImport.h"
#include "ProcessLauncher.h"
#include "UnInfo.h"
#include "UnProgres.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace
{

const QString driverSetUp = QStringLiteral("CDM21228_Setup.exe");

// The progress window, the cursor and the main window as the import and
// the search see them.
class MainWindowImportHost final : public ImportHost, public DeviceSearchHost
{
public:
    explicit MainWindowImportHost(TMainUniQEVForm &window) : window_(window) {}
    ~MainWindowImportHost() override { restoreCursor(); }

    void setMessageVisible(Message message, bool visible) override { label(message)->setVisible(visible); }
    void setProgress(int percent) override { ProgresForm->ProgressBar1->setValue(percent); }
    void showProgressWindow() override
    {
        ProgresForm->show();
        ProgresForm->raise();
    }
    void hideProgressWindow() override { ProgresForm->hide(); }
    void pumpEvents() override { QApplication::processEvents(); }

    void setHourglassCursor() override
    {
        if (!hourglass_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        hourglass_ = true;
    }
    void restoreCursor() override
    {
        if (hourglass_)
            QApplication::restoreOverrideCursor();
        hourglass_ = false;
    }

    int searchDevices() override { return window_.SearchDevices(); }
    QByteArray sendCommand(const QByteArray &command, int expectedLength) override
    {
        return window_.SendCommand(command, expectedLength);
    }
    void showInstrument(const QString &serialNumber, const QString &firmwareVersion) override
    {
        window_.LabFV->setText(firmwareVersion);
        window_.LabSN->setText(serialNumber);
        window_.LabNazwa->setText(window_.DesignedLexicon1->item(2));
    }
    void refreshObjects() override { window_.RefreshObjects({}); }

    void showInstallingDriver(bool visible) override
    {
        setMessageVisible(Message::InstallingDriver, visible);
    }
    void showSearching() override { setMessageVisible(Message::Searching, true); }
    void startDriverInstaller() override
    {
        window_.FlagaStop = false;
        window_.JvCreateProcFTDI->setCurrentDirectory(window_.ProgramPath);
        window_.JvCreateProcFTDI->run();
    }
    bool driverInstallerEnded() const override { return window_.FlagaStop; }

private:
    static QLabel *label(Message message)
    {
        switch (message) {
        case Message::Searching:
            return ProgresForm->LabSearch;
        case Message::Importing:
            return ProgresForm->LabImport;
        case Message::NoDevice:
            return ProgresForm->LabNodevice;
        case Message::Error:
            return ProgresForm->LabError;
        case Message::InstallingDriver:
            break;
        }
        return ProgresForm->LabelFTDI;
    }

    TMainUniQEVForm &window_;
    bool hourglass_ = false;
};

} // namespace

void TMainUniQEVForm::createImportComponents()
{
    JvCreateProcFTDI = new platform::ProcessLauncher(this);
    JvCreateProcFTDI->setObjectName(QStringLiteral("JvCreateProcFTDI"));
    JvCreateProcFTDI->setCommandLine(driverSetUp);
    connect(JvCreateProcFTDI, &platform::ProcessLauncher::terminated, this,
            &TMainUniQEVForm::JvCreateProcFTDITerminate);
    connect(ButtonConnect, &QPushButton::clicked, this, &TMainUniQEVForm::ButtonConnectClick);
    connect(Timer1, &QTimer::timeout, this, &TMainUniQEVForm::Timer1Timer);
}

// The import lets the GUI handle events while it waits on the line, so
// START can be pressed again meanwhile: that press is ignored, imports
// never nest. A close asked for meanwhile is carried out once it ends.
void TMainUniQEVForm::ButtonConnectClick()
{
    if (m_importRunning || !FtdiRS || !FDConnection1->isOpen())
        return;
    m_importRunning = true;
    std::optional<FT_STATUS> openFailure;
    try {
        MainWindowImportHost host(*this);
        InstrumentImport import(*FtdiRS, *FDConnection1, host,
                                ImportState{ListaPPDev, USBPortSerial, FlagaJest, DevFirmWare});
        import.run();
        openFailure = import.openFailure();
    } catch (...) {
        finishImport();
        throw;
    }
    finishImport();
    if (openFailure && !m_closeRequested)
        showDeviceAccessAdvice(*openFailure);
}

void TMainUniQEVForm::finishImport()
{
    m_importRunning = false;
    if (m_closeRequested)
        QTimer::singleShot(0, this, &QWidget::close);
}

// "Device not connected" alone would send the user looking for a cable
// fault when the device is there but refuses this user.
void TMainUniQEVForm::showDeviceAccessAdvice(std::uint32_t openStatus)
{
    const QString advice = platform::deviceAccessAdvice(openStatus, ProgramPath);
    if (!advice.isEmpty() && InfoForm)
        InfoForm->DlgShow(advice);
}

bool TMainUniQEVForm::importIsRunning() const
{
    return m_importRunning;
}

// The chip and the database stay with a running import; the window closes
// when it has ended.
bool TMainUniQEVForm::closeWaitsForImport(QCloseEvent *event)
{
    if (!m_importRunning)
        return false;
    m_closeRequested = true;
    event->ignore();
    return true;
}

int TMainUniQEVForm::SearchDevices()
{
    MainWindowImportHost host(*this);
    DeviceSearch search(*FtdiRS, host);
    return search.run(ListaPPDev);
}

QByteArray TMainUniQEVForm::SendCommand(const QByteArray &command, int expectedLength)
{
    CommandExchange exchange(*FtdiRS);
    return exchange.send(command, expectedLength);
}

void TMainUniQEVForm::ShowNoDevice()
{
    MainWindowImportHost host(*this);
    InstrumentImport import(*FtdiRS, *FDConnection1, host,
                            ImportState{ListaPPDev, USBPortSerial, FlagaJest, DevFirmWare});
    import.showNoDevice();
}

void TMainUniQEVForm::JvCreateProcFTDITerminate(int ExitCode)
{
    Q_UNUSED(ExitCode)
    FlagaStop = true;
}

void TMainUniQEVForm::Timer1Timer()
{
    if (FlagaJest)
        return;
    LabFV->setText(QStringLiteral(" "));
    LabSN->setText(QStringLiteral(" "));
    LabNazwa->setText(QStringLiteral(" "));
}
