#pragma once

#include "ReportExport.h"

#include <QImage>

namespace report
{

// A JPEG picture of whole pages: one page as it is, several pages one
// under another in a single picture.
class JpegExport : public ReportExport
{
public:
    void setResolution(int dotsPerInch) { resolution = dotsPerInch; }
    void setQuality(int percent) { quality = percent; }

    void exportReport(const PreparedReport &report) override;
    QImage render(const PreparedReport &report) const;

private:
    int resolution = 96;
    int quality = 90;
};

} // namespace report
