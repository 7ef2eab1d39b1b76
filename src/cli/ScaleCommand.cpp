#include "ScaleCommand.h"

#include "Cli.h"
#include "scale/ScaleDetector.h"
#include "scale/ScaleFields.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettle.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace quarvel {

namespace {

constexpr int kDefaultDetectSeconds = 5;

// "--name VALUE" among the arguments as a positive number; false on a usage error.
bool option(const QStringList &args, const QString &name, double &value, bool allowZero)
{
    const qsizetype at = args.indexOf(name);
    if (at < 0)
        return true;
    bool ok = false;
    value = args.value(at + 1).toDouble(&ok);
    return ok && (value > 0 || (allowZero && value == 0));
}

// Only the named options, each with its value (flags are taken out before).
bool onlyOptions(const QStringList &args, const QStringList &names)
{
    for (qsizetype i = 0; i < args.size(); i += 2)
        if (!names.contains(args.at(i)))
            return false;
    return args.size() % 2 == 0;
}

void printLine(const QString &text)
{
    Cli::out(text + u'\n');
    std::fflush(stdout);
}

// "--all": every frame as "GRAMS WORD", "-" for a frame without a number. A
// weight not taken because the readings still change is unstable.
QString frameLine(const ScaleReading &r, bool taken)
{
    const QString word = taken          ? ScaleReading::Word(ScaleReading::Status::Stable)
                         : r.isWeight() ? ScaleReading::Word(ScaleReading::Status::Unstable)
                                        : r.word();
    return (r.hasNumber ? QString::number(r.grams) : QStringLiteral("-")) + u' ' + word;
}

// Listens until the loop is ended by the listener or the time is up; a
// port that cannot be opened or goes away ends it with its message (false).
bool listen(Cli &cli, ScaleLink &link, const ScaleSettings &settings, const QString &device, double seconds,
            ScaleLink::Listener &listener, QEventLoop &loop)
{
    QString failure;
    listener.lost = [&](const QString &reason) {
        failure = reason;
        loop.quit();
    };
    failure = link.OpenWith(settings, device, listener);
    if (failure.isEmpty()) {
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        link.CloseScale(listener.owner);
    }
    if (!failure.isEmpty())
        cli.prompter().error(QString(), failure);
    return failure.isEmpty();
}

} // namespace

int ScaleCommand::run(Cli &cli, const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("show") && args.size() == 1)
        return show(cli);
    if (sub == QLatin1String("set"))
        return set(cli, args.mid(1));
    if (sub == QLatin1String("read"))
        return read(cli, args.mid(1));
    if (sub == QLatin1String("detect"))
        return detect(cli, args.mid(1));
    return Cli::usage(sub.isEmpty() ? QStringLiteral("scale: a subcommand is needed")
                                    : QStringLiteral("scale: unknown subcommand %1").arg(sub));
}

int ScaleCommand::show(Cli &cli)
{
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    Cli::out(ScaleFields::Show(context->scaleSettings(), context->scaleDevice()));
    return Cli::Done;
}

int ScaleCommand::set(Cli &cli, const QStringList &args)
{
    if (args.isEmpty())
        return Cli::usage(QStringLiteral("scale set: FIELD=VALUE ... (%1)").arg(ScaleFields::Names().join(u' ')));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    // All fields are checked before anything is written.
    for (const QString &arg : args) {
        const qsizetype eq = arg.indexOf(u'=');
        QString reason;
        const ScaleFields::Result r = eq < 0 ? ScaleFields::Result::UnknownField
                                             : ScaleFields::Set(context->scaleSettings(), context->scaleDevice(),
                                                                arg.left(eq), arg.mid(eq + 1), reason);
        if (r == ScaleFields::Result::UnknownField)
            return Cli::usage(
                QStringLiteral("scale set: %1").arg(eq < 0 ? QStringLiteral("FIELD=VALUE expected: ") + arg : reason));
        if (r == ScaleFields::Result::BadValue) {
            cli.prompter().error(QString(), reason);
            return Cli::Refused;
        }
    }
    if (!context->SaveScaleSettings()) {
        cli.prompter().error(QString(), QStringLiteral("文件打开错误，设置未能保存。"));
        return Cli::Failed;
    }
    return Cli::Done;
}

int ScaleCommand::read(Cli &cli, const QStringList &arguments)
{
    double count = 1;
    double seconds = ScaleLink::kReadSeconds;
    QStringList args = arguments;
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    if (!onlyOptions(args, {QStringLiteral("--count"), QStringLiteral("--timeout")}) ||
        !option(args, QStringLiteral("--count"), count, true) ||
        !option(args, QStringLiteral("--timeout"), seconds, false))
        return Cli::usage(QStringLiteral("scale read [--count N] [--timeout SECONDS] [--all]"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    ScaleLink &link = context->scale();
    const ScaleSettings &settings = context->scaleSettings();
    const QString device = context->scaleDevice().DeviceFor(settings);
    const int wanted = int(count);
    QObject owner;
    QEventLoop loop;
    ScaleSettle settle;
    int got = 0;
    ScaleLink::Listener listener;
    listener.owner = &owner;
    listener.reading = [&](const ScaleReading &r) {
        const bool taken = settle.Take(r, settings.onStable());
        if (!all && !taken)
            return;
        printLine(all ? frameLine(r, taken) : QString::number(r.grams));
        if (wanted > 0 && ++got >= wanted) {
            loop.quit();
            return;
        }
        // A scale that sends on a key press gives one weight per opening.
        if (!link.isOpen())
            QTimer::singleShot(0, &owner, [&] {
                if (const QString reason = link.OpenWith(settings, device, listener); !reason.isEmpty())
                    listener.lost(reason);
            });
    };
    if (!listen(cli, link, settings, device, seconds, listener, loop))
        return Cli::Failed;
    if (wanted > 0 && got < wanted) {
        cli.prompter().error(QString(), ScaleLink::ShortReadText(seconds, got, wanted, device));
        // A scale that stays silent is the counter's hardware, not a refused value.
        return Cli::Failed;
    }
    return Cli::Done;
}

int ScaleCommand::detect(Cli &cli, const QStringList &args)
{
    double seconds = kDefaultDetectSeconds;
    if (!onlyOptions(args, {QStringLiteral("--seconds")}) || !option(args, QStringLiteral("--seconds"), seconds, false))
        return Cli::usage(QStringLiteral("scale detect [--seconds N]"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    ScaleLink &link = context->scale();
    const ScaleSettings &settings = context->scaleSettings();
    QObject owner;
    QEventLoop loop;
    QByteArray heard;
    ScaleLink::Listener listener;
    listener.owner = &owner;
    listener.raw = [&](const QByteArray &bytes) {
        if (heard.size() < (1 << 20))
            heard += bytes;
    };
    if (!listen(cli, link, settings, context->scaleDevice().DeviceFor(settings), seconds, listener, loop))
        return Cli::Failed;
    const ScaleDetector::Guess guess = ScaleDetector::Detect(heard, settings);
    Cli::out(QString(guess.Text()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) + u'\n');
    if (!guess.found)
        return Cli::Refused;
    Cli::out(QStringLiteral("confidence=%1\n%2\n").arg(guess.confidence).arg(guess.SetCommand()));
    return Cli::Done;
}

} // namespace quarvel
