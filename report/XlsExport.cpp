#include "XlsExport.h"

#include "Biff8Workbook.h"
#include "CompoundFileWriter.h"
#include "DataRows.h"

namespace report
{

void XlsExport::exportReport(const PreparedReport &report)
{
    Biff8Workbook::Sheet sheet;
    sheet.name = sheetName;
    sheet.rows = DataRows::ofReport(report);
    writeFile(CompoundFileWriter::build(QStringLiteral("Workbook"), Biff8Workbook::build({sheet})));
}

} // namespace report
