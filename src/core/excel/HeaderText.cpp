#include "excel/HeaderText.h"

#include <QRegularExpression>

namespace quarvel {

namespace {

// Marks that say a column must or may be filled.
const QString kMarks[] = {QStringLiteral("(必填)"),   QStringLiteral("(选填)"), QStringLiteral("(可选)"),
                          QStringLiteral("(必选)"),   QStringLiteral("[必填]"), QStringLiteral("【必填】"),
                          QStringLiteral("【选填】"), QStringLiteral("必填")};

bool invisible(QChar c)
{
    return c.isSpace() || c == QChar(0xFEFF) || c == QChar(0x200B);
}

} // namespace

HeaderText::Key HeaderText::Read(const QString &cell)
{
    QString t;
    for (const QChar c : SheetValue::HalfWidth(cell))
        if (!invisible(c) && c != u'*')
            t.append(c);
    for (const QString &mark : kMarks)
        t.remove(mark);
    while (t.endsWith(u':'))
        t.chop(1);
    Key key;
    // A unit at the end: "重量(kg)", "重量(单位:克)".
    static const QRegularExpression unit(QStringLiteral("^(.+)\\((?:单位:?)?([^()]+)\\)$"));
    const QRegularExpressionMatch m = unit.match(t);
    if (m.hasMatch() && SheetValue::UnitNamed(m.captured(2)) != SheetValue::Unit::None) {
        key.unit = SheetValue::UnitNamed(m.captured(2));
        t = m.captured(1);
    }
    key.name = t.toLower();
    return key;
}

QString HeaderText::Name(const QString &cell)
{
    return Read(cell).name;
}

} // namespace quarvel
