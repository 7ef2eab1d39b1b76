#include "query/ConditionText.h"

#include "query/SqlText.h"

#include <QList>

namespace quarvel {

ConditionText::ConditionText(const QString &table, int clientId)
    : text_(QStringLiteral(" FROM %1 WHERE icid=%2").arg(table).arg(clientId))
{
}

ConditionText &ConditionText::add(const QString &predicate)
{
    text_ += QStringLiteral(" AND ") + predicate;
    return *this;
}

ConditionText &ConditionText::choice(const QString &column, std::initializer_list<bool> ticked)
{
    QList<int> on;
    int index = 0;
    for (const bool t : ticked) {
        if (t)
            on.append(index);
        ++index;
    }
    if (on.size() == 1)
        return add(QStringLiteral("%1=%2").arg(column).arg(on.first()));
    if (on.isEmpty() || on.size() == index)
        return *this;
    QString list;
    for (const int i : on)
        list += (list.isEmpty() ? QString() : QStringLiteral(",")) + QString::number(i);
    return add(QStringLiteral("%1 IN(%2)").arg(column, list));
}

ConditionText &ConditionText::equals(const QString &column, const QString &typed)
{
    const QString value = SqlText(typed);
    if (value.isEmpty())
        return *this;
    return add(column + QStringLiteral("='") + value + u'\'');
}

ConditionText &ConditionText::contains(const QString &column, const QString &typed)
{
    const QString value = SqlText(typed);
    if (value.isEmpty())
        return *this;
    return add(column + QStringLiteral(" LIKE '%") + value + QStringLiteral("%'"));
}

ConditionText &ConditionText::range(const QString &column, double from, double to, double least, const char *format)
{
    if (from >= least)
        add(column + QStringLiteral(">=") + QString::asprintf(format, from));
    if (to >= least && to >= from)
        add(column + QStringLiteral("<=") + QString::asprintf(format, to));
    return *this;
}

} // namespace quarvel
