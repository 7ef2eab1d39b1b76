#include "net/BaseData.h"

#include "net/ReplyText.h"
#include "text/Gbk.h"

#include <QFile>

#include <algorithm>

namespace quarvel {

namespace {

// The sections of the text; each block's lines lie between its begin and end mark.
const QByteArray kKindsBegin = QByteArrayLiteral("\nEMB\n");
const QByteArray kKindsEnd = QByteArrayLiteral("\nEME\n");
const QByteArray kDestinationsBegin = QByteArrayLiteral("\nGPB\n");
const QByteArray kDestinationsEnd = QByteArrayLiteral("\nGPE\n");
const QByteArray kServedBegin = QByteArrayLiteral("\nEPB\n");
const QByteArray kServedEnd = QByteArrayLiteral("\nEPE\n");

unsigned char folded(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
}

// Byte comparison with ASCII letters folded to lower case.
int compareNoCase(const QByteArray &a, const QByteArray &b, qsizetype limit = -1)
{
    const qsizetype n = limit < 0 ? std::max(a.size(), b.size()) : limit;
    for (qsizetype i = 0; i < n; ++i) {
        const int ca = i < a.size() ? folded(a.at(i)) : -1;
        const int cb = i < b.size() ? folded(b.at(i)) : -1;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca < 0)
            return 0;
    }
    return 0;
}

// A field cut to its fixed width, never inside a double-byte character.
QByteArray fitted(const QByteArray &bytes, int maxBytes)
{
    return bytes.left(static_cast<qsizetype>(Gbk::characterBoundary(
        bytes.constData(), static_cast<std::size_t>(bytes.size()), static_cast<std::size_t>(maxBytes))));
}

// The next line of a block: from `at` to its line feed, which must lie
// before `end`. Returns the line feed's position or -1.
qsizetype lineEnd(const QByteArray &text, qsizetype at, qsizetype end)
{
    const qsizetype lf = text.indexOf('\n', at);
    return lf >= 0 && lf < end ? lf : -1;
}

} // namespace

bool BaseData::LoadBaseData(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    parse(decode(file.readAll()));
    return true;
}

QByteArray BaseData::decode(const QByteArray &stored)
{
    QByteArray text = ReplyText::cString(stored.constData(), stored.size());
    for (char &c : text)
        c = static_cast<char>(c ^ kXor);
    return text;
}

void BaseData::parse(const QByteArray &text)
{
    volumeModeD_ = text.size() > 1 && text.at(1) == 'D';
    const qsizetype kindsAt = text.indexOf(kKindsBegin, 1);
    const qsizetype kindsEnd = kindsAt < 0 ? -1 : text.indexOf(kKindsEnd, kindsAt + 1);
    if (kindsEnd < 0)
        return;
    if (parseKinds(text, kindsAt + kKindsBegin.size(), kindsEnd + 1) == 0)
        return;
    qsizetype after = kindsEnd;
    const qsizetype destinationsAt = text.indexOf(kDestinationsBegin, kindsEnd);
    const qsizetype destinationsEnd = destinationsAt < 0 ? -1 : text.indexOf(kDestinationsEnd, destinationsAt + 1);
    if (destinationsEnd >= 0) {
        parseDestinations(text, destinationsAt + kDestinationsBegin.size(), destinationsEnd + 1);
        after = destinationsEnd;
    }
    const qsizetype servedAt = text.indexOf(kServedBegin, after);
    const qsizetype servedEnd = servedAt < 0 ? -1 : text.indexOf(kServedEnd, servedAt + 1);
    if (servedEnd >= 0)
        parseServed(text, servedAt + kServedBegin.size(), servedEnd + 1);
}

qsizetype BaseData::parseKinds(const QByteArray &text, qsizetype from, qsizetype end)
{
    kinds_.clear();
    kindNames_.clear();
    for (qsizetype at = from, lf = lineEnd(text, at, end); lf >= 0; at = lf + 1, lf = lineEnd(text, at, end)) {
        const QByteArray line = text.mid(at, lf - at);
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0)
            break;
        ExpressKind kind;
        kind.code = fitted(line.left(tab), ExpressKind::kCodeBytes);
        kind.name = fitted(line.mid(tab + 1), ExpressKind::kNameBytes);
        kinds_.append(kind);
        kindNames_.append(kind.nameText());
    }
    return kinds_.size();
}

