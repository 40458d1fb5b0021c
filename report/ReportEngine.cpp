#include "ReportEngine.h"

#include "ExpressionEvaluator.h"
#include "ReportDBDataset.h"
#include "ReportError.h"
#include "TemplateLoader.h"
#include "TextMetrics.h"

#include <algorithm>

namespace report
{

namespace
{

// Lays the bands of one layout out on pages, top to bottom.
class PagePreparer
{
public:
    PagePreparer(const ReportLayout &layout, const ExpressionEvaluator::DatasetLookup &lookup,
                 const ReportEngine::BeforePrintHandler &beforePrint, const QDateTime &moment)
        : layout(layout), lookup(lookup), beforePrint(beforePrint), evaluator(lookup, moment),
          area(layout.page.printableUnits())
    {
        const Band *footer = layout.band(BandKind::PageFooter);
        bottomLimit = area.bottom() - (footer ? footer->height : 0.0);
    }

    PreparedReport run()
    {
        result.page = layout.page;
        startPage();
        if (const Band *title = layout.band(BandKind::ReportTitle))
            printBand(*title);
        if (const Band *master = layout.band(BandKind::MasterData))
            printMaster(*master);
        finishPage();
        fillTotalPages();
        return std::move(result);
    }

private:
    const ReportLayout &layout;
    const ExpressionEvaluator::DatasetLookup &lookup;
    const ReportEngine::BeforePrintHandler &beforePrint;
    ExpressionEvaluator evaluator;
    QRectF area;
    double bottomLimit = 0.0;
    double cursor = 0.0;
    double contentTop = 0.0;
    PreparedReport result;

    ReportDBDataset &datasetOf(const Band &band)
    {
        const ReportDBDataset *dataset = lookup(band.dataset);
        if (!dataset)
            throw ReportError(
                QStringLiteral("The band %1 refers to the unknown dataset %2").arg(band.name, band.dataset));
        return const_cast<ReportDBDataset &>(*dataset);
    }

    void printMaster(const Band &master)
    {
        const Band *detail = layout.band(BandKind::DetailData);
        ReportDBDataset &rows = datasetOf(master);
        bool firstRow = true;
        for (rows.first(); !rows.eof(); rows.next()) {
            if (master.startNewPage && !firstRow)
                newPage();
            printBand(master);
            if (detail)
                printDetail(*detail);
            firstRow = false;
        }
    }

    void printDetail(const Band &detail)
    {
        ReportDBDataset &rows = datasetOf(detail);
        for (rows.first(); !rows.eof(); rows.next())
            printBand(detail);
    }

    void startPage()
    {
        result.pages.emplace_back();
        evaluator.setPageNumber(static_cast<int>(result.pages.size()));
        cursor = area.top();
        if (const Band *header = layout.band(BandKind::PageHeader))
            place(instantiate(*header));
        contentTop = cursor;
    }

    void finishPage()
    {
        const Band *footer = layout.band(BandKind::PageFooter);
        if (!footer)
            return;
        cursor = bottomLimit;
        place(instantiate(*footer));
    }

    void newPage()
    {
        finishPage();
        startPage();
    }

    void printBand(const Band &band)
    {
        PreparedBand instance = instantiate(band);
        // A band taller than a whole page is placed on a fresh page and cut
        // at its bottom rather than pushed forward for ever.
        if (cursor + instance.rect.height() > bottomLimit && cursor > contentTop)
            newPage();
        place(std::move(instance));
    }

    void place(PreparedBand instance)
    {
        instance.rect.moveTo(area.left(), cursor);
        for (PreparedItem &item : instance.items)
            item.object.rect.translate(area.left(), cursor);
        cursor += instance.rect.height();
        result.pages.back().bands.push_back(std::move(instance));
    }

    PreparedBand instantiate(const Band &band)
    {
        PreparedBand instance;
        instance.kind = band.kind;
        instance.items.reserve(band.objects.size());
        for (const ReportObject &design : band.objects) {
            PreparedItem item{design, {}};
            fill(item);
            if (beforePrint)
                beforePrint(item.object);
            instance.items.push_back(std::move(item));
        }
        const double height = shiftBelowGrownObjects(band, instance.items);
        instance.rect = QRectF(0, 0, area.width(), height);
        return instance;
    }

