#pragma once

#include <QString>
#include <QStringList>

namespace platform
{

// Answers whether one of the office-suite keys of the classes registry
// exists, from the applications installed for the user. A key exists when
// an installed desktop application opens the kind of document the key
// stands for:
//   "soffice.StarCalcDocument\CurVer"  OpenDocument spreadsheets
//   "Excel.Application\CurVer"          Excel 97-2003 workbooks
// Every other key is reported absent.
class OfficeDetection
{
public:
    // Looks in the given "applications" folders, the first one winning
    // where two hold an entry of the same name.
    explicit OfficeDetection(QStringList applicationFolders);

    // The folders of the freedesktop base directories: XDG_DATA_HOME, then
    // each of XDG_DATA_DIRS, each with "applications" appended.
    static OfficeDetection fromEnvironment();

    bool classesRootKeyExists(const QString &key) const;

    // Whether an installed desktop application declares that it opens the
    // MIME type.
    bool anyApplicationOpens(const QString &mimeType) const;

private:
    QStringList m_applicationFolders;
};

} // namespace platform
