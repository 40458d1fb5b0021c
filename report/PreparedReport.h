#pragma once

#include "ReportLayout.h"

#include <QVariant>
#include <vector>

namespace report
{

// One object as printed: its geometry is on the page, its text evaluated.
// A text that is a single field expression also keeps the field's value,
// so that the spreadsheet exports write numbers and dates as such.
struct PreparedItem {
    ReportObject object;
    QVariant value;
};

struct PreparedBand {
    BandKind kind = BandKind::ReportTitle;
    QRectF rect; // on the page
    std::vector<PreparedItem> items;

    bool isData() const { return kind == BandKind::MasterData || kind == BandKind::DetailData; }
};

struct PreparedPage {
    std::vector<PreparedBand> bands;
};

struct PreparedReport {
    PageSettings page;
    std::vector<PreparedPage> pages;
};

} // namespace report
