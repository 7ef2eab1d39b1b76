#include "preinput/WaybillTidy.h"

#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

bool isX(char c, bool anyCase)
{
    return c == 'X' || (anyCase && c == 'x');
}

// Position of the first run of five X characters, or -1.
qsizetype findPlaceholder(const QByteArray &number, bool anyCase)
{
    for (qsizetype i = 0; i < number.size(); ++i) {
        if (static_cast<unsigned char>(number.at(i)) >= 0x80) {
            ++i;
            continue;
        }
        if (i + 5 > number.size())
            return -1;
        bool run = true;
        for (qsizetype k = 0; k < 5 && run; ++k)
            run = isX(number.at(i + k), anyCase);
        if (run)
            return i;
    }
    return -1;
}

} // namespace

bool WaybillTidy::Complete(QByteArray &number, int clientId, bool anyCase, int maxBytes)
{
    if (clientId <= 0)
        return false;
    const qsizetype at = findPlaceholder(number, anyCase);
    if (at < 0)
        return false;
    // What follows the placeholder stays: numbers that differ only there
    // must not become one number. A number that would not fit is left as it is.
    const QByteArray completed =
        number.left(at) + QByteArray::number(clientId).rightJustified(5, '0') + number.mid(at + 5);
    if (completed == number || completed.size() > maxBytes)
        return false;
    number = completed;
    return true;
}

QList<WaybillTidy::Change> WaybillTidy::Tidy(PreInputFile &file, const QList<int> &ids, int clientId)
{
    QList<Change> changes;
    if (clientId <= 0)
        return changes;
    for (int id : ids) {
        if (id <= 0)
            continue;
        PreInputRecord *r = file.Find(id);
        if (!r)
            continue;
        QByteArray number(r->cnum, static_cast<qsizetype>(::strnlen(r->cnum, sizeof r->cnum)));
        if (!Complete(number, clientId, false, sizeof r->cnum - 1) || TakenByAnother(file, id, number))
            continue;
        file.SetNumber(r, number);
        changes.append({id, Gbk::toUnicode(number)});
    }
    if (!changes.isEmpty())
        file.Flush();
    return changes;
}

bool WaybillTidy::TakenByAnother(const PreInputFile &file, int id, const QByteArray &number)
{
    const PreInputRecord *same = file.FindLastByNumber(number);
    return same && same->iid != id;
}

QList<WaybillTidy::Change> WaybillTidy::TidyAll(PreInputFile &file, int clientId)
{
    QList<int> ids;
    ids.reserve(file.GetCount());
    for (int i = 0; i < file.GetCount(); ++i)
        ids.append(file.At(i)->iid);
    return Tidy(file, ids, clientId);
}

} // namespace quarvel
