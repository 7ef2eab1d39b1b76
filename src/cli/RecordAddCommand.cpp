#include "RecordAddCommand.h"

#include "Cli.h"
#include "preinput/PreInputFieldGuide.h"
#include "preinput/PreInputForm.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <optional>

namespace quarvel {

namespace {

// What the arguments asked for beyond the page values.
struct Extras {
    std::optional<double> collectSettle;
    std::optional<double> cod;
    std::optional<double> codSettle;
    bool goods = false;
};

int refuse(Cli &cli, const QString &message)
{
    cli.prompter().error(QStringLiteral("数据错误"), message);
    return Cli::Refused;
}

// goods=NAME:QUANTITY:PRICE; the name is checked as the goods dialog does.
int addGoods(Cli &cli, PreInputForm &form, const QString &value)
{
    QStringList parts = value.split(u':');
    if (parts.size() != 3)
        return refuse(cli, QStringLiteral("[物品明细]应为 名称:数量:单价：%1").arg(value));
    bool okQuantity = false;
    bool okPrice = false;
    GoodsRecord line{};
    line.iid = static_cast<std::int32_t>(form.goodsLines().size());
    line.iparent = form.iid();
    line.nquantity = parts.at(1).trimmed().toInt(&okQuantity);
    line.fprice = parts.at(2).trimmed().toDouble(&okPrice);
    if (!okQuantity || !okPrice)
        return refuse(cli, QStringLiteral("[物品明细]数量必须是整数，单价必须是数字：%1").arg(value));
    if (line.nquantity < 0 || line.fprice < 0)
        return refuse(cli, QStringLiteral("[物品明细]数量和单价不能是负数：%1").arg(value));
    const std::optional<QByteArray> name = CheckText(parts[0], 1, 62, QStringLiteral("物品名称"), cli.prompter());
    if (!name)
        return Cli::Refused;
    Gbk::setField(line.cname, sizeof line.cname, *name);
    form.goodsLines().push_back(line);
    return Cli::Done;
}

// piece=LENGTH:WIDTH:HEIGHT:GRAMS:SHARE, as the piece dialog stores it.
int addPiece(Cli &cli, PreInputForm &form, const QString &value)
{
    const QStringList parts = value.split(u':');
    int n[5] = {};
    bool ok = parts.size() == 5;
    for (int i = 0; ok && i < 5; ++i)
        n[i] = parts.at(i).trimmed().toInt(&ok);
    if (!ok)
        return refuse(cli, QStringLiteral("[件重明细]应为 长:宽:高:克:体积比例，都是整数：%1").arg(value));
    if (n[0] < 0 || n[1] < 0 || n[2] < 0 || n[3] < 0)
        return refuse(cli, QStringLiteral("[件重明细]尺寸和重量不能是负数：%1").arg(value));
    if (n[4] < 0 || n[4] > 255)
        return refuse(cli, QStringLiteral("[件重明细]体积比例只能是 0-255：%1").arg(value));
    WeightRecord piece{};
    piece.nlength = n[0];
    piece.nwidth = n[1];
    piece.nheight = n[2];
    piece.nweight = n[3];
    piece.nvolpercent = static_cast<std::uint8_t>(n[4]);
    piece.nquantity = 1;
    piece.iprice = 100;
    form.pieceLines().push_back(piece);
    form.PiecesEdited(true);
    return Cli::Done;
}

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

int applyArgument(Cli &cli, PreInputForm &form, Extras &extras, const QString &arg)
{
    const qsizetype eq = arg.indexOf(u'=');
    if (eq <= 0)
        return Cli::usage(QStringLiteral("records add: FIELD=VALUE expected, got %1").arg(arg));
    const QString name = arg.left(eq);
    const QString value = arg.mid(eq + 1);
    if (name == QLatin1String("goods")) {
        extras.goods = true;
        return addGoods(cli, form, value);
    }
    if (name == QLatin1String("piece"))
        return addPiece(cli, form, value);
    if (!PreInputFieldGuide::Known(name)) {
        const QStringList near = PreInputFieldGuide::Nearest(name);
        return Cli::usage(near.isEmpty()
                              ? QStringLiteral("records add: unknown field %1 (records fields lists them)").arg(name)
                              : QStringLiteral("records add: unknown field %1; did you mean %2?")
                                    .arg(name, near.join(QStringLiteral(", "))));
    }
    if (const QString wrong = PreInputFieldGuide::CheckNumber(name, value); !wrong.isEmpty())
        return refuse(cli, wrong);
    std::optional<double> *collect = name == QLatin1String("fcollectsettle") ? &extras.collectSettle
                                     : name == QLatin1String("fcod")         ? &extras.cod
                                     : name == QLatin1String("fcodsettle")   ? &extras.codSettle
                                                                             : nullptr;
    if (collect) {
        *collect = number(value);
        return Cli::Done;
    }
    // The value passed its check above, so the page takes it.
    PreInputValues probe = form.values();
    probe.set(name, value);
    if (name == QLatin1String("npayway")) {
        // Choosing a payment sets the settlement instruction, as on the page.
        form.SetPayWay(probe.npayway);
        return Cli::Done;
    }
    form.values() = probe;
    return Cli::Done;
}

// The collect and COD amounts go through the collect dialog's rules.
int applyCollect(Cli &cli, PreInputForm &form, const Extras &extras)
{
    if (!extras.collectSettle && !extras.cod && !extras.codSettle)
        return Cli::Done;
    CollectForm collect = form.OpenCollect();
    if (extras.collectSettle)
        collect.collectSettle = *extras.collectSettle;
    if (extras.cod)
        collect.cod = *extras.cod;
    if (extras.codSettle)
        collect.codSettle = *extras.codSettle;
    if (!collect.Confirm(cli.prompter()))
        return Cli::Refused;
    form.ApplyCollect(collect);
    return Cli::Done;
}

} // namespace

int RecordAddCommand::run(Cli &cli, const QStringList &args)
{
    ClientContext *context = cli.context();
    if (!context)
        return Cli::Failed;
    // Logged in, generated waybill numbers carry the client id.
    if (const int code = cli.wantsLogin() ? cli.logIn(*context) : Cli::Done; code != Cli::Done)
        return code;
    PreInputForm form(*context, cli.prompter());
    int saved = -1;
    form.setRecordChanged([&saved](bool ok, const PreInputRecord &r) {
        if (ok)
            saved = r.iid;
    });
    Extras extras;
    for (const QString &arg : args)
        if (const int code = applyArgument(cli, form, extras, arg); code != Cli::Done)
            return code;
    if (extras.goods)
        form.GoodsEdited();
    // The look-up the page makes when a destination is picked.
    form.CompleteDestination();
    if (const int code = applyCollect(cli, form, extras); code != Cli::Done)
        return code;
    form.setSaving(true);
    if (!form.SaveRecord())
        return form.storageFailed() ? Cli::Failed : Cli::Refused;
    Cli::out(QStringLiteral("%1\n").arg(saved));
    return Cli::Done;
}

} // namespace quarvel
