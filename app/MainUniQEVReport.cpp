// The main window's report handlers: "Report", "Export to PDF", "Export
// data" and the chart window's printing. The work is done by the report
// components (report::ReportActions); the handlers keep the save dialogs.
#include "MainUniQEV.h"

#include "DesignedLexicon.h"
#include "ReportActions.h"
#include "UnChart.h"
#include "UnInfo.h"

#include <QFileDialog>
#include <QPushButton>

namespace
{

const QString PdfFilter = QStringLiteral("Acrobat Reader (*.pdf)");
const QStringList ExportFilters = {QStringLiteral("Microsoft Excel (*.xls)"),
                                   QStringLiteral("Open Office Calc (*.ods)"),
                                   QStringLiteral("Text file (*.txt)")};
const QStringList ExportSuffixes = {QStringLiteral("xls"), QStringLiteral("ods"), QStringLiteral("txt")};

// A save dialog that replaces an existing file without asking.
QFileDialog *saveDialog(const QString &objectName, const QStringList &filters, QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(objectName);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters(filters);
    return dialog;
}

QString chosenFile(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void TMainUniQEVForm::createReportComponents()
{
    report::ReportActions::Program program;
    program.programPath = [this] { return ProgramPath; };
    program.deviceId = [this] { return currentDeviceId(); };
    program.languageNumber = [this] { return GetActLangNbr(); };
    // Before the chart window exists there is no chart: the picture stays empty.
    program.chartPicture = [](QSize size) {
        return WykresForm ? WykresForm->chartPicture(size) : QPicture();
    };
    program.showLexiconInfo = [this](int item) { InfoForm->DlgShow(DesignedLexicon1->item(item)); };
    program.excelInstalled = [this] { return IsExcelExport; };
    program.openOfficeInstalled = [this] { return IsOpenOffExport; };
    Reports = std::make_unique<report::ReportActions>(*FDQfrxObiekty, *FDQfrxWyniki, std::move(program));

    dlgSavePDF = saveDialog(QStringLiteral("dlgSavePDF"), {PdfFilter}, this);
    dlgSavePDF->setDefaultSuffix(QStringLiteral("pdf"));
    dlgSaveExport = saveDialog(QStringLiteral("dlgSaveExport"), ExportFilters, this);
    dlgSaveExport->setDefaultSuffix(ExportSuffixes.first());
    connect(dlgSaveExport, &QFileDialog::filterSelected, dlgSaveExport, [this](const QString &filter) {
        dlgSaveExport->setDefaultSuffix(ExportSuffixes.value(ExportFilters.indexOf(filter)));
    });

    connect(btnRaport, &QPushButton::clicked, this, &TMainUniQEVForm::btnRaportClick);
    connect(btnExportPDF, &QPushButton::clicked, this, &TMainUniQEVForm::btnExportPDFClick);
    connect(btnExportXLS, &QPushButton::clicked, this, &TMainUniQEVForm::btnExportXLSClick);
}

void TMainUniQEVForm::connectChartWindow()
{
    if (!WykresForm)
        return;
    connect(WykresForm, &TWykresForm::printChartRequested, this, [this] { PrintChart(false); });
    connect(WykresForm, &TWykresForm::exportPictureRequested, this, [this](const QString &fileName) {
        Reports->frxJPEGExport1.setFileName(fileName);
        PrintChart(true);
    });
}

void TMainUniQEVForm::btnRaportClick()
{
    Reports->showReport(this);
}

void TMainUniQEVForm::btnExportPDFClick()
{
    const QString fileName = chosenFile(*dlgSavePDF);
    if (fileName.isEmpty())
        return;
    Reports->exportPdf(fileName);
}

// The format follows the chosen filter, whatever the file name's extension.
void TMainUniQEVForm::btnExportXLSClick()
{
    const QString fileName = chosenFile(*dlgSaveExport);
    if (fileName.isEmpty())
        return;
    const int filterIndex = int(ExportFilters.indexOf(dlgSaveExport->selectedNameFilter())) + 1;
    Reports->exportData(fileName, filterIndex);
}

void TMainUniQEVForm::PrepareReport()
{
    Reports->PrepareReport();
}

void TMainUniQEVForm::PrintChart(bool ToJPG)
{
    Reports->PrintChart(ToJPG,
                        WykresForm && WykresForm->isVisible() ? static_cast<QWidget *>(WykresForm) : this);
}

void TMainUniQEVForm::frxDBObiektyNext()
{
    Reports->frxDBObiektyNext();
}

void TMainUniQEVForm::frxReport1BeforePrint(report::ReportObject &Sender)
{
    Reports->frxReport1BeforePrint(Sender);
}
