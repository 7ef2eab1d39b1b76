#pragma once

#include <QString>

namespace quarvel {

// A typed text as it goes between single quotes into a query condition:
// trimmed, every single quote doubled.
QString SqlText(const QString &text);

} // namespace quarvel
