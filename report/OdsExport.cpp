#include "OdsExport.h"

#include "DataRows.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamWriter>
#include <cstdio>
#include <zip.h>

namespace report
{

namespace
{

const QString OfficeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString TableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString TextNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QString StyleNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
const QString NumberNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");
const QString MetaNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QString DcNs = QStringLiteral("http://purl.org/dc/elements/1.1/");
const QString ManifestNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
const QByteArray MimeType = "application/vnd.oasis.opendocument.spreadsheet";

void writeDateTimeStyle(QXmlStreamWriter &xml)
{
    xml.writeStartElement(NumberNs, QStringLiteral("date-style"));
    xml.writeAttribute(StyleNs, QStringLiteral("name"), QStringLiteral("DateTime"));
    const auto part = [&xml](const QString &name, bool isLong) {
        xml.writeStartElement(NumberNs, name);
        if (isLong)
            xml.writeAttribute(NumberNs, QStringLiteral("style"), QStringLiteral("long"));
        xml.writeEndElement();
    };
    const auto separator = [&xml](const QString &text) {
        xml.writeTextElement(NumberNs, QStringLiteral("text"), text);
    };
    part(QStringLiteral("year"), true);
    separator(QStringLiteral("-"));
    part(QStringLiteral("month"), true);
    separator(QStringLiteral("-"));
    part(QStringLiteral("day"), true);
    separator(QStringLiteral(" "));
    part(QStringLiteral("hours"), true);
    separator(QStringLiteral(":"));
    part(QStringLiteral("minutes"), true);
    xml.writeEndElement();

    xml.writeStartElement(StyleNs, QStringLiteral("style"));
    xml.writeAttribute(StyleNs, QStringLiteral("name"), QStringLiteral("ceDateTime"));
    xml.writeAttribute(StyleNs, QStringLiteral("family"), QStringLiteral("table-cell"));
    xml.writeAttribute(StyleNs, QStringLiteral("data-style-name"), QStringLiteral("DateTime"));
    xml.writeEndElement();
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Float:
    case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

void writeCell(QXmlStreamWriter &xml, const DataCell &cell)
{
    xml.writeStartElement(TableNs, QStringLiteral("table-cell"));
    if (cell.value.typeId() == QMetaType::QDateTime && cell.value.toDateTime().isValid()) {
        xml.writeAttribute(TableNs, QStringLiteral("style-name"), QStringLiteral("ceDateTime"));
        xml.writeAttribute(OfficeNs, QStringLiteral("value-type"), QStringLiteral("date"));
        xml.writeAttribute(OfficeNs, QStringLiteral("date-value"),
                           cell.value.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    } else if (isNumber(cell.value)) {
        xml.writeAttribute(OfficeNs, QStringLiteral("value-type"), QStringLiteral("float"));
        xml.writeAttribute(OfficeNs, QStringLiteral("value"),
                           QString::number(cell.value.toDouble(), 'g', 17));
    } else if (!cell.text.isEmpty()) {
        xml.writeAttribute(OfficeNs, QStringLiteral("value-type"), QStringLiteral("string"));
    }
    for (const QString &line : cell.text.split(u'\n'))
        if (!cell.text.isEmpty())
            xml.writeTextElement(TextNs, QStringLiteral("p"), line);
    xml.writeEndElement();
}

void writeTable(QXmlStreamWriter &xml, const QString &name, const std::vector<DataRow> &rows)
{
    xml.writeStartElement(TableNs, QStringLiteral("table"));
    xml.writeAttribute(TableNs, QStringLiteral("name"), name);
    size_t columns = 1;
    for (const DataRow &row : rows)
        columns = std::max(columns, row.size());
    xml.writeStartElement(TableNs, QStringLiteral("table-column"));
    xml.writeAttribute(TableNs, QStringLiteral("number-columns-repeated"), QString::number(columns));
    xml.writeEndElement();
    for (const DataRow &row : rows) {
        xml.writeStartElement(TableNs, QStringLiteral("table-row"));
        for (const DataCell &cell : row)
            writeCell(xml, cell);
        xml.writeEndElement();
    }
    if (rows.empty()) {
        xml.writeStartElement(TableNs, QStringLiteral("table-row"));
        xml.writeEmptyElement(TableNs, QStringLiteral("table-cell"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

QByteArray manifestXml()
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeNamespace(ManifestNs, QStringLiteral("manifest"));
    xml.writeStartElement(ManifestNs, QStringLiteral("manifest"));
    xml.writeAttribute(ManifestNs, QStringLiteral("version"), QStringLiteral("1.2"));
    const auto entry = [&xml](const QString &path, const QString &type) {
        xml.writeStartElement(ManifestNs, QStringLiteral("file-entry"));
        xml.writeAttribute(ManifestNs, QStringLiteral("full-path"), path);
        if (path == u"/")
            xml.writeAttribute(ManifestNs, QStringLiteral("version"), QStringLiteral("1.2"));
        xml.writeAttribute(ManifestNs, QStringLiteral("media-type"), type);
        xml.writeEndElement();
    };
    entry(QStringLiteral("/"), QString::fromLatin1(MimeType));
    entry(QStringLiteral("content.xml"), QStringLiteral("text/xml"));
    entry(QStringLiteral("meta.xml"), QStringLiteral("text/xml"));
    xml.writeEndDocument();
    return bytes;
}

} // namespace

QByteArray OdsExport::contentXml(const PreparedReport &report) const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    for (const auto &[ns, prefix] : {std::pair{OfficeNs, "office"},
                                     {TableNs, "table"},
                                     {TextNs, "text"},
                                     {StyleNs, "style"},
                                     {NumberNs, "number"}})
        xml.writeNamespace(ns, QString::fromLatin1(prefix));
    xml.writeStartElement(OfficeNs, QStringLiteral("document-content"));
    xml.writeAttribute(OfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));
    xml.writeStartElement(OfficeNs, QStringLiteral("automatic-styles"));
    writeDateTimeStyle(xml);
    xml.writeEndElement();
    xml.writeStartElement(OfficeNs, QStringLiteral("body"));
    xml.writeStartElement(OfficeNs, QStringLiteral("spreadsheet"));
    for (size_t page = 0; page < report.pages.size(); ++page)
        writeTable(xml, QStringLiteral("Page %1").arg(page + 1), DataRows::ofPage(report.pages[page]));
    if (report.pages.empty())
        writeTable(xml, QStringLiteral("Page 1"), {});
    xml.writeEndDocument();
    return bytes;
}

QByteArray OdsExport::metaXml() const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.writeStartDocument();
    xml.writeNamespace(OfficeNs, QStringLiteral("office"));
    xml.writeNamespace(MetaNs, QStringLiteral("meta"));
    xml.writeNamespace(DcNs, QStringLiteral("dc"));
    xml.writeStartElement(OfficeNs, QStringLiteral("document-meta"));
    xml.writeAttribute(OfficeNs, QStringLiteral("version"), QStringLiteral("1.2"));
    xml.writeStartElement(OfficeNs, QStringLiteral("meta"));
    xml.writeTextElement(MetaNs, QStringLiteral("generator"), QStringLiteral("QEV Data"));
    xml.writeTextElement(MetaNs, QStringLiteral("initial-creator"), QStringLiteral("QEV Data"));
    xml.writeTextElement(DcNs, QStringLiteral("language"), language);
    xml.writeTextElement(MetaNs, QStringLiteral("creation-date"),
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    xml.writeEndDocument();
    return bytes;
}

void OdsExport::exportReport(const PreparedReport &report)
{
    if (fileName().isEmpty())
        failWriting(QStringLiteral("no file name was given"));
    writeArchive(contentXml(report));
}

// The archive is built beside the target and moved over it when complete,
// so a failure never leaves half a spreadsheet behind.
void OdsExport::writeArchive(const QByteArray &content) const
{
    const QString partName = fileName() + QStringLiteral(".part");
    const QByteArray path = QFile::encodeName(partName);
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        const QString reason = QString::fromLocal8Bit(zip_error_strerror(&details));
        zip_error_fini(&details);
        failWriting(reason);
    }
    const QByteArray manifest = manifestXml();
    const QByteArray meta = metaXml();
    const std::pair<const char *, const QByteArray *> entries[] = {{"mimetype", &MimeType},
                                                                   {"META-INF/manifest.xml", &manifest},
                                                                   {"meta.xml", &meta},
                                                                   {"content.xml", &content}};
    bool ok = true;
    for (const auto &[name, data] : entries) {
        zip_source_t *source = zip_source_buffer(archive, data->constData(), data->size(), 0);
        const zip_int64_t index = source ? zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            ok = false;
            break;
        }
        // The mimetype comes first and unpacked, so that it can be read at a
        // fixed place of the file.
        if (index == 0)
            zip_set_file_compression(archive, index, ZIP_CM_STORE, 0);
    }
    if (!ok) {
        const QString reason = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(partName);
        failWriting(reason);
    }
    if (zip_close(archive) != 0) {
        const QString reason = QString::fromLocal8Bit(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(partName);
        failWriting(reason);
    }
    if (std::rename(path.constData(), QFile::encodeName(fileName()).constData()) != 0) {
        QFile::remove(partName);
        failWriting(QStringLiteral("the finished file could not be moved into place"));
    }
}

} // namespace report
