#include "ReportActions.h"

#include "Dataset.h"
#include "ReportError.h"
#include "ReportPreview.h"
#include "ReportPrinter.h"

#include <array>

namespace report
{

namespace
{

const std::array<const char *, 6> ReportTemplates = {"ZorvQEVrep_en.fr3", "ZorvQEVrep_pl.fr3",
                                                     "ZorvQEVrep_de.fr3", "ZorvQEVrep_fr.fr3",
                                                     "ZorvQEVrep_es.fr3", "ZorvQEVrep_ru.fr3"};

const QString ObjectQuerySql = QStringLiteral("select * from OBIEKTY \n"
                                              "where IDDEV = :IDdev and REZI2 = 1\n"
                                              "order by REZI1, NAZWA_LONG");
const QString ResultQuerySql = QStringLiteral("select * from WYNIKI \n"
                                              "where IDOB = :IDobj and REZI1 = 1\n"
                                              "order by DATACZAS");

} // namespace

const QString ReportActions::ChartTemplateName = QStringLiteral("ZorvQEVchart.fr3");

ReportActions::ReportActions(store::Dataset &objectQuery, store::Dataset &resultQuery, Program program)
    : FDQfrxObiekty(objectQuery), FDQfrxWyniki(resultQuery), objectRows(objectQuery), resultRows(resultQuery),
      program(std::move(program)), frxDBObiekty(QStringLiteral("frxDBObiekty"), objectRows),
      frxDBWyniki(QStringLiteral("frxDBWyniki"), resultRows)
{
    FDQfrxObiekty.setSql(ObjectQuerySql);
    FDQfrxWyniki.setSql(ResultQuerySql);
    frxDBObiekty.setOnAfterNext([this] { frxDBObiektyNext(); });
    // Preparing the pages again from the preview (after a page set-up)
    // starts over at the first object; its results must come back too.
    frxDBObiekty.setOnAfterFirst([this] { frxDBObiektyNext(); });
    frxReport1.addDataset(frxDBObiekty);
    frxReport1.addDataset(frxDBWyniki);
    frxReport1.setOnBeforePrint([this](ReportObject &sender) { frxReport1BeforePrint(sender); });
}

QString ReportActions::reportTemplateName(int languageNumber)
{
    const bool known = languageNumber >= 0 && languageNumber < static_cast<int>(ReportTemplates.size());
    return QString::fromLatin1(ReportTemplates[known ? languageNumber : 0]);
}

void ReportActions::PrepareReport()
{
    FDQfrxObiekty.close();
    FDQfrxObiekty.setParam(QStringLiteral("IDDEV"), program.deviceId());
    FDQfrxObiekty.open();
    frxDBObiektyNext();
    frxReport1.loadFromFile(program.programPath() + reportTemplateName(program.languageNumber()));
}

void ReportActions::frxDBObiektyNext()
{
    FDQfrxWyniki.close();
    FDQfrxWyniki.setParam(QStringLiteral("IDOBJ"), FDQfrxObiekty.asInteger(QStringLiteral("IDOB")));
    FDQfrxWyniki.open();
    FDQfrxWyniki.first();
}

void ReportActions::frxReport1BeforePrint(ReportObject &sender)
{
    if (sender.name != QLatin1String("PictureChart"))
        return;
    const QSize size(static_cast<int>(sender.width()), static_cast<int>(sender.height()));
    sender.setPicture(program.chartPicture(size));
}

void ReportActions::showReport(QWidget *parent)
{
    PrepareReport();
    frxReport1.prepareReport();
    ReportPreview::showPrepared(frxReport1, parent);
}

void ReportActions::exportPdf(const QString &fileName)
{
    PrepareReport();
    frxPDFExport1.setFileName(fileName);
    frxReport1.prepareReport();
    frxPDFExport1.exportReport(frxReport1.preparedReport());
}

bool ReportActions::exportData(const QString &fileName, int filterIndex)
{
    PrepareReport();
    ReportExport *exporter = nullptr;
    switch (filterIndex) {
    case MicrosoftExcel:
        if (!program.excelInstalled()) {
            program.showLexiconInfo(0);
            return false;
        }
        exporter = &frxXLSExport1;
        break;
    case OpenOfficeCalc:
        if (!program.openOfficeInstalled()) {
            program.showLexiconInfo(1);
            return false;
        }
        exporter = &frxODSExport1;
        break;
    case TextFile:
        exporter = &frxCSVExport1;
        break;
    default:
        throw ReportError(QStringLiteral("Unknown export format %1").arg(filterIndex));
    }
    exporter->setFileName(fileName);
    frxReport1.prepareReport();
    exporter->exportReport(frxReport1.preparedReport());
    return true;
}

void ReportActions::PrintChart(bool toJpg, QWidget *parent)
{
    frxReport1.loadFromFile(program.programPath() + ChartTemplateName);
    frxReport1.prepareReport();
    if (toJpg)
        frxJPEGExport1.exportReport(frxReport1.preparedReport());
    else
        ReportPrinter::print(frxReport1.preparedReport(), parent);
}

} // namespace report
