#include "storage/ContactFile.h"

#include "text/Gbk.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>

namespace quarvel {

namespace {

unsigned char lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// ASCII case-insensitive comparison of two NUL-terminated texts over at most n bytes.
int compareNoCase(const char *a, const char *b, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = lower(static_cast<unsigned char>(a[i]));
        const unsigned char y = lower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
    return 0;
}

// Substring search that matches only at GBK character boundaries, so that the
// second byte of one character and the first of the next never make a hit.
bool containsGbk(const char *haystack, std::size_t width, const QByteArray &needle)
{
    const std::size_t length = ::strnlen(haystack, width);
    const std::size_t n = static_cast<std::size_t>(needle.size());
    for (std::size_t i = 0; i + n <= length;) {
        if (std::memcmp(haystack + i, needle.constData(), n) == 0)
            return true;
        i += static_cast<unsigned char>(haystack[i]) >= 0x81 ? 2 : 1;
    }
    return false;
}

struct InitialRange {
    int to;
    char letter;
};

// Upper ends of the area-position ranges of GB 2312 level-1 characters by first letter.
constexpr InitialRange kInitials[] = {
    {1636, 'a'}, {1832, 'b'}, {2077, 'c'}, {2273, 'd'}, {2301, 'e'}, {2432, 'f'}, {2593, 'g'}, {2786, 'h'},
    {3105, 'j'}, {3211, 'k'}, {3471, 'l'}, {3634, 'm'}, {3721, 'n'}, {3729, 'o'}, {3857, 'p'}, {4026, 'q'},
    {4085, 'r'}, {4389, 's'}, {4557, 't'}, {4683, 'w'}, {4924, 'x'}, {5248, 'y'}, {5589, 'z'},
};

char initialOf(int q)
{
    if (q < 1601)
        return 0;
    for (const InitialRange &r : kInitials)
        if (q <= r.to)
            return r.letter;
    return 0;
}

} // namespace

int ContactFile::OpenRecords(const QString &path, Mode mode)
{
    nextCandidate_.clear();
    const int count = TypedRecordFile::OpenRecords(path, mode);
    if (count >= 0)
        RebuildIndexes();
    return count;
}

int ContactFile::Append(void *record)
{
    const int count = TypedRecordFile::Append(record);
    if (count == 0 || stale_)
        return count;
    const ContactRecord *added = At(count - 1);
    appendedCodes_.insert(QByteArray(added->ccode, qsizetype(::strnlen(added->ccode, keyWidth(Code)))), added->iid);
    return count;
}

void ContactFile::markStale()
{
    stale_ = true;
    nextCandidate_.clear();
}

int ContactFile::DeleteAt(int index)
{
    markStale();
    return TypedRecordFile::DeleteAt(index);
}

int ContactFile::WriteAt(int index, const void *record)
{
    markStale();
    return TypedRecordFile::WriteAt(index, record);
}

const char *ContactFile::keyOf(int index, Key key) const
{
    const ContactRecord *r = At(index);
    return key == Code ? r->ccode : key == Name ? r->cname : r->cphone;
}

std::size_t ContactFile::keyWidth(Key key) const
{
    return key == Code   ? sizeof(ContactRecord::ccode)
           : key == Name ? sizeof(ContactRecord::cname)
                         : sizeof(ContactRecord::cphone);
}

void ContactFile::RebuildIndexes()
{
    for (Key key : {Code, Name, Phone}) {
        std::vector<int> &idx = index_[key];
        idx.resize(static_cast<std::size_t>(GetCount()));
        for (int i = 0; i < GetCount(); ++i)
            idx[static_cast<std::size_t>(i)] = i;
        const std::size_t width = keyWidth(key);
        std::stable_sort(idx.begin(), idx.end(), [this, key, width](int a, int b) {
            return compareNoCase(keyOf(a, key), keyOf(b, key), width) < 0;
        });
    }
    stale_ = false;
    indexed_ = GetCount();
    appendedCodes_.clear();
}

void ContactFile::ensureFresh()
{
    if (stale_)
        RebuildIndexes();
}

void ContactFile::ensureIndexes()
{
    ensureFresh();
    if (indexed_ < GetCount())
        mergeAppended();
}

// The appended records join the indexes after every entry with an equal
// key, just where a rebuild would put them.
void ContactFile::mergeAppended()
{
    for (Key key : {Code, Name, Phone}) {
        const std::size_t width = keyWidth(key);
        const auto less = [this, key, width](int a, int b) {
            return compareNoCase(keyOf(a, key), keyOf(b, key), width) < 0;
        };
        std::vector<int> added;
        for (int i = indexed_; i < GetCount(); ++i)
            added.push_back(i);
        std::stable_sort(added.begin(), added.end(), less);
        std::vector<int> &idx = index_[key];
        std::vector<int> merged;
        merged.reserve(idx.size() + added.size());
        std::merge(idx.begin(), idx.end(), added.begin(), added.end(), std::back_inserter(merged), less);
        idx.swap(merged);
    }
    indexed_ = GetCount();
    appendedCodes_.clear();
}

int ContactFile::prefixSearch(Key key, const QByteArray &text) const
{
    const std::vector<int> &idx = index_[key];
    const std::size_t n = static_cast<std::size_t>(text.size());
    const auto first = std::lower_bound(idx.begin(), idx.end(), text, [&](int entry, const QByteArray &t) {
        return compareNoCase(keyOf(entry, key), t.constData(), n) < 0;
    });
    if (first == idx.end() || compareNoCase(keyOf(*first, key), text.constData(), n) != 0)
        return -1;
    return static_cast<int>(first - idx.begin());
}

QList<const ContactRecord *> ContactFile::fromIndex(Key key, int position) const
{
    QList<const ContactRecord *> results;
    const std::vector<int> &idx = index_[key];
    for (std::size_t i = static_cast<std::size_t>(position); i < idx.size() && results.size() < kLookupSlots; ++i)
        results.append(At(idx[i]));
    return results;
}

const ContactRecord *ContactFile::findLastBy(Key key, const QString &text) const
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(text, &ok);
    if (!ok || gbk.size() >= static_cast<qsizetype>(keyWidth(key)))
        return nullptr;
    for (int i = GetCount() - 1; i >= 0; --i)
        if (std::strncmp(keyOf(i, key), gbk.constData(), keyWidth(key)) == 0)
            return At(i);
    return nullptr;
}

