#pragma once

#include "PreparedReport.h"

class QPainter;

namespace report
{

// Draws prepared pages with a painter whose coordinates are report units
// (the caller scales it to its device). Text stays text and the chart stays
// a vector picture, so a PDF or a printer gets vector output.
namespace PageRenderer
{
void drawPage(QPainter &painter, const PreparedReport &report, int pageIndex);
// Scales the painter from device pixels to report units for a device of
// the given resolution.
void scaleToUnits(QPainter &painter, double deviceDotsPerInch);
} // namespace PageRenderer

} // namespace report
