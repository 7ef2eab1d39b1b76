#include "storage/GoodsNameDictionary.h"

#include "net/ReplyText.h"
#include "text/Gbk.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace quarvel {

namespace {

constexpr int kCodeOffset = 4;
constexpr int kCodeBytes = 16;
constexpr int kChineseOffset = 20;
constexpr int kNameBytes = 128;
constexpr int kEnglishOffset = 148;
constexpr int kEnglishTrigger = 7;

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

bool highByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

// Byte comparison with ASCII case ignored, over at most `limit` bytes.
int compareNoCase(const QByteArray &a, const QByteArray &b, qsizetype limit = -1)
{
    const qsizetype n = limit < 0 ? std::max(a.size(), b.size()) : limit;
    for (qsizetype i = 0; i < n; ++i) {
        const int x = i < a.size() ? static_cast<unsigned char>(lower(a[i])) : 0;
        const int y = i < b.size() ? static_cast<unsigned char>(lower(b[i])) : 0;
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
    return 0;
}

// Whether the GBK text holds the part starting on a character boundary.
bool containsAt(const QByteArray &text, const QByteArray &part, bool ignoreCase)
{
    for (qsizetype i = 0; i + part.size() <= text.size(); ++i) {
        bool same = true;
        for (qsizetype k = 0; same && k < part.size(); ++k)
            same = ignoreCase ? lower(text[i + k]) == lower(part[k]) : text[i + k] == part[k];
        if (same)
            return true;
        if (highByte(text[i]))
            ++i;
    }
    return false;
}

QByteArray fieldAt(const char *entry, int offset, int width)
{
    return ReplyText::cString(entry + offset, width);
}

QByteArray padded(const QByteArray &text, int width)
{
    QByteArray field(width, '\0');
    const std::size_t n = Gbk::characterBoundary(text.constData(), std::size_t(text.size()), std::size_t(width - 1));
    std::copy_n(text.constData(), n, field.data());
    return field;
}

QByteArray limited(const QString &text, int maxBytes)
{
    const QByteArray gbk = Gbk::fromUnicode(text);
    return gbk.left(qsizetype(Gbk::characterBoundary(gbk.constData(), std::size_t(gbk.size()), std::size_t(maxBytes))));
}

} // namespace

QString GoodsNameEntry::codeText() const
{
    return Gbk::toUnicode(code);
}

QString GoodsNameEntry::chineseText() const
{
    return Gbk::toUnicode(chinese);
}

QString GoodsNameEntry::englishText() const
{
    return Gbk::toUnicode(english);
}

QString GoodsNameDictionary::SuggestionText(const GoodsNameEntry &entry)
{
    return QStringLiteral("%1  %2  %3").arg(entry.codeText(), entry.chineseText(), entry.englishText());
}

QString GoodsNameDictionary::PickedName(const GoodsNameEntry &entry, const QString &typed)
{
    const bool chinese = !typed.isEmpty() && typed.at(0).unicode() >= 0x80;
    return chinese || entry.english.isEmpty() ? entry.chineseText() : entry.englishText();
}

bool GoodsNameDictionary::Load(const QString &path)
{
    entries_.clear();
    for (std::vector<int> &index : index_)
        index.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    LoadBytes(file.readAll());
    return true;
}

void GoodsNameDictionary::LoadBytes(const QByteArray &bytes)
{
    entries_.clear();
    for (qsizetype at = kHeaderBytes; at + kEntryBytes <= bytes.size(); at += kEntryBytes) {
        const char *e = bytes.constData() + at;
        entries_.push_back({fieldAt(e, kCodeOffset, kCodeBytes), fieldAt(e, kChineseOffset, kNameBytes),
                            fieldAt(e, kEnglishOffset, kNameBytes)});
    }
    buildIndexes();
}

QByteArray GoodsNameDictionary::EncodeEntry(int number, const QByteArray &code, const QByteArray &chinese,
                                            const QByteArray &english)
{
    QByteArray entry(4, '\0');
    qToLittleEndian<qint32>(number, entry.data());
    entry += padded(code, kCodeBytes);
    entry += padded(chinese, kNameBytes);
    entry += padded(english, kNameBytes);
    return entry;
}

const QByteArray &GoodsNameDictionary::keyOf(const GoodsNameEntry &e, Key key) const
{
    return key == Code ? e.code : key == Chinese ? e.chinese : e.english;
}

void GoodsNameDictionary::buildIndexes()
{
    for (int k = 0; k < 3; ++k) {
        std::vector<int> &index = index_[k];
        index.resize(entries_.size());
        for (std::size_t i = 0; i < index.size(); ++i)
            index[i] = int(i);
        // Equal keys keep their file order, as binary insertion in file order leaves them.
        std::stable_sort(index.begin(), index.end(), [this, k](int a, int b) {
            return compareNoCase(keyOf(entries_[std::size_t(a)], Key(k)), keyOf(entries_[std::size_t(b)], Key(k))) < 0;
        });
    }
}

// The first index position whose key starts with the typed bytes, or -1.
int GoodsNameDictionary::prefixSearch(Key key, const QByteArray &typed) const
{
    const std::vector<int> &index = index_[key];
    const auto first = std::lower_bound(index.begin(), index.end(), typed, [&](int e, const QByteArray &t) {
        return compareNoCase(keyOf(entries_[std::size_t(e)], key), t, t.size()) < 0;
    });
    if (first == index.end() || compareNoCase(keyOf(entries_[std::size_t(*first)], key), typed, typed.size()) != 0)
        return -1;
    return int(first - index.begin());
}

const GoodsNameEntry *GoodsNameDictionary::exact(Key key, const QByteArray &text) const
{
    if (text.isEmpty())
        return nullptr;
    const std::vector<int> &index = index_[key];
    const auto first = std::lower_bound(index.begin(), index.end(), text, [&](int e, const QByteArray &t) {
        return compareNoCase(keyOf(entries_[std::size_t(e)], key), t) < 0;
    });
    if (first == index.end() || compareNoCase(keyOf(entries_[std::size_t(*first)], key), text) != 0)
        return nullptr;
    return &entries_[std::size_t(*first)];
}

QList<const GoodsNameEntry *> GoodsNameDictionary::Suggest(const QString &text) const
{
    QList<const GoodsNameEntry *> found;
    const QByteArray typed = Gbk::fromUnicode(text);
    if (typed.isEmpty() || entries_.empty())
        return found;
    const bool chinese = highByte(typed[0]);
    const Key key = chinese ? Chinese : text.size() > kEnglishTrigger ? English : Code;
    const int hit = prefixSearch(key, typed);
    if (hit >= 0) {
        // Only entries that still start with the typed text: a neighbour
        // that does not is no suggestion for it.
        const std::vector<int> &index = index_[key];
        for (std::size_t i = std::size_t(hit); i < index.size() && found.size() < kSuggestions; ++i) {
            const GoodsNameEntry &e = entries_[std::size_t(index[i])];
            if (compareNoCase(keyOf(e, key), typed, typed.size()) != 0)
                break;
            found.append(&e);
        }
        return found;
    }
    for (const GoodsNameEntry &e : entries_) {
        if (found.size() >= kSuggestions)
            break;
        if (chinese ? containsAt(e.chinese, typed, false) : containsAt(e.english, typed, true))
            found.append(&e);
    }
    return found;
}

std::optional<QString> GoodsNameDictionary::EnglishOf(const QString &chinese) const
{
    if (const GoodsNameEntry *e = exact(Chinese, Gbk::fromUnicode(chinese)))
        return e->englishText();
    return std::nullopt;
}

std::optional<QString> GoodsNameDictionary::ChineseOf(const QString &english) const
{
    if (const GoodsNameEntry *e = exact(English, Gbk::fromUnicode(english)))
        return e->chineseText();
    return std::nullopt;
}

QString GoodsNameDictionary::ChineseToEnglish(const QString &text) const
{
    return translate(text, Chinese, English, ",");
}

QString GoodsNameDictionary::EnglishToChinese(const QString &text) const
{
    return translate(text, English, Chinese, Gbk::fromUnicode(QStringLiteral("、")));
}

QString GoodsNameDictionary::translate(const QString &text, Key from, Key to, const QByteArray &separator) const
{
    QByteArray gbk = limited(text, kMaxTextBytes);
    const qsizetype open = gbk.indexOf('(');
    if (!normalisationOff_ && open >= 0 && gbk.indexOf(')', open + 1) > open)
        gbk.truncate(open);
    if (const GoodsNameEntry *e = exact(from, gbk))
        return Gbk::toUnicode(keyOf(*e, to));
    const QList<QByteArray> words = gbk.split(' ');
    QList<QByteArray> kept;
    for (const QByteArray &w : words)
        if (!w.isEmpty())
            kept.append(w);
    QByteArray out;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const GoodsNameEntry *e = exact(from, kept[i]);
        const bool last = i + 1 == kept.size();
        if (e)
            out += keyOf(*e, to) + (last ? QByteArray() : separator);
        else
            out += kept[i] + (last ? QByteArray() : QByteArray(" "));
    }
    return Gbk::toUnicode(out);
}

} // namespace quarvel
