#include "preinput/PieceWeightForm.h"

#include "preinput/Hundredths.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quarvel {

PieceWeightForm::PieceWeightForm(std::vector<WeightRecord> &lines, int pieces, bool modeD, Prompter &prompter)
    : lines_(lines), pieces_(std::max(pieces, 1)), modeD_(modeD), prompter_(prompter)
{
}

long long PieceWeightForm::TotalGrams(const std::vector<WeightRecord> &lines, bool modeD)
{
    long long total = 0;
    for (const WeightRecord &line : lines)
        total += ChargeableGrams(line, modeD);
    return total;
}

void PieceWeightForm::Refill()
{
    total_ = static_cast<int>(std::min<long long>(TotalGrams(lines_, modeD_), std::numeric_limits<int>::max()));
    const int count = static_cast<int>(lines_.size());
    if (count < pieces_) {
        current_ = count;
        newLine_ = true;
        ClearEntry();
        return;
    }
    current_ = current_ + 1 >= pieces_ ? 0 : current_ + 1;
    newLine_ = false;
    loadEntry(current_);
}

void PieceWeightForm::Select(int row)
{
    if (row < 0 || row >= static_cast<int>(lines_.size()))
        return;
    current_ = row;
    newLine_ = false;
    loadEntry(row);
}

void PieceWeightForm::ClearEntry()
{
    const int share = entry.share;
    entry = Entry{};
    entry.share = share;
}

void PieceWeightForm::loadEntry(int row)
{
    if (row < 0 || row >= static_cast<int>(lines_.size()))
        return;
    const WeightRecord &line = lines_[static_cast<std::size_t>(row)];
    entry.weight = QString::asprintf("%.3f", int(line.nweight) / 1000.0);
    entry.length = line.nlength;
    entry.width = line.nwidth;
    entry.height = line.nheight;
    entry.share = line.nvolpercent;
    entry.copies = 1;
    entry.name = Gbk::field(line.cname);
    entry.quantity = line.nquantity;
    entry.price = int(line.iprice) / 100.0;
}

WeightRecord PieceWeightForm::entryPiece(int grams) const
{
    WeightRecord piece{};
    piece.nlength = entry.length;
    piece.nwidth = entry.width;
    piece.nheight = entry.height;
    piece.nweight = grams;
    piece.nvolpercent = static_cast<std::uint8_t>(std::clamp(entry.share, 0, 255));
    piece.nquantity = entry.quantity;
    piece.iprice = Hundredths(entry.price);
    return piece;
}

PieceWeightForm::Outcome PieceWeightForm::Confirm()
{
    entry.name.replace(u'\'', u'`');
    const std::optional<QByteArray> name = CheckText(entry.name, 0, 62, QStringLiteral("物品名称"), prompter_);
    if (!name)
        return Outcome::Refused;
    const int grams = Thousandths(entry.weight.trimmed().toDouble());
    WeightRecord piece = entryPiece(grams);
    Gbk::setField(piece.cname, sizeof piece.cname, *name);
    if (ChargeableGrams(piece, modeD_) <= 0)
        return Outcome::NoWeight;

    const int before = static_cast<int>(lines_.size());
    if (newLine_ || current_ < 0 || current_ >= before) {
        piece.iid = 0;
        lines_.push_back(piece);
        if (entry.copies > 1) {
            const int remaining = pieces_ - before;
            if (remaining > 1)
                for (int i = 1; i < std::min(entry.copies, remaining); ++i)
                    lines_.push_back(piece);
        }
        current_ = before;
    } else {
        WeightRecord &line = lines_[static_cast<std::size_t>(current_)];
        const bool same = line.nlength == piece.nlength && line.nwidth == piece.nwidth &&
                          line.nheight == piece.nheight && line.nweight == piece.nweight &&
                          line.nvolpercent == piece.nvolpercent && line.nquantity == piece.nquantity &&
                          line.iprice == piece.iprice && std::strncmp(line.cname, piece.cname, sizeof line.cname) == 0;
        if (same)
            return Outcome::Unchanged;
        piece.iid = line.iid;
        piece.iparent = line.iparent;
        line = piece;
    }
    changed_ = true;
    Refill();
    return Outcome::Stored;
}

QString PieceWeightForm::titleText() const
{
    return QString::asprintf("第% 2d 件/共% 2d 件", current_ + 1, pieces_);
}

QString PieceWeightForm::volumeText() const
{
    const long long volume = static_cast<long long>(entry.length) * entry.width * entry.height / (modeD_ ? 5 : 6);
    return QString::asprintf("体积重:%.3f公斤", double(volume) * 0.001);
}

QString PieceWeightForm::totalText() const
{
    return QString::asprintf("累计重量：%.3f公斤", total_ / 1000.0);
}

QStringList PieceWeightForm::headers()
{
    return {QStringLiteral("序号"), QStringLiteral("重量"), QStringLiteral("称重"), QStringLiteral("长"),
            QStringLiteral("宽"),   QStringLiteral("高"),   QStringLiteral("权重"), QStringLiteral("品名"),
            QStringLiteral("数量"), QStringLiteral("单价")};
}

QStringList PieceWeightForm::rowCells(int row) const
{
    const WeightRecord &line = lines_[static_cast<std::size_t>(row)];
    return {QString::number(row + 1),
            QString::asprintf("%.3f", ChargeableGrams(line, modeD_) / 1000.0),
            QString::asprintf("%.3f", int(line.nweight) / 1000.0),
            QString::number(int(line.nlength)),
            QString::number(int(line.nwidth)),
            QString::number(int(line.nheight)),
            QString::number(int(line.nvolpercent)),
            Gbk::field(line.cname),
            QString::number(int(line.nquantity)),
            QString::asprintf("%.2f", int(line.iprice) / 100.0)};
}

} // namespace quarvel
