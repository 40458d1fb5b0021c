#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <functional>

namespace report
{

class ReportDBDataset;

// Expands the expressions in square brackets of a text object:
// [Date] and [Time] (the moment the report is prepared), [Page#] and
// [TotalPages#], and [dataset."FIELD"] for a field of a named dataset.
// Everything outside brackets is plain text.
class ExpressionEvaluator
{
public:
    using DatasetLookup = std::function<const ReportDBDataset *(const QString &)>;

    // Stands for the number of pages until the last page is known.
    static const QChar TotalPagesMark;

    ExpressionEvaluator(DatasetLookup datasets, QDateTime printMoment);

    void setPageNumber(int number) { page = number; }

    // The text with every expression replaced. When the whole text is one
    // field expression, `value` receives the field's value.
    QString evaluate(const QString &text, QVariant *value = nullptr) const;

    static QString formatValue(const QVariant &value);

private:
    DatasetLookup datasets;
    QDateTime printMoment;
    int page = 1;

    QString expand(const QString &expression, QVariant *value) const;
};

} // namespace report
