#pragma once

#include <QString>

namespace quarvel {

// One column of a record list: header text, width in pixels and alignment.
// Right-aligned columns hold numbers and sort numerically.
struct ListColumn {
    enum class Align { Left, Center, Right };

    QString caption;
    int width = 60;
    Align align = Align::Left;
};

} // namespace quarvel
