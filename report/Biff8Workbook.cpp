#include "Biff8Workbook.h"

#include "BinaryWriter.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>

namespace report
{

namespace
{

constexpr quint16 BofRecord = 0x0809;
constexpr quint16 EofRecord = 0x000A;
constexpr quint16 CodePageRecord = 0x0042;
constexpr quint16 Window1Record = 0x003D;
constexpr quint16 DateModeRecord = 0x0022;
constexpr quint16 FontRecord = 0x0031;
constexpr quint16 XfRecord = 0x00E0;
constexpr quint16 StyleRecord = 0x0293;
constexpr quint16 BoundSheetRecord = 0x0085;
constexpr quint16 SstRecord = 0x00FC;
constexpr quint16 ContinueRecord = 0x003C;
constexpr quint16 ColInfoRecord = 0x007D;
constexpr quint16 DimensionsRecord = 0x0200;
constexpr quint16 Window2Record = 0x023E;
constexpr quint16 LabelSstRecord = 0x00FD;
constexpr quint16 NumberRecord = 0x0203;

constexpr int MaxRecordData = 8224;
constexpr quint16 GeneralCellXf = 15;
constexpr quint16 DateTimeCellXf = 16;
constexpr quint16 DateTimeFormat = 22; // built in: m/d/yy h:mm

void record(BinaryWriter &out, quint16 type, const QByteArray &data)
{
    out.u16(type);
    out.u16(static_cast<quint16>(data.size()));
    out.bytes(data);
}

void bof(BinaryWriter &out, quint16 substreamType)
{
    BinaryWriter data;
    data.u16(0x0600); // BIFF8
    data.u16(substreamType);
    data.u16(0x0DBB);
    data.u16(0x07CC);
    data.u32(0);
    data.u32(0x00000006);
    record(out, BofRecord, data.data());
}

void shortString(BinaryWriter &out, const QString &text)
{
    out.u8(static_cast<quint8>(text.size()));
    out.u8(0x01); // UTF-16
    for (const QChar character : text)
        out.u16(character.unicode());
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

bool isDateTime(const QVariant &value)
{
    return value.typeId() == QMetaType::QDateTime || value.typeId() == QMetaType::QDate;
}

// Days since 30 December 1899, the fraction being the time of day: the
// serial date of the 1900 date system.
double serialDate(const QVariant &value)
{
    const QDateTime moment =
        value.typeId() == QMetaType::QDate ? value.toDate().startOfDay() : value.toDateTime();
    const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(moment.date()));
    return days + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

// The shared string table, split into CONTINUE records where it outgrows
// one record. A string's characters may be split between records; each
// continuation then starts again with the string's option byte.
class SharedStrings
{
public:
    // Texts beyond a cell's limit of 32767 characters are cut there.
    quint32 indexOf(const QString &fullText)
    {
        const QString text = fullText.left(32767);
        ++total;
        const auto found = index.constFind(text);
        if (found != index.constEnd())
            return found.value();
        const auto position = static_cast<quint32>(strings.size());
        index.insert(text, position);
        strings.push_back(text);
        return position;
    }

    void write(BinaryWriter &out) const
    {
        std::vector<QByteArray> records(1);
        BinaryWriter head;
        head.u32(total);
        head.u32(static_cast<quint32>(strings.size()));
        records.back() = head.data();
        for (const QString &text : strings)
            append(records, text);
        record(out, SstRecord, records.front());
        for (size_t part = 1; part < records.size(); ++part)
            record(out, ContinueRecord, records[part]);
    }

private:
    quint32 total = 0;
    std::vector<QString> strings;
    QHash<QString, quint32> index;

    static void append(std::vector<QByteArray> &records, const QString &text)
    {
        if (records.back().size() + 5 > MaxRecordData)
            records.emplace_back();
        BinaryWriter header;
        header.u16(static_cast<quint16>(text.size()));
        header.u8(0x01);
        records.back().append(header.data());
        qsizetype written = 0;
        while (written < text.size()) {
            qsizetype room = (MaxRecordData - records.back().size()) / 2;
            if (room == 0) {
                records.emplace_back(1, '\x01');
                room = (MaxRecordData - 1) / 2;
            }
            const qsizetype count = std::min(room, text.size() - written);
            BinaryWriter characters;
            for (qsizetype at = written; at < written + count; ++at)
                characters.u16(text[at].unicode());
            records.back().append(characters.data());
            written += count;
        }
    }
};

void writeGlobalsHead(BinaryWriter &out)
{
    bof(out, 0x0005);
    BinaryWriter codePage;
    codePage.u16(1200); // UTF-16
    record(out, CodePageRecord, codePage.data());

    BinaryWriter window;
    for (const quint16 value : {0, 0, 0x3A98, 0x2328, 0x0038, 0, 0, 1, 0x0258})
        window.u16(value);
    record(out, Window1Record, window.data());

    record(out, DateModeRecord, QByteArray(2, '\0'));

    // Four fonts; BIFF readers skip index 4, so four are the usual minimum.
    for (int font = 0; font < 4; ++font) {
        BinaryWriter data;
        data.u16(200); // 10 points in twips
        data.u16(0);
        data.u16(0x7FFF);
        data.u16(400);
        data.u16(0);
        data.u8(0);
        data.u8(0);
        data.u8(0);
        data.u8(0);
        shortString(data, QStringLiteral("Arial"));
        record(out, FontRecord, data.data());
    }

    // Fifteen style formats, the default cell format and a date-time one.
    for (int xf = 0; xf <= DateTimeCellXf; ++xf) {
        const bool style = xf < GeneralCellXf;
        BinaryWriter data;
        data.u16(0);
        data.u16(xf == DateTimeCellXf ? DateTimeFormat : 0);
        data.u16(style ? 0xFFF5 : 0x0001);
        data.u8(0x20);
        data.u8(0);
        data.u8(0);
        data.u8(style ? 0 : 0xF8);
        data.u32(0);
        data.u32(0);
        data.u16(0x20C0);
        record(out, XfRecord, data.data());
    }

    BinaryWriter normal;
    normal.u16(0x8000);
    normal.u8(0);
    normal.u8(0xFF);
    record(out, StyleRecord, normal.data());
}

int columnCount(const std::vector<Biff8Workbook::Row> &rows)
{
    size_t columns = 0;
    for (const auto &row : rows)
        columns = std::max(columns, row.size());
    return static_cast<int>(std::min<size_t>(columns, Biff8Workbook::MaxColumns));
}

void writeColumnWidths(BinaryWriter &out, const std::vector<Biff8Workbook::Row> &rows, int columns)
{
    for (int column = 0; column < columns; ++column) {
        qsizetype widest = 10;
        for (const auto &row : rows)
            if (column < static_cast<int>(row.size()))
                widest = std::max(widest, row[column].text.size());
        BinaryWriter data;
        data.u16(static_cast<quint16>(column));
        data.u16(static_cast<quint16>(column));
        data.u16(static_cast<quint16>(std::min<qsizetype>(widest + 2, 60) * 256));
        data.u16(GeneralCellXf);
        data.u16(0);
        data.u16(0);
        record(out, ColInfoRecord, data.data());
    }
}

void writeCell(BinaryWriter &out, SharedStrings &strings, int row, int column,
               const Biff8Workbook::Cell &cell)
{
    BinaryWriter data;
    data.u16(static_cast<quint16>(row));
    data.u16(static_cast<quint16>(column));
    if (isNumber(cell.value) || isDateTime(cell.value)) {
        const bool date = isDateTime(cell.value);
        data.u16(date ? DateTimeCellXf : GeneralCellXf);
        data.f64(date ? serialDate(cell.value) : cell.value.toDouble());
        record(out, NumberRecord, data.data());
        return;
    }
    data.u16(GeneralCellXf);
    data.u32(strings.indexOf(cell.text));
    record(out, LabelSstRecord, data.data());
}

QByteArray worksheet(const std::vector<Biff8Workbook::Row> &rows, SharedStrings &strings, bool selected)
{
    BinaryWriter out;
    bof(out, 0x0010);
    const int columns = columnCount(rows);
    writeColumnWidths(out, rows, columns);

    BinaryWriter dimensions;
    dimensions.u32(0);
    dimensions.u32(static_cast<quint32>(rows.size()));
    dimensions.u16(0);
    dimensions.u16(static_cast<quint16>(columns));
    dimensions.u16(0);
    record(out, DimensionsRecord, dimensions.data());

    BinaryWriter window;
    window.u16(selected ? 0x06B6 : 0x00B6);
    for (const quint16 value : {0, 0, 0x40, 0, 0, 0, 0, 0})
        window.u16(value);
    record(out, Window2Record, window.data());

    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        for (int column = 0; column < static_cast<int>(rows[row].size()) && column < columns; ++column) {
            const Biff8Workbook::Cell &cell = rows[row][column];
            if (!cell.text.isEmpty() || isNumber(cell.value) || isDateTime(cell.value))
                writeCell(out, strings, row, column, cell);
        }
    }
    record(out, EofRecord, {});
    return out.data();
}

// Sheets beyond the row limit continue as "name (2)", "name (3)"...; sheet
// names are cut to the format's 31 characters.
std::vector<Biff8Workbook::Sheet> splitLongSheets(const std::vector<Biff8Workbook::Sheet> &sheets)
{
    std::vector<Biff8Workbook::Sheet> result;
    for (const auto &sheet : sheets) {
        size_t start = 0;
        int part = 1;
        do {
            Biff8Workbook::Sheet piece;
            const QString suffix = part == 1 ? QString() : QStringLiteral(" (%1)").arg(part);
            piece.name = sheet.name.left(31 - suffix.size()) + suffix;
            const size_t end = std::min(sheet.rows.size(), start + Biff8Workbook::MaxRows);
            piece.rows.assign(sheet.rows.begin() + start, sheet.rows.begin() + end);
            result.push_back(std::move(piece));
            start = end;
            ++part;
        } while (start < sheet.rows.size());
    }
    if (result.empty())
        result.push_back({QStringLiteral("Sheet1"), {}});
    return result;
}

} // namespace

QByteArray Biff8Workbook::build(const std::vector<Sheet> &requested)
{
    const std::vector<Sheet> sheets = splitLongSheets(requested);
    SharedStrings strings;
    std::vector<QByteArray> substreams;
    for (size_t index = 0; index < sheets.size(); ++index)
        substreams.push_back(worksheet(sheets[index].rows, strings, index == 0));

    BinaryWriter globals;
    writeGlobalsHead(globals);
    std::vector<qsizetype> offsetFields;
    for (const Sheet &sheet : sheets) {
        BinaryWriter data;
        data.u32(0); // stream offset of the sheet, patched below
        data.u8(0);
        data.u8(0);
        shortString(data, sheet.name);
        offsetFields.push_back(globals.size() + 4);
        record(globals, BoundSheetRecord, data.data());
    }
    strings.write(globals);
    record(globals, EofRecord, {});

    qsizetype offset = globals.size();
    for (size_t index = 0; index < substreams.size(); ++index) {
        globals.patchU32(offsetFields[index], static_cast<quint32>(offset));
        offset += substreams[index].size();
    }
    for (const QByteArray &substream : substreams)
        globals.bytes(substream);
    return globals.data();
}

} // namespace report
