#include "DictionaryCommand.h"

#include "Cli.h"

namespace quarvel {

int DictionaryCommand::run(Cli &cli, const QStringList &args)
{
    const QString what = args.value(0);
    const bool suggest = what == QLatin1String("suggest") && args.size() >= 2;
    const bool translate = what == QLatin1String("translate") && args.size() >= 4 &&
                           args.at(1) == QLatin1String("--to") &&
                           (args.at(2) == QLatin1String("en") || args.at(2) == QLatin1String("zh"));
    if (!suggest && !translate)
        return Cli::usage(QStringLiteral("dictionary: suggest TEXT or translate --to en|zh TEXT expected"));
    ClientContext *context = cli.context(RecordFile::Mode::ReadOnly);
    if (!context)
        return Cli::Failed;
    const GoodsNameDictionary &names = context->goodsNames();
    if (suggest) {
        for (const GoodsNameEntry *e : names.Suggest(args.mid(1).join(u' ')))
            Cli::out(QStringLiteral("%1\t%2\t%3\n").arg(e->codeText(), e->chineseText(), e->englishText()));
        return Cli::Done;
    }
    const QString text = args.mid(3).join(u' ');
    Cli::out((args.at(2) == QLatin1String("en") ? names.ChineseToEnglish(text) : names.EnglishToChinese(text)) + u'\n');
    return Cli::Done;
}

} // namespace quarvel
