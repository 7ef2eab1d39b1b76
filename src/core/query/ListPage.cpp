#include "query/ListPage.h"

#include "net/BaseData.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"
#include "text/Gbk.h"

#include <algorithm>

namespace quarvel {

namespace {

using Fields = QList<QByteArray>;
using Row = RecordListModel::Row;

QString text(const QByteArray &field)
{
    return Gbk::toUnicode(field);
}

int integer(const QByteArray &field)
{
    return ReplyText::integer(field);
}

double decimal(const QByteArray &field)
{
    return ReplyText::decimal(field);
}

QString fixed(double value, int decimals)
{
    return QString::asprintf("%.*f", decimals, value);
}

// The last column runs to the end of the record, line feeds and all.
QString rest(const Fields &f, int from)
{
    QByteArray all = f.at(from);
    for (qsizetype i = from + 1; i < f.size(); ++i)
        all += '\n' + f.at(i);
    return text(all);
}

QString kindName(const BaseData &base, const QByteArray &code)
{
    const ExpressKind *kind = base.kindByCode(code);
    return kind ? kind->nameText() : QString();
}

void fillRecord(Row &row, const Fields &f, ListPage &page, const BaseData &base)
{
    QStringList &c = row.cells;
    const int last = std::min<int>(18, static_cast<int>(f.size()) - 1);
    for (int col = 1; col <= last; ++col) {
        const QByteArray &v = f.at(col);
        switch (col) {
        case 3:
            c[col] = ServerList::ItemTypeName(integer(v));
            break;
        case 4:
            c[col] = QString::number(integer(v));
            page.pieces += integer(v);
            break;
        case 5:
            c[col] = fixed(decimal(v), 3);
            page.weight += decimal(v);
            break;
        case 6:
            c[col] = fixed(decimal(v), 2);
            page.amount += decimal(v);
            break;
        case 8:
            c[col] = kindName(base, v);
            break;
        case 9:
            c[col] = ServerList::PayWayName(integer(v));
            break;
        case 10:
            c[col] = integer(v) > 0 ? QStringLiteral("√") : QStringLiteral("-");
            break;
        case 16:
            c[col] = ServerList::StateName(integer(v));
            break;
        default:
            c[col] = text(v);
            break;
        }
    }
    // Signer and delivery time belong to delivered shipments only.
    const int state = f.size() > 16 ? integer(f.at(16)) : -1;
    if (state != 3) {
        c[17].clear();
        c[18].clear();
    }
    row.text = ServerList::StateColor(state);
}

void fillPreEntry(Row &row, const Fields &f, ListPage &page, const BaseData &base)
{
    QStringList &c = row.cells;
    const int last = std::min<int>(13, static_cast<int>(f.size()) - 1);
    for (int col = 1; col <= last; ++col) {
        const QByteArray &v = f.at(col);
        switch (col) {
        case 3:
            c[col] = ServerList::ItemTypeName(integer(v));
            break;
        case 4:
            c[col] = QString::number(integer(v));
            page.pieces += integer(v);
            break;
        case 5:
            c[col] = fixed(decimal(v), 3);
            page.weight += decimal(v);
            break;
        case 7:
            c[col] = kindName(base, v);
            break;
        case 8:
            c[col] = ServerList::PayWayName(integer(v));
            break;
        case 13:
            c[col] = rest(f, col);
            break;
        default:
            c[col] = text(v);
            break;
        }
    }
}

void fillSettlement(Row &row, const Fields &f, ListPage &page)
{
    QStringList &c = row.cells;
    const int last = std::min<int>(10, static_cast<int>(f.size()) - 1);
    const bool clearance = f.size() > 3 && integer(f.at(3)) == 1;
    for (int col = 1; col <= last; ++col) {
        const QByteArray &v = f.at(col);
        switch (col) {
        case 3:
            c[col] = clearance ? QStringLiteral("清缴") : QStringLiteral("核收");
            break;
        case 4:
            c[col] = fixed(decimal(v), 2);
            page.settled += decimal(v);
            break;
        case 5:
            // A clearance carries no bill of its own.
            if (!clearance) {
                c[col] = fixed(decimal(v), 2);
                page.bill += decimal(v);
            }
            break;
        case 7:
            c[col] = fixed(decimal(v), 2);
            page.original += decimal(v);
            break;
        case 10:
            c[col] = rest(f, col);
            break;
        default:
            c[col] = text(v);
            break;
        }
    }
}

} // namespace

int ListPage::PagesOf(int total)
{
    return total <= 0 ? 0 : (total - 1) / ServerList::kPageSize + 1;
}

ListPage ListPage::Build(ServerListKind kind, const ListReply &reply, const BaseData &baseData)
{
    ListPage p;
    p.total = std::max(reply.total, 0);
    p.pages = PagesOf(p.total);
    // A page number the server cannot mean would number the rows below 1.
    p.page = std::max(reply.page, 1);
    const int columns = static_cast<int>(ServerList::Columns(kind).size());
    const qint64 first = static_cast<qint64>(p.page - 1) * ServerList::kPageSize;
    for (const Fields &f : reply.records) {
        if (f.size() < 2)
            break;
        Row row;
        row.id = integer(f.first());
        row.cells = QStringList(columns, QString());
        row.cells[0] = QString::asprintf("% 4lld", first + static_cast<qint64>(p.rows.size()) + 1);
        switch (kind) {
        case ServerListKind::Records:
            fillRecord(row, f, p, baseData);
            break;
        case ServerListKind::PreEntries:
            fillPreEntry(row, f, p, baseData);
            break;
        case ServerListKind::Settlements:
            fillSettlement(row, f, p);
            break;
        }
        p.rows.push_back(std::move(row));
    }
    return p;
}

QString ListPage::Summary(ServerListKind kind) const
{
    const int count = static_cast<int>(rows.size());
    switch (kind) {
    case ServerListKind::Records:
        return QStringLiteral("●共 %1 票，%2 页。◇当前为第%3页：%4票%5件,重量%6公斤,运费%7元")
            .arg(total)
            .arg(pages)
            .arg(page)
            .arg(count)
            .arg(pieces)
            .arg(fixed(weight, 3), fixed(amount, 2));
    case ServerListKind::PreEntries:
        return QStringLiteral("●未处理预录单共 %1 票，%2 页。◇当前为第%3页：%4票%5件,重量%6公斤")
            .arg(total)
            .arg(pages)
            .arg(page)
            .arg(count)
            .arg(pieces)
            .arg(fixed(weight, 3));
    case ServerListKind::Settlements:
        break;
    }
    return QStringLiteral("●共 %1 条，%2 页。◇当前为第%3页：%4条,结算%5元,票单%6元,原币计%7")
        .arg(total)
        .arg(pages)
        .arg(page)
        .arg(count)
        .arg(fixed(settled, 2), fixed(bill, 2), fixed(original, 2));
}

QString ListPage::PageBoxText() const
{
    const qint64 next = static_cast<qint64>(page) + 1;
    return QStringLiteral("%1页").arg(next > pages ? 1 : next);
}

int ListPage::JumpTarget(int typed) const
{
    if (pages <= 1 || typed <= 0)
        return 0;
    const int target = std::min(typed, pages);
    return target == page ? 0 : target;
}

} // namespace quarvel
