#pragma once

#include <QByteArray>

#include <array>

namespace quarvel {

// An address split into three printed lines of a width in GBK bytes: at the
// address's own line breaks when it has them, else at the last blank that
// fits (never inside a double-byte character). Every line is cleaned of the
// markup that addresses copied from web pages bring along.
class AddressLines {
public:
    static constexpr int kWidth = 30;

    static std::array<QByteArray, 3> Split(const QByteArray &address, int width = kWidth);
    // Removes HTML comments and "<br>", turns other tags and "&nbsp;" into a
    // blank, drops tabs and line breaks, folds runs of blanks and trims
    // (leading full-width blanks too).
    static QByteArray Clean(const QByteArray &line);
    // Where the first part of a long text ends: at the last blank within
    // `width` bytes (when one follows the first byte), else where the walk stopped.
    static qsizetype CutPosition(const QByteArray &text, int width);
};

} // namespace quarvel
