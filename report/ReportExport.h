#pragma once

#include "PreparedReport.h"

#include <QByteArray>
#include <QString>

namespace report
{

// An export component: writes prepared pages to the file name set on it.
// An existing file is replaced without a question; a file that cannot be
// written throws ReportError and leaves any earlier file as it was.
class ReportExport
{
public:
    virtual ~ReportExport() = default;

    void setFileName(const QString &name) { file = name; }
    const QString &fileName() const { return file; }

    virtual void exportReport(const PreparedReport &report) = 0;

protected:
    void writeFile(const QByteArray &contents) const;
    [[noreturn]] void failWriting(const QString &reason) const;

private:
    QString file;
};

} // namespace report
