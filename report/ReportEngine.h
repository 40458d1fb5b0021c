#pragma once

#include "PreparedReport.h"
#include "ReportLayout.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

namespace report
{

class ReportDBDataset;

// The report component: holds the layout of the template loaded last, the
// named datasets the templates refer to, and the pages prepared from them.
//
// Preparing walks the master dataset from its first row; every band
// instance is laid out from the template's objects, each object passing
// through the before-print handler (with its name, its size in report
// units and its picture) just before it is placed.
class ReportEngine
{
public:
    using BeforePrintHandler = std::function<void(ReportObject &)>;

    // Drops the current layout, then reads the file; a missing file throws.
    void loadFromFile(const QString &fileName);
    void setLayout(ReportLayout layout);
    const ReportLayout &layout() const { return current; }
    void setPageSettings(const PageSettings &page) { current.page = page; }

    void addDataset(ReportDBDataset &dataset);
    void removeDataset(const ReportDBDataset &dataset);
    const ReportDBDataset *dataset(const QString &userName) const;

    void setOnBeforePrint(BeforePrintHandler handler) { beforePrint = std::move(handler); }

    // Drops earlier pages and prepares new ones from the current layout.
    void prepareReport();
    const PreparedReport &preparedReport() const { return prepared; }

    // Fixes [Date] and [Time]; without it they show the moment of preparing.
    void setPrintMoment(const QDateTime &moment) { fixedMoment = moment; }

private:
    ReportLayout current;
    std::vector<ReportDBDataset *> datasets;
    BeforePrintHandler beforePrint;
    PreparedReport prepared;
    QDateTime fixedMoment;
};

} // namespace report
