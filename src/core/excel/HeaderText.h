#pragma once

#include "excel/SheetValue.h"

#include <QString>

namespace quarvel {

// A header cell as customers write it, reduced to what it names: "收件人*",
// "收件人(必填)", "收 件 人" and "收件人\n" all name 收件人; "重量(kg)" names
// 重量 with kilograms as the unit of its numbers.
class HeaderText {
public:
    struct Key {
        // Compared with the headers an import knows.
        QString name;
        SheetValue::Unit unit = SheetValue::Unit::None;
    };

    static Key Read(const QString &cell);
    // Read(cell).name.
    static QString Name(const QString &cell);
};

} // namespace quarvel
