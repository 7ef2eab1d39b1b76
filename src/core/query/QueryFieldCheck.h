#pragma once

#include <QString>

namespace quarvel {

class Prompter;

// A text box of a query dialog on confirmation: trimmed, at most `maxChars`
// characters, and only characters that GBK holds (the condition travels as
// GBK). False after the message under "数据错误".
bool CheckQueryText(QString &value, int maxChars, const QString &caption, Prompter &prompter);

// Shows the collected date messages under "日期错误提示："; false when
// there were any.
bool AcceptDateMessages(const QString &messages, Prompter &prompter);

} // namespace quarvel
