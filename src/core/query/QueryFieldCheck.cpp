#include "query/QueryFieldCheck.h"

#include "app/Prompter.h"
#include "text/CheckText.h"

namespace quarvel {

namespace {

// A query box holds far fewer bytes than this; CheckText is asked only about
// the characters.
constexpr int kAnyLength = 1 << 20;

} // namespace

bool CheckQueryText(QString &value, int maxChars, const QString &caption, Prompter &prompter)
{
    if (!CheckText(value, 0, kAnyLength, caption, prompter))
        return false;
    if (value.size() > maxChars) {
        prompter.error(QStringLiteral("数据错误"),
                       QStringLiteral("[%1]长度不得超过 %2 字符。").arg(caption).arg(maxChars));
        return false;
    }
    return true;
}

bool AcceptDateMessages(const QString &messages, Prompter &prompter)
{
    if (messages.isEmpty())
        return true;
    prompter.error(QStringLiteral("日期错误提示："), messages);
    return false;
}

} // namespace quarvel
