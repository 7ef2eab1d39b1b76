#pragma once

#include <QDate>
#include <QStringList>

#include <optional>

namespace quarvel {

class Cli;

// quarvelctl report day [--date YYYY-MM-DD] [--json]: the close of a counter
// day as the window's 日结 page shows it, compared with the server when the
// run logs in (--password-stdin), else saying that it needs a login.
class ReportCommand {
public:
    static int run(Cli &cli, const QStringList &args);
    // The day of a --date argument (today without one); nothing after the
    // usage message when it is no date.
    static std::optional<QDate> DateArgument(const QString &text, const QString &command);
};

} // namespace quarvel
