#pragma once

#include "ReportLayout.h"

namespace report
{

// Where a text object's text lies inside its rectangle, and how much room
// it needs. The engine measures with these and the renderer draws with
// them, so a grown object fits its text on every output.
namespace TextMetrics
{
QRectF textArea(const QRectF &objectRect);
int drawFlags(const ReportObject &object);
double neededHeight(const ReportObject &object);
double neededWidth(const ReportObject &object);
} // namespace TextMetrics

} // namespace report
