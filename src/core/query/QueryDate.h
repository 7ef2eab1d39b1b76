#pragma once

#include <QDate>
#include <QString>

namespace quarvel {

// The date texts of the query dialogs. Dates are "%d.%02d.%02d" texts that
// compare as texts; an unreadable one becomes "1900.01.01".

// A typed date made into "YYYY.MM.DD": eight digits, or year, month and day
// as the first three numbers in the text (a two-digit year is of this
// century). A month out of range becomes 1, a day out of range 15, and a day
// past the month's end its last day. "1900.01.01" when no year can be read.
QString NormalizeDate(const QString &text);

// A typed time made into "YYYY.MM.DD hh:mm:ss" from its first six numbers;
// a part out of range becomes its least value together with the parts after
// it. "1900.01.01" for a text shorter than 8 or longer than 31 characters.
QString NormalizeDateTime(const QString &text);

// What a click on a dialog's date caption puts into the from and to boxes:
// today alone, then this month so far, then the whole previous month, then
// today again.
struct DateRange {
    QString from;
    QString to;
};
DateRange StepDateRange(const QString &from, const QString &to, const QDate &today);

// "YYYY.MM.DD" of a date.
QString DateText(const QDate &date);

// The check of the date boxes when a query is confirmed. `to` becomes today
// when it lies in the future. The start and end texts of the condition are
// set; the messages of everything wrong are collected, empty when the range
// is good.
struct DateCheck {
    QString startText;
    QString endText;
    QString messages;
};
DateCheck CheckDateRange(const QString &from, QString &to, const QDate &today);

} // namespace quarvel
