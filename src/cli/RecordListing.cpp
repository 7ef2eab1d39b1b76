#include "RecordListing.h"

#include "Cli.h"
#include "storage/RecordJson.h"
#include "text/ControlText.h"

#include <QJsonDocument>

#include <cstdio>
#include <cstring>
#include <string>

namespace quarvel {

namespace {

constexpr std::size_t kBlock = 1 << 16;

// Written in blocks: the output of any number of records needs the memory of one.
void flushWhenFull(std::string &block, std::size_t limit)
{
    if (block.size() < limit)
        return;
    std::fwrite(block.data(), 1, block.size(), stdout);
    block.clear();
}

bool isJson(const QString &arg)
{
    return arg == QLatin1String("--json");
}

} // namespace

int RecordListing::list(Cli &cli, const QStringList &args, const Kind &kind)
{
    for (const QString &a : args)
        if (!isJson(a))
            return Cli::usage(QStringLiteral("%1 list: unexpected argument %2").arg(QLatin1String(kind.command), a));
    const bool json = !args.isEmpty();
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    RecordFile &file = kind.file(*context);
    std::string block = json ? "[\n" : "";
    // Walked by id: a writer beside this reader may delete records, which
    // moves the ones after them; each record is still listed once, whole.
    std::int32_t last = 0;
    bool first = true;
    while (const char *record = file.ReadAfter(last)) {
        std::memcpy(&last, record, sizeof last);
        if (json) {
            block += first ? "" : ",\n";
            RecordJson::Append(block, record, kind.fields());
        } else {
            block += (kind.line(record) + u'\n').toStdString();
        }
        first = false;
        flushWhenFull(block, kBlock);
    }
    if (json)
        block += first ? "]\n" : "\n]\n";
    flushWhenFull(block, 0);
    std::fflush(stdout);
    return Cli::Done;
}

int RecordListing::show(Cli &cli, const QStringList &args, const Kind &kind)
{
    QStringList ids;
    bool json = false;
    for (const QString &a : args) {
        if (isJson(a))
            json = true;
        else
            ids.append(a);
    }
    bool ok = false;
    const int iid = ids.size() == 1 ? ids.first().toInt(&ok) : 0;
    if (!ok || iid <= 0)
        return Cli::usage(QStringLiteral("%1 show: one id expected").arg(QLatin1String(kind.command)));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const char *found = kind.file(*context).FindById(iid);
    if (!found) {
        cli.prompter().error(QString(), kind.notFound(iid));
        return Cli::Refused;
    }
    QJsonObject record = RecordField::toJson(found, kind.fields());
    QString text;
    for (auto it = record.begin(); it != record.end(); ++it)
        text += QStringLiteral("%1\t%2\n").arg(it.key(), ControlText::Escaped(it.value().toVariant().toString()));
    if (kind.more)
        kind.more(*context, iid, record, text);
    if (json)
        Cli::out(QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Indented)));
    else
        Cli::out(text);
    return Cli::Done;
}

} // namespace quarvel
