#pragma once

#include <QDateEdit>
#include <QDateTime>

// A date picker that shows and edits the date only, but keeps the time of
// day it was given, as the range pickers of the main window hold a start
// at midnight and an end one second before the next day.
class DatePicker : public QDateEdit
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

    QDateTime dateTime() const;
    void setDateTime(const QDateTime &value);

private:
    QTime m_timeOfDay{0, 0};
};
