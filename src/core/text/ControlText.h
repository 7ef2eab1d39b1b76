#pragma once

#include <QString>

namespace quarvel {

// Control characters in text that comes from outside (a customer's sheet, a
// server reply, a scale frame) and in text printed for a terminal.
class ControlText {
public:
    // Whether `c` is a C0 control (U+0000 to U+001F), DEL or a C1 control
    // (U+0080 to U+009F).
    static bool IsControl(char16_t c);

    // The text as a single-line field stores it: every run of control
    // characters becomes one space. Every field of the records is one line,
    // and a tab or line break inside a cell stands between two words (an
    // address typed over two lines), so a space keeps the words apart where
    // dropping it would glue them; what is left of an escape sequence
    // ("[31m") is plain, harmless text. Nothing is trimmed here: the field
    // checks trim.
    static QString Plain(const QString &text);

    // The text as the command line prints it in text mode: tab, line feed and
    // carriage return as \t, \n and \r, other controls as \xHH (C0, DEL) or
    // \u0085 (C1), so that a field can neither move the terminal nor break
    // the tab-separated lines.
    static QString Escaped(const QString &text);
};

} // namespace quarvel
