#include "UnoValues.h"

#include <osl/file.hxx>

namespace quarvel {

rtl::OUString toOUString(const QString &text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), sal_Int32(text.size()));
}

QString toQString(const rtl::OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

rtl::OUString ascii(const char *text)
{
    return rtl::OUString::createFromAscii(text);
}

rtl::OUString fileUrl(const QString &path)
{
    rtl::OUString url;
    osl::FileBase::getFileURLFromSystemPath(toOUString(path), url);
    return url;
}

com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char *, com::sun::star::uno::Any>> values)
{
    return properties(std::vector<std::pair<const char *, com::sun::star::uno::Any>>(values));
}

com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(const std::vector<std::pair<const char *, com::sun::star::uno::Any>> &values)
{
    com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue> result(sal_Int32(values.size()));
    com::sun::star::beans::PropertyValue *out = result.getArray();
    for (const auto &[name, value] : values) {
        out->Name = ascii(name);
        out->Value = value;
        ++out;
    }
    return result;
}

} // namespace quarvel
