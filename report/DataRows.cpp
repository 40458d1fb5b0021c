#include "DataRows.h"

#include <algorithm>

namespace report
{

namespace
{

DataRow rowOf(const PreparedBand &band)
{
    std::vector<const PreparedItem *> texts;
    for (const PreparedItem &item : band.items)
        if (item.object.kind == ObjectKind::Text)
            texts.push_back(&item);
    std::stable_sort(texts.begin(), texts.end(), [](const PreparedItem *a, const PreparedItem *b) {
        const QPointF pa = a->object.rect.topLeft();
        const QPointF pb = b->object.rect.topLeft();
        return pa.y() != pb.y() ? pa.y() < pb.y() : pa.x() < pb.x();
    });
    DataRow row;
    row.reserve(texts.size());
    for (const PreparedItem *item : texts)
        row.push_back({item->object.text, item->value});
    return row;
}

} // namespace

std::vector<DataRow> DataRows::ofPage(const PreparedPage &page)
{
    std::vector<DataRow> rows;
    for (const PreparedBand &band : page.bands)
        if (band.isData())
            rows.push_back(rowOf(band));
    return rows;
}

std::vector<DataRow> DataRows::ofReport(const PreparedReport &report)
{
    std::vector<DataRow> rows;
    for (const PreparedPage &page : report.pages) {
        std::vector<DataRow> pageRows = ofPage(page);
        std::move(pageRows.begin(), pageRows.end(), std::back_inserter(rows));
    }
    return rows;
}

} // namespace report
