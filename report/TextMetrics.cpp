#include "TextMetrics.h"

#include <QFontMetricsF>

namespace report
{

namespace
{
constexpr double HorizontalGap = 2.0;
constexpr double VerticalGap = 1.0;
} // namespace

QRectF TextMetrics::textArea(const QRectF &objectRect)
{
    return objectRect.adjusted(HorizontalGap, VerticalGap, -HorizontalGap, -VerticalGap);
}

int TextMetrics::drawFlags(const ReportObject &object)
{
    int flags = static_cast<int>(object.alignment);
    if (object.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

double TextMetrics::neededHeight(const ReportObject &object)
{
    if (object.text.isEmpty())
        return 0.0;
    const QFontMetricsF metrics(object.style.font);
    const double width = std::max(1.0, textArea(object.rect).width());
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, width, 1e6), drawFlags(object), object.text);
    return bounds.height() + 2 * VerticalGap;
}

double TextMetrics::neededWidth(const ReportObject &object)
{
    const QFontMetricsF metrics(object.style.font);
    double widest = 0.0;
    for (const QString &line : object.text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return std::ceil(widest) + 2 * HorizontalGap + 1.0;
}

} // namespace report
