#include "InfoCommand.h"

#include "Cli.h"
#include "query/ShipmentInfoPage.h"
#include "query/ShipmentInfoQuery.h"

namespace quarvel {

int InfoCommand::run(Cli &cli, const QStringList &args)
{
    bool html = false;
    int id = 0;
    for (const QString &a : args) {
        if (a == QLatin1String("--html")) {
            html = true;
            continue;
        }
        bool ok = false;
        id = a.toInt(&ok);
        if (!ok || id <= 0)
            return Cli::usage(QStringLiteral("info: a server record id expected"));
    }
    if (id <= 0)
        return Cli::usage(QStringLiteral("info: a server record id expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    if (const int code = cli.logIn(*context); code != Cli::Done)
        return code;
    const ServerSession &session = context->session();
    const ShipmentInfoQuery::Result r = ShipmentInfoQuery::Fetch(session, id);
    if (!r.found) {
        cli.prompter().error(QString(), r.message);
        return r.answered ? Cli::Refused : Cli::Failed;
    }
    const QByteArray host = session.CurrentServerHost();
    if (html)
        Cli::out(ShipmentInfoPage::Document(ShipmentInfoPage::Body(r.info, host)) + QStringLiteral("\r\n"));
    else
        Cli::out(ShipmentInfoPage::PlainText(r.info, host));
    return Cli::Done;
}

} // namespace quarvel
