#include "DatePicker.h"

#include <QLocale>

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QLocale::system().dateFormat(QLocale::ShortFormat));
}

QDateTime DatePicker::dateTime() const
{
    return QDateTime(date(), m_timeOfDay);
}

void DatePicker::setDateTime(const QDateTime &value)
{
    m_timeOfDay = value.time();
    setDate(value.date());
}
