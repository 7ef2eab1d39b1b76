#pragma once

#include "app/Prompter.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>

namespace quarvel {

// The one field check of every form: trims the value in place, refuses fewer
// than `min` characters or more than `max` GBK bytes (and characters GBK cannot
// hold), showing the refusal under "数据错误". Returns the GBK form on success.
std::optional<QByteArray> CheckText(QString &value, int min, int max, const QString &caption, Prompter &prompter);

// The same, then copies the GBK form with its terminator into a record field.
bool CheckText(QString &value, int min, int max, const QString &caption, Prompter &prompter, char *field,
               std::size_t width);

template <std::size_t N>
bool CheckText(QString &value, int min, int max, const QString &caption, Prompter &prompter, char (&field)[N])
{
    return CheckText(value, min, max, caption, prompter, field, N);
}

} // namespace quarvel
