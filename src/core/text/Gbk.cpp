#include "text/Gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace quarvel {

namespace {

// One converter per direction and thread: iconv descriptors are not
// thread-safe, and opening one per call costs more than the conversion.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input. Returns false on an unconvertible character
    // when strict; otherwise replaces bad input with `replacement`.
    bool run(const char *in, std::size_t inLength, QByteArray &out, bool strict, const QByteArray &replacement,
             std::size_t badInputStep)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(static_cast<qsizetype>(inLength * 2 + 16));
        char *src = const_cast<char *>(in);
        std::size_t srcLeft = inLength;
        std::size_t used = 0;
        while (srcLeft > 0) {
            char *dst = out.data() + used;
            std::size_t dstLeft = static_cast<std::size_t>(out.size()) - used;
            const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = static_cast<std::size_t>(dst - out.data());
            if (r != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            if (strict)
                return false;
            out.truncate(static_cast<qsizetype>(used));
            out.append(replacement);
            used = static_cast<std::size_t>(out.size());
            out.resize(static_cast<qsizetype>(used + srcLeft * 2 + 16));
            const std::size_t step = std::min(badInputStep, srcLeft);
            src += step;
            srcLeft -= step;
        }
        out.truncate(static_cast<qsizetype>(used));
        return true;
    }

private:
    iconv_t cd_;
};

Converter &toGbk()
{
    thread_local Converter c("CP936", "UTF-16LE");
    return c;
}

Converter &fromGbk()
{
    thread_local Converter c("UTF-16LE", "CP936");
    return c;
}

Converter &gbkToUtf8()
{
    thread_local Converter c("UTF-8", "CP936");
    return c;
}

} // namespace

QByteArray Gbk::toUtf8(const char *bytes, std::size_t length)
{
    QByteArray out;
    static const QByteArray replacement("\xef\xbf\xbd", 3);
    if (length == 0 || !gbkToUtf8().valid() || !gbkToUtf8().run(bytes, length, out, false, replacement, 1))
        return {};
    return out;
}

QByteArray Gbk::fromUnicode(const QString &text, bool *ok)
{
    QByteArray out;
    const bool good = toGbk().valid() && toGbk().run(reinterpret_cast<const char *>(text.utf16()),
                                                     static_cast<std::size_t>(text.size()) * 2, out, true, {}, 2);
    if (ok)
        *ok = good;
    return good ? out : QByteArray();
}

QString Gbk::toUnicode(const char *bytes, std::size_t length)
{
    if (length == 0)
        return {};
    QByteArray out;
    static const QByteArray replacement("\xfd\xff", 2);
    if (!fromGbk().valid() || !fromGbk().run(bytes, length, out, false, replacement, 1))
        return {};
    return QString(reinterpret_cast<const QChar *>(out.constData()), out.size() / 2);
}

QString Gbk::toUnicode(const QByteArray &bytes)
{
    return toUnicode(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::size_t Gbk::characterBoundary(const char *bytes, std::size_t length, std::size_t maxBytes)
{
    std::size_t i = 0;
    while (i < length) {
        const std::size_t step = static_cast<unsigned char>(bytes[i]) >= 0x81 && i + 1 < length ? 2 : 1;
        if (i + step > maxBytes)
            break;
        i += step;
    }
    return i;
}

void Gbk::setField(char *field, std::size_t width, const QByteArray &gbk)
{
    std::memset(field, 0, width);
    if (width == 0)
        return;
    const std::size_t n = characterBoundary(gbk.constData(), static_cast<std::size_t>(gbk.size()), width - 1);
    std::memcpy(field, gbk.constData(), n);
}

std::size_t Gbk::strnlen(const char *s, std::size_t n)
{
    return ::strnlen(s, n);
}

} // namespace quarvel
