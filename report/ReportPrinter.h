#pragma once

#include "PreparedReport.h"

class QPrinter;
class QWidget;

namespace report
{

// Prints prepared pages: through the desktop's print dialog, or straight
// to a printer set up by the caller.
namespace ReportPrinter
{
// Shows the print dialog first; returns false when the user cancels it.
bool print(const PreparedReport &report, QWidget *parent);
void printTo(QPrinter &printer, const PreparedReport &report);
} // namespace ReportPrinter

} // namespace report
