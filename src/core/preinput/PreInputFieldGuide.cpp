#include "preinput/PreInputFieldGuide.h"

#include "preinput/PreInputForm.h"
#include "preinput/PreInputValues.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace quarvel {

namespace {

struct NumberRule {
    const char *name;
    const char16_t *caption;
    const char16_t *rule;
    // The last entry of a list box (its entries are 0 to this); -1: no list.
    int lastChoice = -1;
};

// The numeric page values and the values beyond the page's boxes.
const NumberRule kNumbers[] = {
    {"nmarked", u"标记", u"0 或 1", 1},
    {"nitemtype", u"物品类别", u"0 文件, 1 包裹, 2 防水袋", 2},
    {"nlanguage", u"地区", u"0 大陆, 1 华语, 2 外语 (按目的地自动填写)", 2},
    {"npieces", u"件数", u"整数, 不小于 0"},
    {"fweight", u"重量", u"公斤, 不小于 0"},
    {"ffee", u"费用", u"元, 不小于 0"},
    {"npayway", u"付款", u"0 月结, 1 现付, 2 到付", 2},
    {"nquantity", u"数量", u"整数, 不小于 0"},
    {"iprice", u"单价", u"不小于 0"},
    {"ideclare", u"申明价", u"不小于 0"},
    {"iinsure", u"保价", u"不小于 0"},
    {"fcollectsettle", u"到付运费向客户结算", u"元, 不小于 0, 不大于费用"},
    {"fcod", u"代收总货款", u"元, 不小于 0"},
    {"fcodsettle", u"代收货款向客户结算", u"元, 不小于 0, 不大于代收总货款"},
};

const NumberRule kLines[] = {
    {"goods", u"物品明细 (可重复)", u"名称:数量:单价"},
    {"piece", u"件重明细 (可重复)", u"长:宽:高:克:体积比例(0-255)"},
};

// Whole-number page values (counts, list entries, flags) take no fraction.
bool wholeNumber(const QString &name)
{
    const PreInputValues::Field *f = PreInputValues::field(name);
    return f && (f->kind == PreInputValues::Kind::Int || f->kind == PreInputValues::Kind::Flag);
}

const NumberRule *numberRule(const QString &name)
{
    for (const NumberRule &r : kNumbers)
        if (name == QLatin1String(r.name))
            return &r;
    return nullptr;
}

int distance(const QString &a, const QString &b)
{
    std::vector<int> row(static_cast<std::size_t>(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<std::size_t>(j)];
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            row[static_cast<std::size_t>(j)] =
                std::min({above + 1, row[static_cast<std::size_t>(j - 1)] + 1, diagonal + cost});
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

QList<PreInputFieldGuide::Entry> PreInputFieldGuide::All()
{
    QList<PreInputForm::TextRule> texts = PreInputForm::TextRules();
    QList<Entry> all;
    for (const PreInputValues::Field &f : PreInputValues::fields()) {
        const QString name = QString::fromLatin1(f.name);
        if (const NumberRule *r = numberRule(name)) {
            all.append({name, QString::fromUtf16(r->caption), QString::fromUtf16(r->rule)});
            continue;
        }
        const auto text = std::find_if(texts.cbegin(), texts.cend(), [&](const auto &t) { return t.name == name; });
        if (text != texts.cend())
            all.append({name, text->caption,
                        text->min > 0 ? QStringLiteral("文本, 至少 %1 字符, 至多 %2 字节").arg(text->min).arg(text->max)
                                      : QStringLiteral("文本, 至多 %1 字节").arg(text->max)});
    }
    for (std::span<const NumberRule> table :
         {std::span<const NumberRule>(kNumbers), std::span<const NumberRule>(kLines)})
        for (const NumberRule &r : table)
            if (!PreInputValues::field(QString::fromLatin1(r.name)))
                all.append({QString::fromLatin1(r.name), QString::fromUtf16(r.caption), QString::fromUtf16(r.rule)});
    return all;
}

bool PreInputFieldGuide::Known(const QString &name)
{
    const QList<Entry> all = All();
    return std::any_of(all.cbegin(), all.cend(), [&](const Entry &e) { return e.name == name; });
}

QStringList PreInputFieldGuide::Nearest(const QString &name)
{
    std::vector<std::pair<int, QString>> ranked;
    for (const Entry &e : All()) {
        int d = distance(name.toLower(), e.name);
        // A name given without its type prefix ("weight" for fweight) is near.
        if (e.name.mid(1) == name.toLower() || e.name.contains(name.toLower()))
            d = std::min(d, 1);
        ranked.emplace_back(d, e.name);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList nearest;
    const int tolerated = std::max<int>(2, static_cast<int>(name.size()) / 3);
    for (const auto &[d, n] : ranked)
        if (d <= tolerated && nearest.size() < 3)
            nearest << n;
    return nearest;
}

QString PreInputFieldGuide::CheckNumber(const QString &name, const QString &value)
{
    const NumberRule *r = numberRule(name);
    if (!r)
        return QString();
    bool ok = false;
    const double v = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return QStringLiteral("[%1]必须是数字：%2").arg(QString::fromUtf16(r->caption), value);
    const QString caption = QString::fromUtf16(r->caption);
    if (v < 0)
        return QStringLiteral("[%1]不能是负数：%2").arg(caption, value);
    bool whole = false;
    value.trimmed().toInt(&whole);
    if (wholeNumber(name) && !whole)
        return QStringLiteral("[%1]必须是整数：%2").arg(caption, value);
    if (r->lastChoice >= 0 && v > r->lastChoice)
        return QStringLiteral("[%1]只能是 %2：%3").arg(caption, QString::fromUtf16(r->rule), value);
    return QString();
}

} // namespace quarvel
