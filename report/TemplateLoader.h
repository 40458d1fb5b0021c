#pragma once

#include "ReportLayout.h"

#include <QString>

namespace report
{

// Reads a report template (the XML format described in report/README.md).
// Throws ReportError naming the file when it is missing or malformed.
class TemplateLoader
{
public:
    static ReportLayout loadFile(const QString &fileName);
    static ReportLayout loadText(const QByteArray &xml, const QString &sourceName);
};

} // namespace report