void BaseData::parseDestinations(const QByteArray &text, qsizetype from, qsizetype end)
{
    destinations_.clear();
    for (qsizetype at = from, lf = lineEnd(text, at, end); lf >= 0; at = lf + 1, lf = lineEnd(text, at, end)) {
        const QByteArray line = text.mid(at, lf - at);
        const qsizetype firstTab = line.indexOf('\t', std::min<qsizetype>(2, line.size()));
        const QList<QByteArray> parts = firstTab < 0 ? QList<QByteArray>() : line.mid(firstTab + 1).split('\t');
        if (parts.size() < 5)
            break;
        DestinationEntry d;
        d.sequence = int(destinations_.size()) + 1;
        d.region = static_cast<quint8>(ReplyText::integer(line.left(firstTab)));
        d.second = static_cast<quint8>(firstTab > 2 ? ReplyText::integer(line.left(firstTab), 2) : 0);
        d.firstKey = fitted(parts.at(0), DestinationEntry::kFieldBytes[DestinationEntry::FirstKey]);
        d.secondKey = fitted(parts.at(1), DestinationEntry::kFieldBytes[DestinationEntry::SecondKey]);
        d.postcode = fitted(parts.at(2), DestinationEntry::kFieldBytes[DestinationEntry::Postcode]);
        d.name = fitted(parts.at(3), DestinationEntry::kFieldBytes[DestinationEntry::Name]);
        // The country runs to the end of the line, tabs included.
        d.country = fitted(parts.mid(4).join('\t'), DestinationEntry::kFieldBytes[DestinationEntry::Country]);
        destinations_.append(d);
    }
    buildViews();
}

void BaseData::parseServed(const QByteArray &text, qsizetype from, qsizetype end)
{
    qsizetype at = from;
    while (at < end) {
        if (text.at(at) == '\n')
            ++at;
        const qsizetype codeEnd = lineEnd(text, at, end);
        const qsizetype servedEnd = codeEnd < 0 ? -1 : lineEnd(text, codeEnd + 1, end);
        if (servedEnd < 0)
            return;
        const QByteArray code = text.mid(at, codeEnd - at);
        for (ExpressKind &kind : kinds_)
            if (kind.code == code) {
                kind.served = text.mid(codeEnd + 1, servedEnd - codeEnd - 1);
                break;
            }
        at = servedEnd + 1;
    }
}

void BaseData::buildViews()
{
    for (int f = 0; f < int(views_.size()); ++f) {
        std::vector<int> &view = views_[f];
        view.resize(static_cast<std::size_t>(destinations_.size()));
        for (std::size_t i = 0; i < view.size(); ++i)
            view[i] = int(i);
        const auto field = static_cast<DestinationEntry::Field>(f);
        // Stable, so that equal keys keep their file order.
        std::stable_sort(view.begin(), view.end(), [&](int a, int b) {
            return compareNoCase(destinations_.at(a).field(field), destinations_.at(b).field(field)) < 0;
        });
    }
}

const ExpressKind *BaseData::kindByName(const QString &name) const
{
    for (const ExpressKind &kind : kinds_)
        if (kind.nameText() == name)
            return &kind;
    return nullptr;
}

const ExpressKind *BaseData::kindByCode(const QString &code) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(code, &ok);
    return ok ? kindByCode(gbk) : nullptr;
}

const ExpressKind *BaseData::kindByCode(const QByteArray &codeGbk) const
{
    for (const ExpressKind &kind : kinds_)
        if (kind.code == codeGbk)
            return &kind;
    return nullptr;
}

const DestinationEntry &BaseData::viewAt(DestinationEntry::Field view, int position) const
{
    return destinations_.at(views_[view].at(static_cast<std::size_t>(position)));
}

int BaseData::prefixPosition(DestinationEntry::Field view, const QByteArray &typed) const
{
    const std::vector<int> &order = views_[view];
    const auto it = std::lower_bound(order.begin(), order.end(), typed, [&](int index, const QByteArray &t) {
        return compareNoCase(destinations_.at(index).field(view), t, t.size()) < 0;
    });
    if (it == order.end() || compareNoCase(destinations_.at(*it).field(view), typed, typed.size()) != 0)
        return -1;
    return int(it - order.begin());
}

int BaseData::findPrefix(DestinationEntry::Field view, const QString &typed) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(typed, &ok);
    return ok && !gbk.isEmpty() ? prefixPosition(view, gbk) : -1;
}

QList<const DestinationEntry *> BaseData::matchPrefix(DestinationEntry::Field view, const QString &typed,
                                                      int limit) const
{
    QList<const DestinationEntry *> found;
    const int first = findPrefix(view, typed);
    if (first < 0)
        return found;
    const QByteArray gbk = Gbk::fromUnicode(typed);
    for (int i = first; i < int(views_[view].size()) && found.size() < limit; ++i) {
        const DestinationEntry &d = viewAt(view, i);
        if (compareNoCase(d.field(view), gbk, gbk.size()) != 0)
            break;
        found.append(&d);
    }
    return found;
}

const DestinationEntry *BaseData::destinationByName(const QString &name) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(name, &ok);
    if (!ok || gbk.isEmpty())
        return nullptr;
    const int first = prefixPosition(DestinationEntry::Name, gbk);
    for (int i = std::max(first, 0); first >= 0 && i < int(views_[DestinationEntry::Name].size()); ++i) {
        const DestinationEntry &d = viewAt(DestinationEntry::Name, i);
        if (compareNoCase(d.name, gbk) != 0)
            break;
        if (d.name == gbk)
            return &d;
    }
    return nullptr;
}

} // namespace quarvel
