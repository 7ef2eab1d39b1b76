#include "query/ListPage.h"

#include "net/BaseData.h"
#include "net/ListReply.h"
#include "net/ReplyText.h"
#include "text/Gbk.h"

#include <algorithm>
#include <span>

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

// What each column (from 1) of a list shows of the reply field of the same number.
enum class Cell {
    Text,
    ItemType, // index → name
    Pieces,   // "%d", summed
    Weight,   // "%.3f", summed
    Amount,   // "%.2f", summed
    Kind,     // express-kind code → name, empty when unknown
    PayWay,   // index → name
    Paid,     // above 0 → "√", else "-"
    State,    // index → name
    Rest,     // the rest of the record
    FeeType,  // 1 → "清缴", else "核收"
    Settled,  // "%.2f", summed
    Bill,     // "%.2f", summed, for "核收" rows only
    Original, // "%.2f", summed
};

using C = Cell;
constexpr Cell kRecordCells[] = {C::Text, C::Text, C::ItemType, C::Pieces, C::Weight, C::Amount,
                                 C::Text, C::Kind, C::PayWay,   C::Paid,   C::Text,   C::Text,
                                 C::Text, C::Text, C::Text,     C::State,  C::Text,   C::Text};
constexpr Cell kPreEntryCells[] = {C::Text,   C::Text, C::ItemType, C::Pieces, C::Weight, C::Text, C::Kind,
                                   C::PayWay, C::Text, C::Text,     C::Text,   C::Text,   C::Rest};
constexpr Cell kSettlementCells[] = {C::Text, C::Text,     C::FeeType, C::Settled, C::Bill,
                                     C::Text, C::Original, C::Text,    C::Text,    C::Rest};

std::span<const Cell> cellsOf(ServerListKind kind)
{
    switch (kind) {
    case ServerListKind::Records:
        return kRecordCells;
    case ServerListKind::PreEntries:
        return kPreEntryCells;
    case ServerListKind::Settlements:
        break;
    }
    return kSettlementCells;
}

void fill(Row &row, const Fields &f, ServerListKind kind, ListPage &page, const BaseData &base)
{
    const std::span<const Cell> cells = cellsOf(kind);
    // A clearance ("清缴") carries no bill of its own.
    const bool clearance = kind == ServerListKind::Settlements && f.size() > 3 && integer(f.at(3)) == 1;
    const int last = std::min<int>(static_cast<int>(cells.size()), static_cast<int>(f.size()) - 1);
    for (int col = 1; col <= last; ++col) {
        const QByteArray &v = f.at(col);
        QString &cell = row.cells[col];
        switch (cells[static_cast<std::size_t>(col - 1)]) {
        case Cell::Text:
            cell = text(v);
            break;
        case Cell::ItemType:
            cell = ServerList::ItemTypeName(integer(v));
            break;
        case Cell::Pieces:
            cell = QString::number(integer(v));
            page.pieces += integer(v);
            break;
        case Cell::Weight:
            cell = fixed(decimal(v), 3);
            page.weight += decimal(v);
            break;
        case Cell::Amount:
            cell = fixed(decimal(v), 2);
            page.amount += decimal(v);
            break;
        case Cell::Kind:
            cell = kindName(base, v);
            break;
        case Cell::PayWay:
            cell = ServerList::PayWayName(integer(v));
            break;
        case Cell::Paid:
            cell = integer(v) > 0 ? QStringLiteral("√") : QStringLiteral("-");
            break;
        case Cell::State:
            cell = ServerList::StateName(integer(v));
            break;
        case Cell::Rest:
            cell = rest(f, col);
            break;
        case Cell::FeeType:
            cell = clearance ? QStringLiteral("清缴") : QStringLiteral("核收");
            break;
        case Cell::Settled:
            cell = fixed(decimal(v), 2);
            page.settled += decimal(v);
            break;
        case Cell::Bill:
            if (!clearance) {
                cell = fixed(decimal(v), 2);
                page.bill += decimal(v);
            }
            break;
        case Cell::Original:
            cell = fixed(decimal(v), 2);
            page.original += decimal(v);
            break;
        }
    }
}

// A shipment's colour follows its state; signer and delivery time belong to
// delivered shipments only.
void applyState(Row &row, const Fields &f)
{
    constexpr int kStateField = 16;
    const int state = f.size() > kStateField ? integer(f.at(kStateField)) : -1;
    if (state != 3) {
        row.cells[17].clear();
        row.cells[18].clear();
    }
    row.text = ServerList::StateColor(state);
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
        fill(row, f, kind, p, baseData);
        if (kind == ServerListKind::Records)
            applyState(row, f);
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
