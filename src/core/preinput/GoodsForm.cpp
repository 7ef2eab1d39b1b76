#include "preinput/GoodsForm.h"

#include "app/ClientContext.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <algorithm>
#include <limits>

namespace quarvel {

namespace {

const QString kCaption = QStringLiteral("物品名称");

} // namespace

GoodsForm::GoodsForm(std::vector<GoodsRecord> &lines, int recordId, ClientContext &context, Prompter &prompter)
    : lines_(lines), recordId_(recordId), context_(context), prompter_(prompter)
{
    // Row identities above every id the file or the lines hold, so that a
    // new row never takes the identity of a stored line.
    int top = context.goods().GetLastId();
    for (const GoodsRecord &line : lines_)
        top = std::max(top, int(line.iid));
    nextIdentity_ = top < std::numeric_limits<int>::max() ? top + 1 : 0;
    Fill();
}

void GoodsForm::Fill()
{
    rows_.clear();
    for (const GoodsRecord &line : lines_) {
        // Lines of a record not yet saved carry their position as id (0 for
        // the first); they get a fresh identity so that every row can be
        // modified and deleted.
        const int id = recordId_ > 0 && line.iid > 0 ? int(line.iid) : newIdentity();
        rows_.append({id, Gbk::field(line.cname), QString::number(int(line.nquantity)),
                      QString::asprintf("%.2f", double(line.fprice))});
    }
    changes_ = 0;
    resetEntry();
}

void GoodsForm::resetEntry()
{
    selected_ = -1;
    entry = Entry{};
}

int GoodsForm::newIdentity()
{
    if (nextIdentity_ > 0) {
        const int identity = nextIdentity_;
        nextIdentity_ = identity < std::numeric_limits<int>::max() ? identity + 1 : 0;
        return identity;
    }
    // Above the highest id there is no room left: any identity no row and
    // no stored line of this record holds will do.
    int identity = 1;
    while (rowOf(identity) >= 0 || std::any_of(lines_.begin(), lines_.end(), [&](const GoodsRecord &line) {
               return recordId_ > 0 && int(line.iid) == identity;
           }))
        ++identity;
    return identity;
}

int GoodsForm::rowOf(int identity) const
{
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_.at(i).identity == identity)
            return i;
    return -1;
}

void GoodsForm::Select(int row)
{
    if (row < 0 || row >= rows_.size())
        return;
    const Row &r = rows_.at(row);
    selected_ = r.identity;
    entry.name = r.name;
    entry.quantity = r.quantity;
    entry.price = r.price;
}

bool GoodsForm::AddOrModify()
{
    if (!CheckText(entry.name, 1, 62, kCaption, prompter_))
        return false;
    ++changes_;
    const int at = selected_ > 0 ? rowOf(selected_) : -1;
    Row row{at >= 0 ? selected_ : newIdentity(), entry.name, QString::number(entry.quantity.trimmed().toInt()),
            QString::asprintf("%.2f", entry.price.trimmed().toDouble())};
    if (at >= 0)
        rows_[at] = row;
    else
        rows_.append(row);
    resetEntry();
    return true;
}

bool GoodsForm::Delete()
{
    const int at = selected_ > 0 ? rowOf(selected_) : -1;
    if (at < 0)
        return false;
    rows_.removeAt(at);
    ++changes_;
    resetEntry();
    return true;
}

bool GoodsForm::Ok()
{
    if (changes_ == 0)
        return true;
    GoodsFile &file = context_.goods();
    // Checked before the old lines go, so that a refusal loses none of them.
    if (const QString refusal = recordId_ > 0 ? file.CheckRoom(static_cast<int>(rows_.size())) : QString();
        !refusal.isEmpty()) {
        prompter_.error(QString(), QStringLiteral("物品明细保存失败：%1").arg(refusal));
        return false;
    }
    if (recordId_ > 0)
        for (const GoodsRecord &old : lines_)
            file.DeleteById(old.iid);
    lines_.clear();
    for (int i = 0; i < rows_.size(); ++i) {
        Row r = rows_.at(i);
        GoodsRecord line{};
        line.iid = i;
        line.iparent = recordId_;
        if (const std::optional<QByteArray> name = CheckText(r.name, 1, 62, kCaption, prompter_))
            Gbk::setField(line.cname, sizeof line.cname, *name);
        line.nquantity = r.quantity.toInt();
        line.fprice = r.price.toDouble();
        if (recordId_ > 0)
            file.Append(&line);
        lines_.push_back(line);
    }
    if (recordId_ > 0) {
        // The stored record's line count follows its lines at once, so that
        // the file never says more or fewer lines than it holds.
        PreInputFile &records = context_.preInputs();
        const int index = records.FindIndexById(recordId_);
        if (index >= 0) {
            PreInputRecord stored = *records.At(index);
            stored.ngoodslines = static_cast<std::int32_t>(lines_.size());
            records.WriteAt(index, &stored);
        }
        context_.FlushRecords();
    }
    return true;
}

QStringList GoodsForm::headers()
{
    return {QStringLiteral("物品名称"), QStringLiteral("数量"), QStringLiteral("单价")};
}

} // namespace quarvel