    // An object that grew pushes down the objects standing below it in its
    // columns, so that a long text never runs over them; the band grows
    // with whatever grew or moved.
    static double shiftBelowGrownObjects(const Band &band, std::vector<PreparedItem> &items)
    {
        constexpr double Tolerance = 0.01;
        std::vector<double> shifts(items.size(), 0.0);
        for (size_t grown = 0; grown < items.size(); ++grown) {
            const QRectF before = band.objects[grown].rect;
            const double growth = items[grown].object.rect.height() - before.height();
            if (growth <= Tolerance)
                continue;
            for (size_t below = 0; below < items.size(); ++below) {
                const QRectF other = band.objects[below].rect;
                const bool overlapsColumns = other.left() < before.right() && other.right() > before.left();
                if (below != grown && overlapsColumns && other.top() >= before.bottom() - Tolerance)
                    shifts[below] = std::max(shifts[below], growth);
            }
        }
        double height = band.height;
        for (size_t index = 0; index < items.size(); ++index) {
            ReportObject &object = items[index].object;
            object.rect.translate(0, shifts[index]);
            const bool changed = shifts[index] > 0 || object.rect.size() != band.objects[index].rect.size();
            if (changed)
                height = std::max(height,
                                  object.rect.bottom() + (band.height - band.objects[index].rect.bottom()));
        }
        return height;
    }

    void fill(PreparedItem &item)
    {
        ReportObject &object = item.object;
        if (object.kind == ObjectKind::Text) {
            object.text = evaluator.evaluate(object.text, &item.value);
            if (object.autoWidth)
                object.rect.setWidth(std::max(object.rect.width(), TextMetrics::neededWidth(object)));
            if (object.stretch)
                object.rect.setHeight(std::max(object.rect.height(), TextMetrics::neededHeight(object)));
        } else if (object.kind == ObjectKind::Picture && !object.dataset.isEmpty()) {
            const ReportDBDataset &dataset = datasetOf(object);
            if (!dataset.hasAlias(object.field))
                throw ReportError(QStringLiteral("The picture %1 refers to the unknown field %2.\"%3\"")
                                      .arg(object.name, object.dataset, object.field));
            // A photo that does not decode leaves the picture empty.
            if (!dataset.eof())
                object.setPicture(QImage::fromData(dataset.value(object.field).toByteArray()));
        }
    }

    const ReportDBDataset &datasetOf(const ReportObject &object)
    {
        const ReportDBDataset *dataset = lookup(object.dataset);
        if (!dataset)
            throw ReportError(QStringLiteral("The picture %1 refers to the unknown dataset %2")
                                  .arg(object.name, object.dataset));
        return *dataset;
    }

    void fillTotalPages()
    {
        const QString total = QString::number(result.pages.size());
        for (PreparedPage &page : result.pages)
            for (PreparedBand &band : page.bands)
                for (PreparedItem &item : band.items)
                    if (item.object.kind == ObjectKind::Text)
                        item.object.text.replace(ExpressionEvaluator::TotalPagesMark, total);
    }
};

} // namespace

void ReportEngine::loadFromFile(const QString &fileName)
{
    current = ReportLayout();
    current = TemplateLoader::loadFile(fileName);
}

void ReportEngine::setLayout(ReportLayout layout)
{
    current = std::move(layout);
}

void ReportEngine::addDataset(ReportDBDataset &dataset)
{
    removeDataset(dataset);
    datasets.push_back(&dataset);
}

void ReportEngine::removeDataset(const ReportDBDataset &dataset)
{
    std::erase(datasets, &dataset);
}

const ReportDBDataset *ReportEngine::dataset(const QString &userName) const
{
    for (const ReportDBDataset *candidate : datasets)
        if (candidate->userName() == userName)
            return candidate;
    return nullptr;
}

void ReportEngine::prepareReport()
{
    prepared = PreparedReport();
    const ExpressionEvaluator::DatasetLookup lookup = [this](const QString &name) { return dataset(name); };
    const QDateTime moment = fixedMoment.isValid() ? fixedMoment : QDateTime::currentDateTime();
    prepared = PagePreparer(current, lookup, beforePrint, moment).run();
}

} // namespace report
