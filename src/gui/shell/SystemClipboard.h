#pragma once

#include "app/TextClipboard.h"

namespace quarvel {

// The desktop's clipboard, as Unicode text.
class SystemClipboard : public TextClipboard {
public:
    void setText(const QString &text) override;
};

} // namespace quarvel
