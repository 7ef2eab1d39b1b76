#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Any.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

namespace quarvel {

// Conversions between Qt's and UNO's values; both hold UTF-16.
rtl::OUString toOUString(const QString &text);
QString toQString(const rtl::OUString &text);
rtl::OUString ascii(const char *text);
// The file URL of a local path.
rtl::OUString fileUrl(const QString &path);
// A media descriptor or filter data from name/value pairs.
com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(std::initializer_list<std::pair<const char *, com::sun::star::uno::Any>> values);
com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(const std::vector<std::pair<const char *, com::sun::star::uno::Any>> &values);

} // namespace quarvel
