#include "print/AddressLines.h"

namespace quarvel {

namespace {

bool highByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

// Removes every "<!--" ... "-->" (an unclosed comment runs to the end).
QByteArray withoutComments(const QByteArray &text)
{
    QByteArray out;
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = text.indexOf("<!--", at);
        if (open < 0)
            return out + text.mid(at);
        out += text.mid(at, open - at);
        const qsizetype close = text.indexOf("-->", open + 4);
        if (close < 0)
            return out;
        at = close + 3;
    }
}

// "<br>" goes; any other closed tag becomes one blank; a lone "<" stays.
QByteArray withoutTags(const QByteArray &text)
{
    QByteArray out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf('<', at);
        const qsizetype close = open < 0 ? -1 : text.indexOf('>', open + 1);
        if (close < 0)
            return out + text.mid(at);
        out += text.mid(at, open - at);
        if (text.mid(open, close - open + 1) != "<br>")
            out += ' ';
        at = close + 1;
    }
    return out;
}

} // namespace

QByteArray AddressLines::Clean(const QByteArray &line)
{
    QByteArray text = withoutTags(withoutComments(line)).replace("&nbsp;", " ");
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (highByte(c) && i + 1 < text.size()) {
            out += text.mid(i, 2);
            ++i;
        } else if (c == ' ' && (out.isEmpty() || !out.endsWith(' '))) {
            out += c;
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            out += c;
        }
    }
    // Leading blanks, half and full width ("　" is A1 A1 in GBK).
    qsizetype start = 0;
    while (start < out.size()) {
        if (out[start] == ' ')
            ++start;
        else if (out.mid(start, 2) == "\xA1\xA1")
            start += 2;
        else
            break;
    }
    out = out.mid(start);
    while (out.endsWith(' '))
        out.chop(1);
    return out;
}

qsizetype AddressLines::CutPosition(const QByteArray &text, int width)
{
    qsizetype at = 0;
    qsizetype blank = -1;
    while (at < text.size() && at < width) {
        if (highByte(text[at])) {
            if (at + 2 > width)
                break;
            at += 2;
            continue;
        }
        if (text[at] == ' ')
            blank = at;
        ++at;
    }
    return blank > 0 ? blank : std::min(at, text.size());
}

std::array<QByteArray, 3> AddressLines::Split(const QByteArray &address, int width)
{
    std::array<QByteArray, 3> lines;
    if (address.isEmpty())
        return lines;
    const qsizetype firstBreak = address.indexOf('\n');
    if (firstBreak >= 0) {
        lines[0] = address.left(firstBreak);
        const qsizetype secondBreak = address.indexOf('\n', firstBreak + 1);
        if (secondBreak >= 0) {
            lines[1] = address.mid(firstBreak + 1, secondBreak - firstBreak - 1);
            lines[2] = address.mid(secondBreak + 1);
        } else {
            lines[1] = address.mid(firstBreak + 1);
        }
    } else if (address.size() <= width) {
        lines[0] = address;
    } else {
        const qsizetype cut = CutPosition(address, width);
        lines[0] = address.left(cut);
        const QByteArray rest = Clean(address.mid(cut));
        if (rest.size() > width) {
            const qsizetype second = CutPosition(rest, width);
            lines[1] = rest.left(second);
            lines[2] = rest.mid(second);
        } else {
            lines[1] = rest;
        }
    }
    for (QByteArray &line : lines)
        line = Clean(line);
    return lines;
}

} // namespace quarvel
