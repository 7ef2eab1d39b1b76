#include "preinput/WaybillNumber.h"

namespace quarvel {

QString DateCode(const QDate &day)
{
    static const char alphabet[] = "ABCDEFGHKMNPRSTUWXYZL";
    const int d = day.dayOfYear();
    QString code;
    code += QLatin1Char(alphabet[d / 20]);
    code += QLatin1Char(alphabet[d % 20]);
    code += QString::number(day.year() % 10);
    return code;
}

QString MakeWaybillNumber(const QDate &day, int nextRecordId, int programNumber, int clientId)
{
    const QString customer =
        clientId > 0 ? QStringLiteral("%1").arg(clientId, 5, 10, QLatin1Char('0')) : QStringLiteral("XXXXX");
    return DateCode(day) + QStringLiteral("%1").arg(nextRecordId % 10000, 4, 10, QLatin1Char('0')) +
           QString::number(static_cast<unsigned>(programNumber)) + customer;
}

} // namespace quarvel
