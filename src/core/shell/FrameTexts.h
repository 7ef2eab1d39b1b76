#pragma once

#include <QDateTime>
#include <QString>

namespace quarvel {

// Texts the frame shows: the clock pane, the window caption, the list caption.
class FrameTexts {
public:
    // "%Y.%m.%d %H:%M:%S " followed by the English weekday ("Sun." ... "Sat.").
    static QString Clock(const QDateTime &time);
    static QString Caption(const QString &title, bool loggedIn, const QString &account, int customerNumber);
    // The about box: the program, its version and the root folder in use, so
    // that support can tell which installation an operator is looking at.
    static QString About(const QString &title, const QString &root);
    // "%s  共 %d 条记录"
    static QString ListCaption(const QString &prefix, int rows);
    // The current-operation pane's default colour (RGB).
    static constexpr unsigned kOperationColor = 0x008080;
    // Converts a Windows COLORREF (0x00BBGGRR) to RGB (0xRRGGBB).
    static constexpr unsigned FromColorRef(unsigned colorRef)
    {
        return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
    }
};

} // namespace quarvel
