#include "FontsCommand.h"

#include "Cli.h"
#include "app/ShippedData.h"
#include "print/BarcodeFonts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quarvel {

namespace {

BarcodeFonts userFonts()
{
    return BarcodeFonts(ShippedData::Folder() + QStringLiteral("/fonts"), BarcodeFonts::Places::OfUser());
}

int status(bool json)
{
    QList<BarcodeFonts::FaceState> states;
    if (!userFonts().Check(states)) {
        Cli::err(QStringLiteral("找不到 fc-match（fontconfig），无法查看字体。\n"));
        return Cli::Failed;
    }
    QJsonArray all;
    bool every = true;
    for (const BarcodeFonts::FaceState &s : states) {
        every = every && s.resolves;
        if (json)
            all.append(QJsonObject{{QStringLiteral("face"), s.face.name},
                                   {QStringLiteral("resolves"), s.resolves},
                                   {QStringLiteral("family"), s.family},
                                   {QStringLiteral("file"), s.file}});
        else
            Cli::out(
                QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(s.face.name, s.resolves ? QStringLiteral("yes") : QStringLiteral("no"), s.family, s.file));
    }
    if (json)
        Cli::out(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact)) + u'\n');
    return every ? Cli::Done : Cli::Refused;
}

int install()
{
    const BarcodeFonts::Outcome outcome = userFonts().Install();
    for (const QString &file : outcome.written)
        Cli::out(file + u'\n');
    if (outcome.problem.isEmpty())
        return Cli::Done;
    // Whatever stopped the installation is the machine's: folders, files, fontconfig.
    Cli::err(outcome.problem + u'\n');
    return Cli::Failed;
}

} // namespace

int FontsCommand::run(Cli &, const QStringList &args)
{
    const QString what = args.value(0);
    if (what == QLatin1String("status") && args.size() <= 2 &&
        (args.size() == 1 || args.at(1) == QLatin1String("--json")))
        return status(args.size() == 2);
    if (what == QLatin1String("install") && args.size() == 1)
        return install();
    return Cli::usage(QStringLiteral("fonts: status [--json] or install expected"));
}

} // namespace quarvel
