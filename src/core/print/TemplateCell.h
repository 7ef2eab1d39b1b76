#pragma once

#include <QByteArray>

namespace quarvel {

// One cell of a template's list section: the print field name (GBK, as the
// definition text spells it) and where its value goes.
struct TemplateCell {
    int row = 0;    // from 1
    int column = 0; // A = 1, Z = 26, AA = 27
    QByteArray name;
};

} // namespace quarvel
