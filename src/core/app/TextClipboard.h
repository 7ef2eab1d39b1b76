#pragma once

#include <QString>

namespace quarvel {

// Where a command puts text for the operator to paste elsewhere: the system
// clipboard in the window, a recording stand-in in tests.
class TextClipboard {
public:
    virtual ~TextClipboard() = default;
    virtual void setText(const QString &text) = 0;
};

} // namespace quarvel
