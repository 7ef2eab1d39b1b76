#pragma once

#include <QDate>
#include <QString>

namespace quarvel {

// The three-character day code: two letters for the day of the year and the
// last digit of the year.
QString DateCode(const QDate &day);

// A waybill number made by the client: day code, the next record id mod 10000
// ("%04d"), the program number and the customer's id ("%05d"), or "XXXXX"
// while no customer id is known (completed later by the upload).
QString MakeWaybillNumber(const QDate &day, int nextRecordId, int programNumber, int clientId);

} // namespace quarvel
