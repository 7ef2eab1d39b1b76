#include "ReportCommand.h"

#include "Cli.h"
#include "app/ClientContext.h"
#include "report/DayReconciliation.h"
#include "report/DayReportText.h"

#include <QJsonDocument>

namespace quarvel {

std::optional<QDate> ReportCommand::DateArgument(const QString &text, const QString &command)
{
    if (text.isEmpty())
        return QDate::currentDate();
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (!day.isValid()) {
        Cli::usage(QStringLiteral("%1: --date YYYY-MM-DD expected, not %2").arg(command, text));
        return std::nullopt;
    }
    return day;
}

int ReportCommand::run(Cli &cli, const QStringList &args)
{
    const QString command = QStringLiteral("report day");
    if (args.value(0) != QLatin1String("day"))
        return Cli::usage(QStringLiteral("report: day expected"));
    QString date;
    bool json = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--date") && i + 1 < args.size())
            date = args[++i];
        else if (args[i] == QLatin1String("--json"))
            json = true;
        else
            return Cli::usage(QStringLiteral("%1: unknown argument %2").arg(command, args[i]));
    }
    const std::optional<QDate> day = DateArgument(date, command);
    if (!day)
        return Cli::Usage;
    // The report only reads: it may run beside the window.
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (cli.wantsLogin())
        if (const int code = cli.logIn(*context); code != Cli::Done)
            return code;
    DayReport report = DayReport::Build(*context, *day);
    DayReconciliation::Apply(report, context->session(), context->baseData());
    for (const QString &warning : report.warnings())
        Cli::err(warning + u'\n');
    if (json)
        Cli::out(QString::fromUtf8(QJsonDocument(DayReportText::Json(report)).toJson(QJsonDocument::Compact)) + u'\n');
    else
        Cli::out(DayReportText::Lines(report).join(u'\n') + u'\n');
    return Cli::Done;
}

} // namespace quarvel