const ContactRecord *ContactFile::FindLastByName(const QString &name) const
{
    return findLastBy(Name, name);
}

const ContactRecord *ContactFile::FindLastByPhone(const QString &phone) const
{
    return findLastBy(Phone, phone);
}

int ContactFile::IsCodeTaken(const QString &code, int iid)
{
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(code, &ok);
    if (gbk.isEmpty())
        return 1;
    ensureFresh();
    const auto appended = appendedCodes_.constFind(gbk);
    if (appended != appendedCodes_.cend() && appended.value() != iid)
        return 1;
    const int from = prefixSearch(Code, gbk + '\0');
    if (from < 0)
        return 0;
    // Entries equal without regard to case stand together; look for the exact one.
    const std::vector<int> &idx = index_[Code];
    for (std::size_t i = static_cast<std::size_t>(from); i < idx.size(); ++i) {
        const char *key = keyOf(idx[i], Code);
        if (compareNoCase(key, gbk.constData(), keyWidth(Code)) != 0)
            break;
        if (std::strncmp(key, gbk.constData(), keyWidth(Code)) == 0)
            return At(idx[i])->iid != iid ? 1 : 0;
    }
    return 0;
}

QByteArray ContactFile::Initials(const QByteArray &gbkName)
{
    QByteArray initials;
    for (qsizetype i = 0; i < gbkName.size() && initials.size() < 11;) {
        const unsigned char first = static_cast<unsigned char>(gbkName[i]);
        if (first < 0x80) {
            ++i;
            continue;
        }
        if (i + 1 >= gbkName.size())
            break;
        const unsigned char second = static_cast<unsigned char>(gbkName[i + 1]);
        i += 2;
        if (first <= 0xA0 || second <= 0xA0)
            continue;
        const char letter = initialOf((first - 0xA0) * 100 + (second - 0xA0));
        if (!letter)
            break;
        initials.append(letter);
    }
    return initials;
}

QString ContactFile::randomCode()
{
    std::minstd_rand random(static_cast<unsigned>(QDateTime::currentSecsSinceEpoch()));
    std::uniform_int_distribution<int> draw(0, 32767);
    for (;;) {
        const int first = draw(random);
        const QString code = QString::number(first * 100 + draw(random));
        if (!IsCodeTaken(code, 0))
            return code;
    }
}

QString ContactFile::MakeUniqueCode(const QString &name)
{
    const QByteArray initials = Initials(Gbk::fromUnicode(name));
    if (initials.isEmpty())
        return randomCode();
    const QString plain = QString::fromLatin1(initials);
    ensureFresh();
    const auto known = nextCandidate_.find(plain);
    constexpr int kLastNumber = 99999;
    for (int i = known == nextCandidate_.end() ? -1 : known->second; i <= kLastNumber; ++i) {
        const QString digits = QString::number(i);
        const QString code = i < 0 ? plain : plain.left(11 - digits.size()) + digits;
        if (!IsCodeTaken(code, 0)) {
            nextCandidate_[plain] = i;
            return code;
        }
    }
    return plain;
}

QList<const ContactRecord *> ContactFile::LookupByCodeOrName(const QString &text)
{
    if (text.isEmpty())
        return {};
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(text, &ok);
    if (!ok)
        return {};
    ensureIndexes();
    const QChar first = text.at(0);
    const bool codeLike = ((first >= u'0' && first <= u'9') || (first >= u'a' && first <= u'z')) && text.size() <= 11;
    const Key key = codeLike ? Code : Name;
    const int position = prefixSearch(key, gbk);
    if (position >= 0)
        return fromIndex(key, position);
    QList<const ContactRecord *> results;
    for (int i = 0; i < GetCount() && results.size() < kLookupSlots; ++i)
        if (containsGbk(At(i)->cname, sizeof(ContactRecord::cname), gbk))
            results.append(At(i));
    return results;
}

QList<const ContactRecord *> ContactFile::LookupByPhone(const QString &text)
{
    if (text.isEmpty())
        return {};
    bool ok = false;
    const QByteArray gbk = Gbk::fromUnicode(text, &ok);
    if (!ok)
        return {};
    ensureIndexes();
    const int position = prefixSearch(Phone, gbk);
    return position >= 0 ? fromIndex(Phone, position) : QList<const ContactRecord *>();
}

} // namespace quarvel
