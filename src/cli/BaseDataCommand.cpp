#include "BaseDataCommand.h"

#include "Cli.h"
#include "net/BaseDataDownload.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quarvel {

namespace {

QJsonValue servedList(const ExpressKind &kind)
{
    if (!kind.served)
        return QJsonValue::Null;
    QJsonArray all;
    for (const QByteArray &name : kind.served->split('\t'))
        if (!name.isEmpty())
            all.append(Gbk::toUnicode(name));
    return all;
}

QJsonObject destinationJson(const DestinationEntry &d)
{
    return QJsonObject{
        {QStringLiteral("sequence"), d.sequence},
        {QStringLiteral("region"), d.region},
        {QStringLiteral("second"), d.second},
        {QStringLiteral("firstKey"), d.text(DestinationEntry::FirstKey)},
        {QStringLiteral("secondKey"), d.text(DestinationEntry::SecondKey)},
        {QStringLiteral("postcode"), d.text(DestinationEntry::Postcode)},
        {QStringLiteral("name"), d.text(DestinationEntry::Name)},
        {QStringLiteral("country"), d.text(DestinationEntry::Country)},
    };
}

} // namespace

int BaseDataCommand::run(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("basedata: a subcommand is needed"));
    if (args == QStringList{QStringLiteral("download")})
        return download(cli);
    if (args.first() == QLatin1String("show") &&
        (args.size() == 1 || args.mid(1) == QStringList{QStringLiteral("--json")}))
        return show(cli, args.mid(1));
    return Cli::usage(QStringLiteral("basedata: download or show [--json] expected"));
}

int BaseDataCommand::download(Cli &cli)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const int result =
        DownloadBaseData(context->session(), context->baseData(), context->baseDataPath(), cli.prompter());
    return result == BaseDataDownload::Stored ? Cli::Done : Cli::Failed;
}

int BaseDataCommand::show(Cli &cli, const QStringList &args)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const BaseData &data = context->baseData();
    if (!args.contains(QLatin1String("--json"))) {
        Cli::out(QStringLiteral("mode\t%1\n").arg(data.volumeModeD() ? QStringLiteral("D") : QString()));
        for (const ExpressKind &kind : data.kinds())
            Cli::out(QStringLiteral("kind\t%1\t%2\n")
                         .arg(ControlText::Escaped(kind.codeText()), ControlText::Escaped(kind.nameText())));
        for (const DestinationEntry &d : data.destinations())
            Cli::out(QStringLiteral("destination\t%1\t%2\t%3\n")
                         .arg(ControlText::Escaped(d.text(DestinationEntry::Name)),
                              ControlText::Escaped(d.text(DestinationEntry::Postcode)),
                              ControlText::Escaped(d.text(DestinationEntry::Country))));
        return Cli::Done;
    }
    QJsonArray kinds;
    for (const ExpressKind &kind : data.kinds())
        kinds.append(QJsonObject{{QStringLiteral("code"), kind.codeText()},
                                 {QStringLiteral("name"), kind.nameText()},
                                 {QStringLiteral("served"), servedList(kind)}});
    QJsonArray destinations;
    for (const DestinationEntry &d : data.destinations())
        destinations.append(destinationJson(d));
    const QJsonObject all{{QStringLiteral("mode"), data.volumeModeD() ? QStringLiteral("D") : QString()},
                          {QStringLiteral("kinds"), kinds},
                          {QStringLiteral("destinations"), destinations}};
    Cli::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)));
    return Cli::Done;
}

} // namespace quarvel
