#include "preinput/PreInputImport.h"

#include "app/ProgramSettings.h"
#include "net/BaseData.h"
#include "preinput/DestinationMatch.h"
#include "preinput/Hundredths.h"
#include "preinput/WaybillNumber.h"
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace quarvel {

namespace {

using H = PreInputImport::Header;
using CKind = PreInputImport::Converted::Kind;
using Type = SheetValue::Type;

enum class Rule { Text, ItemType, Count, Weight, Real, Money, PayWay, Address };

struct Entry {
    H header;
    Rule rule;
    int max;
    std::size_t offset;
    std::size_t width;
};

#define ENTRY(h, rule, max, f)                                                                                         \
    Entry                                                                                                              \
    {                                                                                                                  \
        PreInputImport::h, Rule::rule, max, offsetof(PreInputRecord, f), sizeof(PreInputRecord::f)                     \
    }

// The entries after number, destination and express kind, in the order they
// are taken and checked (so the first problem of a row is the one told).
const Entry kEntries[] = {
    ENTRY(From, Text, 62, cfrom),
    ENTRY(ItemType, ItemType, 0, nitemtype),
    ENTRY(Pieces, Count, 0, npieces),
    ENTRY(Weight, Weight, 0, fweight),
    ENTRY(Sender, Text, 30, csender),
    ENTRY(SenderCorp, Text, 126, csendercorp),
    ENTRY(SenderAddr, Address, 126, csenderaddr),
    ENTRY(SenderPhone, Text, 62, csenderphone),
    ENTRY(SenderZip, Text, 15, csenderzip),
    ENTRY(SenderCountry, Text, 62, csendercountry),
    ENTRY(SenderProv, Text, 30, csenderprov),
    ENTRY(SenderCity, Text, 30, csendercity),
    ENTRY(Receiver, Text, 30, creceiver),
    ENTRY(ReceiverCorp, Text, 126, creceivercorp),
    ENTRY(ReceiverAddr, Address, 126, creceiveraddr),
    ENTRY(ReceiverPhone, Text, 62, cphone),
    ENTRY(ReceiverZip, Text, 15, creceiverzip),
    ENTRY(ReceiverCountry, Text, 62, creceivercountry),
    ENTRY(ReceiverProv, Text, 30, creceiverprov),
    ENTRY(ReceiverCity, Text, 30, creceivercity),
    ENTRY(Goods, Text, 254, cgoods),
    ENTRY(Quantity, Count, 0, nquantity),
    ENTRY(Price, Money, 0, iprice),
    ENTRY(Pack, Text, 15, cpack),
    ENTRY(ConsignNote, Text, 62, cconsignnote),
    ENTRY(Declare, Money, 0, ideclare),
    ENTRY(Insure, Money, 0, iinsure),
    ENTRY(Currency, Text, 3, ccurrency),
    ENTRY(Origin, Text, 3, cgoodsorigin),
    ENTRY(Cod, Real, 0, fcod),
    ENTRY(CodSettle, Real, 0, fcodsettle),
    ENTRY(PayWay, PayWay, 0, npayway),
    ENTRY(Remark, Text, 254, cremark),
    ENTRY(SenderSms, Text, 22, csendersms),
    ENTRY(SenderMail, Text, 62, csendermail),
    ENTRY(ReceiverMail, Text, 62, creceivermail),
    ENTRY(ReceiverSms, Text, 22, creceiversms),
};

#undef ENTRY

// The largest amount that fits the record's hundredths.
constexpr double kMaxMoney = std::numeric_limits<std::int32_t>::max() / 100.0;

QString rightTrimmed(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

} // namespace

const QList<ImportColumn> &PreInputImport::Columns()
{
    static const QList<ImportColumn> columns{
        {u"运单号", 110, Type::Digits, u"快递单号|单号|运单编号|运单号码|快递单号码|物流单号|面单号", true},
        {u"出发地", 80, Type::Text, u"始发地|发货地|寄件地"},
        {u"目的地", 80, Type::Text, u"目的城市|城市|目的地城市|到达城市|寄达地|到达地", true},
        {u"网络渠道", 70, Type::Text, u"渠道|快递类别|快递类型|产品类型|服务类型|快递方式"},
        {u"类型", 50, Type::Text, u"物品类型|物品类别|包裹类型|货物类型"},
        {u"件数", 40, Type::Count, u"总件数|包裹数|包裹件数"},
        {u"重量", 70, Type::Weight, u"实重|实际重量|毛重|包裹重量|重量(kg)|重量(公斤)|重量(千克)"},
        {u"发件人", 70, Type::Text, u"寄件人|发货人|寄件人姓名|发件人姓名|发货人姓名"},
        {u"发件单位", 150, Type::Text, u"寄件单位|寄件公司|发件公司|发货单位"},
        {u"发件地址", 200, Type::Text, u"寄件地址|发货地址|寄件人地址|发件人地址"},
        {u"发件电话", 90, Type::Digits, u"寄件电话|寄件人电话|发件人电话|发货人电话|寄件手机|发件手机"},
        {u"发件邮编", 70, Type::Digits, u"寄件邮编|发货邮编"},
        {u"发件国家", 70, Type::Text, u"寄件国家"},
        {u"发件省州", 70, Type::Text, u"寄件省份|发件省份|发货省份"},
        {u"发件城市", 70, Type::Text, u"寄件城市|发货城市"},
        {u"收件人", 70, Type::Text, u"收货人|收货人姓名|姓名|联系人|收件人姓名|收件姓名"},
        {u"收件单位", 150, Type::Text, u"收件公司|收货单位|收货公司|公司|单位"},
        {u"收件地址", 200, Type::Text, u"详细地址|收货地址|地址|收件人地址|收货人地址|收件详细地址|送货地址"},
        {u"收件电话", 90, Type::Digits,
         u"手机|电话|联系电话|手机号码|手机号|收货人电话|收货人手机|收件人电话|收件手机|收货电话|联系方式"},
        {u"收件邮编", 70, Type::Digits, u"邮编|邮政编码|收货邮编"},
        {u"收件国家", 70, Type::Text, u"国家|收货国家"},
        {u"收件省州", 70, Type::Text, u"省份|省|收件省份|收货省份|省州"},
        {u"收件城市", 70, Type::Text, u"收货城市|收件人城市"},
        {u"物品描述", 90, Type::Text, u"品名|物品名称|货物名称|商品名称|内件品名|物品|内件"},
        {u"物品数量", 70, Type::Count, u"数量|商品数量"},
        {u"物品单价", 70, Type::Amount, u"单价|商品单价"},
        {u"物品包装", 70, Type::Text, u"包装"},
        {u"托运备注", 90, Type::Text, u""},
        {u"声明价值", 70, Type::Amount, u"申明价值|申报价值|声明价|申明价"},
        {u"投保价值", 70, Type::Amount, u"保价|保价金额|保价价值"},
        {u"计价货币", 70, Type::Text, u"币种|货币"},
        {u"原产地", 50, Type::Text, u"产地"},
        {u"代收货款", 70, Type::Amount, u"代收款|代收金额|cod"},
        {u"代收货款返回", 90, Type::Amount, u""},
        {u"付款方式", 70, Type::Text, u"付款|支付方式|结算方式"},
        {u"备注", 90, Type::Text, u"备注信息|订单备注"},
        {u"短信电话", 90, Type::Digits, u"发件短信"},
        {u"发件邮箱", 90, Type::Text, u"寄件邮箱|发件email"},
        {u"收件邮箱", 90, Type::Text, u"收件email|邮箱|email|e-mail|电子邮箱"},
        {u"收件短信", 90, Type::Digits, u"短信"},
        {u"发件地址1", 150},
        {u"发件地址2", 150},
        {u"发件地址3", 150},
        {u"收件地址1", 150},
        {u"收件地址2", 150},
        {u"收件地址3", 150},
    };
    return columns;
}

QList<ImportColumn> PreInputImport::ExportColumns()
{
    QList<ImportColumn> out = Columns();
    out.remove(Pack, 2);
    return out;
}

PreInputImport::PreInputImport(PreInputFile &file, const Setting &setting)
    : file_(file), setting_(setting), present_(kHeaders, true)
{
    if (!setting_.base.kindNames().isEmpty())
        defaultKind_ = setting_.base.kindNames().first();
}

void PreInputImport::takeHeader(const ImportHeader &header)
{
    for (int h = 0; h < kHeaders; ++h)
        present_[h] = header.has(h);
    incompleteByLayout_ =
        !present_[Receiver] || (!present_[ReceiverAddr] && !present_[ReceiverAddr1]) || !present_[ReceiverPhone];
}

QString PreInputImport::missingColumnsText() const
{
    return SheetImport::MissingColumnsText({QStringLiteral("运单号"), QStringLiteral("目的地")}) +
           QStringLiteral("\r\n");
}

QString PreInputImport::finishedText(int written) const
{
    return QStringLiteral("本次导入共成功写入%1条预录单记录。").arg(written);
}

// One row on its way to a record.
class PreInputImport::Row {
public:
    Row(PreInputImport &owner, Converted &out) : import_(owner), out_(out) {}

    void run(const ImportRow &cells)
    {
        if (!take(cells) || !kindAndDestination() || !number() || !destination() || !expressKind())
            return;
        for (const Entry &e : kEntries)
            if (!entry(e))
                return;
        PreInputRecord &r = out_.record;
        // The weighed weight is what an upload sends; the page sets it on save.
        r.fweighed = r.fweight;
        lock();
        out_.kind = CKind::Record;
    }

private:
    bool present(int h) const { return import_.present_[h]; }
    static const QString &caption(int h)
    {
        static const QStringList captions = [] {
            QStringList out;
            for (const ImportColumn &c : Columns())
                out << c.caption();
            return out;
        }();
        return captions.at(h);
    }

    // The values before a row is read, then the cells of the columns there
    // are: texts as the sheet shows them, numbers as numbers.
    bool take(const ImportRow &cells)
    {
        setDefaults();
        for (int h = 0; h < kHeaders; ++h) {
            if (!present(h))
                continue;
            if (isNumeric(h)) {
                number_[h] = cells.number(h);
                if (!number_[h].problem.isEmpty())
                    return skipFor(cells, number_[h].problem);
                continue;
            }
            const SheetValue::Text t = cells.text(h);
            if (!t.problem.isEmpty())
                return skipFor(cells, t.problem);
            v_[h] = rightTrimmed(t.text);
        }
        out_.what = SheetValue::Quoted(v_[Number].trimmed());
        return true;
    }

    static bool isNumeric(int h)
    {
        const Type type = Columns().at(h).type;
        return type == Type::Count || type == Type::Weight || type == Type::Amount;
    }

    // A row skipped before its values were all read is named by its waybill cell as shown.
    bool skipFor(const ImportRow &cells, const QString &why)
    {
        out_.what = SheetValue::Quoted(cells.cell(Number).shown.isEmpty() ? cells.cell(Number).importText()
                                                                          : cells.cell(Number).shown);
        return skip(why);
    }

    void setDefaults()
    {
        const ProgramSettings &s = import_.setting_.settings;
        v_[PayWay] = QStringLiteral("现付");
        // A sheet without these columns takes what the page gives a new record.
        const std::pair<H, QString> defaults[] = {
            {From, s.origin},
            {Sender, s.senderName},
            {SenderCorp, s.company},
            {SenderAddr, s.address},
            {SenderPhone, s.phone},
            {SenderZip, s.postcode},
            {SenderCountry, s.country},
            {SenderProv, s.province},
            {SenderCity, s.city},
            {SenderSms, s.sms},
            {SenderMail, s.mail},
            {Currency, QStringLiteral("CNY")},
            {Origin, QStringLiteral("CN")},
        };
        for (const auto &[h, value] : defaults) {
            defaulted_[h] = !present(h);
            if (defaulted_[h])
                v_[h] = value;
        }
        defaulted_[SenderAddr] =
            !present(SenderAddr) && !present(SenderAddr1) && !present(SenderAddr2) && !present(SenderAddr3);
    }

    bool kindAndDestination()
    {
        for (const H h : {From, Destination, Kind})
            v_[h] = v_[h].trimmed();
        if (v_[Kind].isEmpty())
            v_[Kind] = import_.defaultKind_;
        if (v_[Destination].isEmpty())
            return skip(QStringLiteral("没有目的地"));
        if (v_[Kind].isEmpty())
            return skip(QStringLiteral("没有网络渠道,基础数据中也没有快递类别"));
        PreInputRecord &r = out_.record;
        r.iid = -1;
        r.ddate = {static_cast<unsigned short>(import_.setting_.today.year()),
                   static_cast<unsigned char>(import_.setting_.today.month()),
                   static_cast<unsigned char>(import_.setting_.today.day())};
        r.npayway = 1;
        Gbk::setField(r.cpaydir, QStringLiteral("PP"));
        return true;
    }

    // A number of 7 characters or more is the row's own; a row without one
    // (or with a shorter one) gets a generated number, and is told so.
    bool number()
    {
        QString &n = v_[Number];
        const QString typed = n.trimmed();
        if (n.size() >= 7) {
            n = n.toUpper();
        } else {
            n = MakeWaybillNumber(import_.setting_.today, import_.file_.GetNextId(),
                                  import_.setting_.settings.programNumber, import_.setting_.clientId);
            out_.changes.append({typed.isEmpty() ? n : typed,
                                 typed.isEmpty() ? QStringLiteral("没有运单号,用生成的运单号%1。").arg(n)
                                                 : QStringLiteral("运单号不足7位,改用生成的运单号%1。").arg(n)});
        }
        if (!check(n, 7, 30, caption(Number), out_.record.cnum, sizeof out_.record.cnum))
            return false;
        out_.what = SheetValue::Quoted(n);
        const QByteArray stored(out_.record.cnum);
        if (const int earlier = import_.numbersWritten_.value(stored, 0))
            return skip(QStringLiteral("与表中第%1行运单号相同").arg(earlier));
        if (import_.numberStored(stored))
            return skip(QStringLiteral("运单号已存在"));
        return true;
    }

    // A destination the base data knows is stored under its own name and
    // fills the receiver's country, province and city where the row leaves
    // them empty; one it does not know is kept as typed and locks the record.
    bool destination()
    {
        PreInputRecord &r = out_.record;
        QString des = v_[Destination];
        const BaseData &base = import_.setting_.base;
        if (const DestinationEntry *known = ResolveDestination(base, des).entry) {
            des = known->text(DestinationEntry::Name);
            r.nlanguage = known->region <= 2 ? known->region : 0;
            ReceiverPlace place{v_[ReceiverZip], v_[ReceiverCountry], v_[ReceiverProv], v_[ReceiverCity]};
            FillFromDestination(*known, v_[Destination], place);
            takePlace(place);
        } else if (!base.destinations().isEmpty()) {
            lockReasons_ << QStringLiteral("目的地“%1”不在基本数据中").arg(SheetValue::Quoted(des));
        }
        return check(des, 0, 62, caption(Destination), r.cdes, sizeof r.cdes);
    }

    // The filled place goes into the row's values, and so through their checks.
    void takePlace(const ReceiverPlace &place)
    {
        const std::pair<H, QString> parts[] = {{ReceiverZip, place.postcode},
                                               {ReceiverCountry, place.country},
                                               {ReceiverProv, place.province},
                                               {ReceiverCity, place.city}};
        for (const auto &[h, value] : parts)
            if (v_[h] != value) {
                v_[h] = value;
                filled_[h] = true;
            }
    }

    bool expressKind()
    {
        QString &kind = v_[Kind];
        if (!check(kind, 0, 15, caption(Kind), out_.record.cemskind, sizeof out_.record.cemskind))
            return false;
        const QString &fallback = import_.defaultKind_;
        // Without base data there is nothing to check the kind against.
        if (kind == fallback || fallback.isEmpty() || import_.setting_.base.kindByName(kind))
            return true;
        lockReasons_ << QStringLiteral("网络渠道“%1”不在基本数据中,已改为%2").arg(SheetValue::Quoted(kind), fallback);
        Gbk::setField(out_.record.cemskind, fallback);
        return true;
    }

    bool entry(const Entry &e)
    {
        char *field = reinterpret_cast<char *>(&out_.record) + e.offset;
        switch (e.rule) {
        case Rule::Text:
            return !(present(e.header) || defaulted_[e.header] || filled_[e.header]) ||
                   check(v_[e.header], 0, e.max, caption(e.header), field, e.width);
        case Rule::Address:
            return address(e, field);
        case Rule::ItemType:
            *field = static_cast<char>(itemType(v_[e.header].trimmed()));
            return true;
        case Rule::Count:
            return count(e, field);
        case Rule::Weight:
        case Rule::Real:
        case Rule::Money:
            return amount(e, field);
        case Rule::PayWay:
            payWay(v_[e.header].trimmed());
            return true;
        }
        return true;
    }

    // The address column, else its three lines joined, else (sender only) the default.
    bool address(const Entry &e, char *field)
    {
        const H first = e.header == SenderAddr ? SenderAddr1 : ReceiverAddr1;
        QString value = v_[e.header];
        if (!present(e.header)) {
            if (!present(first) && !present(first + 1) && !present(first + 2) && !defaulted_[e.header])
                return true;
            if (!defaulted_[e.header])
                value = rightTrimmed(v_[first] + u' ' + v_[first + 1] + u' ' + v_[first + 2]);
        }
        return check(value, 0, e.max, caption(e.header), field, e.width);
    }

    static int itemType(const QString &text)
    {
        if (text == QStringLiteral("文件") || text.compare(QLatin1String("DOC"), Qt::CaseInsensitive) == 0)
            return 0;
        return text == QStringLiteral("防水袋") ? 2 : 1;
    }

    // Counts are at least 1; an empty cell is 1.
    bool count(const Entry &e, char *field)
    {
        const SheetValue::Number &n = number_[e.header];
        if (!n.empty && n.value > std::numeric_limits<std::int32_t>::max())
            return skip(QStringLiteral("[%1]数值超出范围").arg(caption(e.header)));
        const std::int32_t value = n.empty ? 1 : std::max<std::int32_t>(std::int32_t(n.value), 1);
        std::memcpy(field, &value, sizeof value);
        return true;
    }

    bool amount(const Entry &e, char *field)
    {
        const SheetValue::Number &n = number_[e.header];
        const double value = n.empty ? 0.0 : n.value;
        if ((e.rule == Rule::Money && value > kMaxMoney) || (e.rule == Rule::Weight && value > kMaxWeight))
            return skip(QStringLiteral("[%1]数值超出范围").arg(caption(e.header)));
        if (e.rule != Rule::Money) {
            std::memcpy(field, &value, sizeof value);
            return true;
        }
        const std::int32_t hundredths = Hundredths(value);
        std::memcpy(field, &hundredths, sizeof hundredths);
        return true;
    }

    void payWay(const QString &text)
    {
        PreInputRecord &r = out_.record;
        const QStringList ways{QStringLiteral("月结"), QStringLiteral("现付"), QStringLiteral("到付")};
        const qsizetype way = ways.indexOf(text);
        r.npayway = static_cast<std::uint8_t>(way < 0 ? 1 : way);
        Gbk::setField(r.cpaydir, way == 2 ? QStringLiteral("CC") : QStringLiteral("PP"));
        if (way < 0 && !text.isEmpty())
            out_.changes.append({text, QStringLiteral("付款方式不是月结、现付或到付,按现付导入。")});
    }

    // Receiver, receiver address and receiver phone make a record complete;
    // a destination or express kind the base data does not know locks it too.
    void lock()
    {
        PreInputRecord &r = out_.record;
        QStringList missing;
        const auto need = [&](const char *field, bool column, const QString &name) {
            if (!column)
                missing << QStringLiteral("表格没有%1列").arg(name);
            else if (*field == 0)
                missing << name + QStringLiteral("为空");
        };
        need(r.creceiver, present(Receiver), QStringLiteral("收件人"));
        need(r.creceiveraddr, present(ReceiverAddr) || present(ReceiverAddr1), QStringLiteral("收件地址"));
        need(r.cphone, present(ReceiverPhone), QStringLiteral("收件电话"));
        missing << lockReasons_;
        out_.incomplete = !missing.isEmpty();
        r.nlocked = out_.incomplete ? 1 : 0;
        if (out_.incomplete)
            out_.why = missing.join(QStringLiteral("、")) + QStringLiteral(",已锁定,改正后才会上传。");
    }

    bool check(QString &value, int min, int max, const QString &name, char *field, std::size_t width)
    {
        QString why;
        if (import_.checks_.Into(value, min, max, name, field, width, why))
            return true;
        return skip(why);
    }

    bool skip(const QString &why)
    {
        out_.kind = CKind::Skip;
        out_.why = why;
        return false;
    }

    PreInputImport &import_;
    Converted &out_;
    QString v_[kHeaders];
    SheetValue::Number number_[kHeaders];
    bool defaulted_[kHeaders] = {};
    // Values the destination filled in.
    bool filled_[kHeaders] = {};
    QStringList lockReasons_;
};

bool PreInputImport::numberStored(const QByteArray &number)
{
    if (!storedKnown_) {
        for (int i = 0; i < file_.GetCount(); ++i) {
            const char *cnum = file_.At(i)->cnum;
            numbersStored_.insert(QByteArray(cnum, qsizetype(::strnlen(cnum, sizeof(PreInputRecord::cnum)))));
        }
        storedKnown_ = true;
    }
    return numbersStored_.contains(number);
}

PreInputImport::Converted PreInputImport::Convert(const ImportRow &row)
{
    Converted out;
    Row(*this, out).run(row);
    return out;
}

SheetImportRules::RowResult PreInputImport::importRow(int row, const ImportRow &cells, SheetImportReport &report)
{
    Converted c = Convert(cells);
    if (c.kind == Converted::Kind::Skip) {
        report.add(row, SheetImportReport::Kind::Skipped, c.what, c.why);
        return RowResult::Skipped;
    }
    if (file_.Append(&c.record) == 0) {
        report.message = QStringLiteral("第%1行写入失败:%2\r\n此前写入的%3条记录已保存。")
                             .arg(row)
                             .arg(file_.errorText())
                             .arg(report.written);
        return RowResult::Failed;
    }
    numbersWritten_.insert(QByteArray(c.record.cnum), row);
    ++report.written;
    if (c.incomplete) {
        ++report.incomplete;
        report.add(row, SheetImportReport::Kind::Incomplete, c.what, c.why);
    }
    for (const auto &[what, note] : c.changes)
        report.add(row, SheetImportReport::Kind::Changed, what, note);
    if (written_)
        written_(c.record);
    return RowResult::Written;
}

} // namespace quarvel
