#pragma once

#include "CsvExport.h"
#include "JpegExport.h"
#include "OdsExport.h"
#include "PdfExport.h"
#include "ReportDBDataset.h"
#include "ReportEngine.h"
#include "SimpleTextExport.h"
#include "StoreDataSource.h"
#include "XlsExport.h"

#include <QPicture>
#include <functional>

class QWidget;

namespace store
{
class Dataset;
}

namespace report
{

// The report components of the main window and what its report handlers
// do with them, without the window: the report and chart templates, the
// two report datasets over the main window's report queries, the chart
// picture and the exports. The handlers keep only their save dialogs.
class ReportActions
{
public:
    // What the report needs from the rest of the program, asked for when
    // it is needed.
    struct Program {
        std::function<QString()> programPath;        // ends with a separator
        std::function<int()> deviceId;               // IDDEV of the device row
        std::function<int()> languageNumber;         // 0 English .. 5 Russian
        std::function<QPicture(QSize)> chartPicture; // the chart window's current chart
        std::function<void(int lexiconItem)> showLexiconInfo;
        std::function<bool()> excelInstalled;
        std::function<bool()> openOfficeInstalled;
    };

    // The filter indexes of the "Export data" save dialog.
    enum ExportFilter { MicrosoftExcel = 1, OpenOfficeCalc = 2, TextFile = 3 };

    ReportActions(store::Dataset &objectQuery, store::Dataset &resultQuery, Program program);

    static QString reportTemplateName(int languageNumber);
    static const QString ChartTemplateName;

    // Reopens the report data and loads the language's report template.
    void PrepareReport();
    void frxDBObiektyNext();
    void frxReport1BeforePrint(ReportObject &sender);

    // "Report": prepares and shows the preview until the user closes it.
    void showReport(QWidget *parent);
    // "Export to PDF", after the user has chosen the file.
    void exportPdf(const QString &fileName);
    // "Export data", after the user has chosen the file and the filter.
    // Returns false when the chosen office suite is missing (the user has
    // been told) and nothing was written.
    bool exportData(const QString &fileName, int filterIndex);
    // The chart template printed (with the print dialog first), or exported
    // to the file name set on frxJPEGExport1.
    void PrintChart(bool toJpg, QWidget *parent);

    ReportEngine frxReport1;
    PdfExport frxPDFExport1;
    XlsExport frxXLSExport1;
    OdsExport frxODSExport1;
    CsvExport frxCSVExport1;
    JpegExport frxJPEGExport1;
    SimpleTextExport frxSimpleTextExport1;

private:
    store::Dataset &FDQfrxObiekty;
    store::Dataset &FDQfrxWyniki;
    StoreDataSource objectRows;
    StoreDataSource resultRows;
    Program program;

public:
    // Declared after the rows they read, which are built first.
    ReportDBDataset frxDBObiekty;
    ReportDBDataset frxDBWyniki;
};

} // namespace report
