#include "storage/NumberFilter.h"

#include <algorithm>
#include <cstring>

namespace quarvel {

namespace {

constexpr char kMagic[8] = {'Q', 'R', 'N', 'U', 'M', 'F', '0', '1'};
constexpr std::uint64_t kMinBits = 1u << 16;
constexpr std::uint64_t kMaxBits = std::uint64_t(1) << 34;

struct FileHead {
    char magic[8];
    std::uint64_t bits;
    std::uint64_t added;
    std::int64_t size;
    std::int64_t changedNs;
    std::uint64_t inode;
    std::int32_t count;
    std::int32_t lastId;
};

std::uint64_t mix(std::uint64_t x)
{
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

} // namespace

void NumberFilter::Reset(std::int64_t expected)
{
    std::uint64_t bits = kMinBits;
    const std::uint64_t wanted = std::uint64_t(std::max<std::int64_t>(expected, 0) + 10000) * kBitsPerNumber;
    while (bits < wanted && bits < kMaxBits)
        bits <<= 1;
    bits_.assign(bits / 64, 0);
    added_ = 0;
}

void NumberFilter::Clear()
{
    bits_.clear();
    bits_.shrink_to_fit();
    added_ = 0;
}

void NumberFilter::positions(const char *field, std::size_t width, std::uint64_t out[kHashes]) const
{
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < width && field[i] != '\0'; ++i) {
        h ^= static_cast<unsigned char>(field[i]);
        h *= 0x100000001b3ULL;
    }
    const std::uint64_t a = mix(h);
    const std::uint64_t b = mix(h ^ 0x9e3779b97f4a7c15ULL) | 1;
    const std::uint64_t mask = bits_.size() * 64 - 1;
    for (int i = 0; i < kHashes; ++i)
        out[i] = (a + std::uint64_t(i) * b) & mask;
}

void NumberFilter::Add(const char *field, std::size_t width)
{
    if (!built())
        return;
    std::uint64_t at[kHashes];
    positions(field, width, at);
    for (std::uint64_t p : at)
        bits_[p / 64] |= std::uint64_t(1) << (p % 64);
    ++added_;
}

bool NumberFilter::MayContain(const char *field, std::size_t width) const
{
    if (!built())
        return true;
    std::uint64_t at[kHashes];
    positions(field, width, at);
    for (std::uint64_t p : at)
        if (!(bits_[p / 64] & (std::uint64_t(1) << (p % 64))))
            return false;
    return true;
}

bool NumberFilter::crowded() const
{
    return added_ * kBitsPerNumber / 2 > bits_.size() * 64;
}

QByteArray NumberFilter::ToBytes(const RecordFile::Stamp &stamp) const
{
    FileHead head{};
    std::memcpy(head.magic, kMagic, sizeof kMagic);
    head.bits = bits_.size() * 64;
    head.added = added_;
    head.size = stamp.size;
    head.changedNs = stamp.changedNs;
    head.inode = stamp.inode;
    head.count = stamp.count;
    head.lastId = stamp.lastId;
    QByteArray bytes(reinterpret_cast<const char *>(&head), sizeof head);
    bytes.append(reinterpret_cast<const char *>(bits_.data()), static_cast<qsizetype>(bits_.size() * 8));
    return bytes;
}

bool NumberFilter::FromBytes(const QByteArray &bytes, const RecordFile::Stamp &stamp)
{
    Clear();
    FileHead head{};
    if (bytes.size() < static_cast<qsizetype>(sizeof head))
        return false;
    std::memcpy(&head, bytes.constData(), sizeof head);
    const RecordFile::Stamp noted{head.size, head.changedNs, head.inode, head.count, head.lastId};
    const bool shaped = std::memcmp(head.magic, kMagic, sizeof kMagic) == 0 && head.bits >= kMinBits &&
                        head.bits <= kMaxBits && (head.bits & (head.bits - 1)) == 0 &&
                        std::uint64_t(bytes.size()) == sizeof head + head.bits / 8;
    if (!shaped || !(noted == stamp))
        return false;
    bits_.resize(head.bits / 64);
    std::memcpy(bits_.data(), bytes.constData() + sizeof head, head.bits / 8);
    added_ = head.added;
    if (crowded()) {
        Clear();
        return false;
    }
    return true;
}

} // namespace quarvel
