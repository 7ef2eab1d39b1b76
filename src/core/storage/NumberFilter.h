#pragma once

#include "storage/RecordFile.h"

#include <QByteArray>

#include <cstdint>
#include <utility>
#include <vector>

namespace quarvel {

// A Bloom filter over the waybill numbers of the pre-entry file: a number it
// has never seen is certainly not in the file, so the duplicate check of a new
// number needs no scan of every record. A "maybe" still scans. Kept beside the
// file (DATA_SYS/recnum.dat) together with the stamp of the file it describes,
// and trusted only for exactly that file.
class NumberFilter {
public:
    static QString fileName() { return QStringLiteral("DATA_SYS/recnum.dat"); }

    bool built() const { return !bits_.empty(); }
    // An empty filter with room for about `expected` numbers and more.
    void Reset(std::int64_t expected);
    void Clear();
    // A waybill number field: GBK bytes up to the first NUL within `width`.
    void Add(const char *field, std::size_t width);
    bool MayContain(const char *field, std::size_t width) const;
    // More numbers than it was sized for: too many false "maybe"s to keep.
    bool crowded() const;

    QByteArray ToBytes(const RecordFile::Stamp &stamp) const;
    // Takes the bytes when they are a whole filter written for exactly this
    // stamp; otherwise the filter is left unbuilt and the result is false.
    bool FromBytes(const QByteArray &bytes, const RecordFile::Stamp &stamp);

private:
    static constexpr int kHashes = 8;
    static constexpr int kBitsPerNumber = 16;
    static std::uint64_t hash(const char *field, std::size_t width);
    std::pair<std::size_t, std::uint64_t> wordAndMask(const char *field, std::size_t width) const;

    std::vector<std::uint64_t> bits_;
    std::uint64_t added_ = 0;
};

} // namespace quarvel
