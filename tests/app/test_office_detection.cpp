#include "OfficeDetection.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The office-suite keys answered from desktop entries in made-up user and
// system application folders.
class TestOfficeDetection : public QObject
{
    Q_OBJECT
private slots:
    void keysFollowInstalledApplications_data();
    void keysFollowInstalledApplications();
    void environmentFoldersAreSearched();
};

namespace
{

const QString calcKey = QStringLiteral("soffice.StarCalcDocument\\CurVer");
const QString excelKey = QStringLiteral("Excel.Application\\CurVer");

QString entry(const QString &mimeTypes, const QString &extra = {})
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=Sheets\nExec=true %U\n") + extra +
           QStringLiteral("MimeType=") + mimeTypes + u'\n';
}

void writeEntry(const QString &folder, const QString &relativePath, const QString &text)
{
    const QString path = folder + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
}

} // namespace

using Entries = QList<QStringList>; // folder (user or system), relative path, text

void TestOfficeDetection::keysFollowInstalledApplications_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<bool>("calc");
    QTest::addColumn<bool>("excel");

    const QString ods = QStringLiteral("application/vnd.oasis.opendocument.spreadsheet;");
    const QString xls = QStringLiteral("application/vnd.ms-excel;");
    QTest::newRow("nothing installed") << Entries{} << false << false;
    QTest::newRow("spreadsheet suite opening both")
        << Entries{{"system", "libreoffice-calc.desktop", entry("text/csv;" + ods + xls)}} << true << true;
    QTest::newRow("only OpenDocument") << Entries{{"system", "sheets.desktop", entry(ods)}} << true << false;
    QTest::newRow("only Excel, in a vendor subfolder")
        << Entries{{"system", "vendor/excel.desktop", entry(xls)}} << false << true;
    QTest::newRow("similar type is not the type")
        << Entries{{"system", "x.desktop", entry("application/vnd.ms-excel.sheet.macroEnabled.12;")}} << false
        << false;
    QTest::newRow("hidden entry") << Entries{{"system", "a.desktop", entry(ods, "Hidden=true\n")}} << false
                                  << false;
    QTest::newRow("link, not an application")
        << Entries{{"system", "a.desktop", entry(ods).replace("Type=Application", "Type=Link")}} << false
        << false;
    QTest::newRow("program not installed")
        << Entries{{"system", "a.desktop", entry(ods, "TryExec=/nonexistent/soffice\n")}} << false << false;
    QTest::newRow("program installed")
        << Entries{{"system", "a.desktop", entry(ods, "TryExec=sh\n")}} << true << false;
    QTest::newRow("user hides the system entry")
        << Entries{{"system", "calc.desktop", entry(ods)},
                   {"user", "calc.desktop", entry(ods, "Hidden=true\n")}}
        << false << false;
    QTest::newRow("user adds an entry")
        << Entries{{"user", "calc.desktop", entry(xls)}, {"system", "other.desktop", entry(ods)}} << true
        << true;
    QTest::newRow("MimeType outside the main group")
        << Entries{{"system", "a.desktop",
                    "[Desktop Entry]\nType=Application\n[Desktop Action New]\nMimeType=" + ods}}
        << false << false;
}

void TestOfficeDetection::keysFollowInstalledApplications()
{
    QFETCH(Entries, entries);
    QFETCH(bool, calc);
    QFETCH(bool, excel);
    QTemporaryDir root;
    const QString user = root.filePath(QStringLiteral("user/applications"));
    const QString system = root.filePath(QStringLiteral("system/applications"));
    for (const QStringList &e : entries)
        writeEntry(e.at(0) == QLatin1String("user") ? user : system, e.at(1), e.at(2));

    const platform::OfficeDetection detection({user, system});

    QCOMPARE(detection.classesRootKeyExists(calcKey), calc);
    QCOMPARE(detection.classesRootKeyExists(excelKey), excel);
    QVERIFY(!detection.classesRootKeyExists(QStringLiteral("Word.Application\\CurVer")));
}

void TestOfficeDetection::environmentFoldersAreSearched()
{
    QTemporaryDir root;
    writeEntry(root.filePath(QStringLiteral("second/applications")), QStringLiteral("calc.desktop"),
               entry(QStringLiteral("application/vnd.oasis.opendocument.spreadsheet")));
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("home")).toUtf8());
    qputenv(
        "XDG_DATA_DIRS",
        (root.filePath(QStringLiteral("first")) + u':' + root.filePath(QStringLiteral("second"))).toUtf8());

    const platform::OfficeDetection detection = platform::OfficeDetection::fromEnvironment();

    QVERIFY(detection.classesRootKeyExists(calcKey));
    QVERIFY(!detection.classesRootKeyExists(excelKey));
}

QTEST_GUILESS_MAIN(TestOfficeDetection)
#include "test_office_detection.moc"
