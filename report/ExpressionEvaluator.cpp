#include "ExpressionEvaluator.h"

#include "ReportDBDataset.h"
#include "ReportError.h"

#include <QLocale>

namespace report
{

const QChar ExpressionEvaluator::TotalPagesMark(0xE000);

ExpressionEvaluator::ExpressionEvaluator(DatasetLookup datasets, QDateTime printMoment)
    : datasets(std::move(datasets)), printMoment(std::move(printMoment))
{
}

QString ExpressionEvaluator::evaluate(const QString &text, QVariant *value) const
{
    QString result;
    qsizetype position = 0;
    int expressions = 0;
    QVariant lastValue;
    while (position < text.size()) {
        const qsizetype open = text.indexOf(u'[', position);
        if (open < 0) {
            result += QStringView(text).mid(position);
            break;
        }
        const qsizetype close = text.indexOf(u']', open);
        if (close < 0)
            throw ReportError(QStringLiteral("Unclosed expression in \"%1\"").arg(text));
        result += QStringView(text).mid(position, open - position);
        result += expand(text.mid(open + 1, close - open - 1), &lastValue);
        ++expressions;
        position = close + 1;
    }
    if (value)
        *value = expressions == 1 && text.startsWith(u'[') && text.endsWith(u']') ? lastValue : QVariant();
    return result;
}

QString ExpressionEvaluator::expand(const QString &expression, QVariant *value) const
{
    const QString trimmed = expression.trimmed();
    const QLocale locale;
    *value = QVariant();
    if (trimmed == u"Date")
        return locale.toString(printMoment.date(), QLocale::ShortFormat);
    if (trimmed == u"Time")
        return locale.toString(printMoment.time(), QLocale::ShortFormat);
    if (trimmed == u"Page#")
        return QString::number(page);
    if (trimmed == u"TotalPages#")
        return QString(TotalPagesMark);

    const qsizetype dot = trimmed.indexOf(u'.');
    if (dot > 0) {
        const QString datasetName = trimmed.left(dot);
        QString field = trimmed.mid(dot + 1);
        if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
            field = field.mid(1, field.size() - 2);
        const ReportDBDataset *dataset = datasets(datasetName);
        if (!dataset)
            throw ReportError(QStringLiteral("Unknown dataset in the expression [%1]").arg(trimmed));
        if (!dataset->hasAlias(field))
            throw ReportError(QStringLiteral("Unknown field in the expression [%1]").arg(trimmed));
        if (dataset->eof())
            return {};
        *value = dataset->value(field);
        return formatValue(*value);
    }
    throw ReportError(QStringLiteral("Unknown expression [%1]").arg(trimmed));
}

QString ExpressionEvaluator::formatValue(const QVariant &value)
{
    if (value.isNull())
        return {};
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return locale.toString(value.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return locale.toString(value.toTime(), QLocale::ShortFormat);
    case QMetaType::Float:
        return locale.toString(value.toFloat(), 'g', 7);
    case QMetaType::Double: {
        // Single-precision readings arrive widened to double: show them
        // with the digits they really have.
        const double number = value.toDouble();
        const bool single = static_cast<double>(static_cast<float>(number)) == number;
        return locale.toString(number, 'g', single ? 7 : 15);
    }
    case QMetaType::QByteArray:
        return {};
    default:
        return value.toString();
    }
}

} // namespace report
