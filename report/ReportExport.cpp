#include "ReportExport.h"

#include "ReportError.h"

#include <QSaveFile>

namespace report
{

void ReportExport::writeFile(const QByteArray &contents) const
{
    if (file.isEmpty())
        failWriting(QStringLiteral("no file name was given"));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(contents) != contents.size() || !out.commit())
        failWriting(out.errorString());
}

void ReportExport::failWriting(const QString &reason) const
{
    throw ReportError(QStringLiteral("Cannot write the file \"%1\": %2").arg(file, reason));
}

} // namespace report
