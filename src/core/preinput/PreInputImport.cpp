#include "preinput/PreInputImport.h"

#include "app/ProgramSettings.h"
#include "net/BaseData.h"
#include "preinput/Hundredths.h"
#include "preinput/WaybillNumber.h"
#include "storage/PreInputFile.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace quarvel {

namespace {

using H = PreInputImport::Header;
using CKind = PreInputImport::Converted::Kind;

enum class Rule { Text, ItemType, Count, Real, Money, PayWay, Address };

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
// are taken and checked (so in the order their messages come).
const Entry kEntries[] = {
    ENTRY(From, Text, 62, cfrom),
    ENTRY(ItemType, ItemType, 0, nitemtype),
    ENTRY(Pieces, Count, 0, npieces),
    ENTRY(Weight, Real, 0, fweight),
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

// The number at the start of a text, as C's atof reads it (a text that is
// not a number reads as 0); no value when it is too large for a double.
std::optional<double> leadingReal(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < t.size() && t.at(i) >= u'0' && t.at(i) <= u'9')
            ++i;
        return i > from;
    };
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        ++i;
    bool any = digits();
    if (i < t.size() && t.at(i) == u'.') {
        ++i;
        any = digits() || any;
    }
    if (!any)
        return 0.0;
    const qsizetype mantissa = i;
    if (i < t.size() && (t.at(i) == u'e' || t.at(i) == u'E')) {
        ++i;
        if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
            ++i;
        if (!digits())
            i = mantissa;
    }
    const double value = t.left(i).toDouble();
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// The whole number at the start of a text, as C's atoi reads it; no value
// when it does not fit 32 bits.
std::optional<std::int32_t> leadingInteger(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const bool negative = i < t.size() && t.at(i) == u'-';
    if (i < t.size() && (t.at(i) == u'+' || t.at(i) == u'-'))
        ++i;
    qint64 value = 0;
    for (; i < t.size() && t.at(i) >= u'0' && t.at(i) <= u'9'; ++i) {
        value = value * 10 + (t.at(i).unicode() - u'0');
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

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
        {u"运单号", 110},    {u"出发地", 80},     {u"目的地", 80},     {u"网络渠道", 70},     {u"类型", 50},
        {u"件数", 40},       {u"重量", 70},       {u"发件人", 70},     {u"发件单位", 150},    {u"发件地址", 200},
        {u"发件电话", 90},   {u"发件邮编", 70},   {u"发件国家", 70},   {u"发件省州", 70},     {u"发件城市", 70},
        {u"收件人", 70},     {u"收件单位", 150},  {u"收件地址", 200},  {u"收件电话", 90},     {u"收件邮编", 70},
        {u"收件国家", 70},   {u"收件省州", 70},   {u"收件城市", 70},   {u"物品描述", 90},     {u"物品数量", 70},
        {u"物品单价", 70},   {u"物品包装", 70},   {u"托运备注", 90},   {u"声明价值", 70},     {u"投保价值", 70},
        {u"计价货币", 70},   {u"原产地", 50},     {u"代收货款", 70},   {u"代收货款返回", 90}, {u"付款方式", 70},
        {u"备注", 90},       {u"短信电话", 90},   {u"发件邮箱", 90},   {u"收件邮箱", 90},     {u"收件短信", 90},
        {u"发件地址1", 150}, {u"发件地址2", 150}, {u"发件地址3", 150}, {u"收件地址1", 150},   {u"收件地址2", 150},
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

void PreInputImport::setPresent(const QList<bool> &present)
{
    present_ = present;
    present_.resize(kHeaders);
    incompleteByLayout_ =
        !present_[Receiver] || (!present_[ReceiverAddr] && !present_[ReceiverAddr1]) || !present_[ReceiverPhone];
}

QString PreInputImport::checkHeader(const ImportHeader &header)
{
    QList<bool> present(kHeaders);
    for (int h = 0; h < kHeaders; ++h)
        present[h] = header.has(h);
    setPresent(present);
    if (header.has(Number) && header.has(Destination))
        return QString();
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
    Row(PreInputImport &owner, int row, Converted &out) : import_(owner), row_(row), out_(out) {}

    void run(const QStringList &cells)
    {
        take(cells);
        if (!kindAndDestination() || !number() || !destination() || !expressKind())
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

    // The values before a row is read, then the cells of the columns there are.
    void take(const QStringList &cells)
    {
        const ProgramSettings &s = import_.setting_.settings;
        v_[Pieces] = QStringLiteral("1");
        for (const H h : {Weight, Price, Declare, Insure, Cod, CodSettle})
            v_[h] = QStringLiteral("0");
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
        for (int h = 0; h < kHeaders; ++h) {
            if (!present(h))
                continue;
            v_[h] = rightTrimmed(SheetImport::CellText(cells.value(h)));
            if (v_[h].size() >= SheetImport::kLongText) {
                out_.changes.append({Columns().at(h).caption(), SheetImport::LongTextNote(v_[h].size())});
                v_[h].clear();
            }
        }
        out_.what = v_[Number].trimmed();
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

    bool number()
    {
        QString &n = v_[Number];
        if (n.size() >= 7) {
            n = n.toUpper();
        } else {
            const QString typed = n.trimmed();
            n = MakeWaybillNumber(import_.setting_.today, import_.file_.GetNextId(),
                                  import_.setting_.settings.programNumber, import_.setting_.clientId);
            if (!typed.isEmpty())
                out_.changes.append({typed, QStringLiteral("运单号不足7位,改用生成的运单号%1。").arg(n)});
        }
        if (!check(n, 7, 30, QStringLiteral("运单号"), out_.record.cnum, sizeof out_.record.cnum))
            return false;
        out_.what = n;
        const QByteArray stored(out_.record.cnum);
        if (const int earlier = import_.numbersWritten_.value(stored, 0))
            return skip(QStringLiteral("与表中第%1行运单号相同").arg(earlier));
        if (import_.numberStored(stored))
            return skip(QStringLiteral("运单号已存在"));
        return true;
    }

    bool destination()
    {
        PreInputRecord &r = out_.record;
        QString des = v_[Destination];
        if (const DestinationEntry *known = import_.setting_.base.destinationByName(des.toUpper())) {
            des = known->text(DestinationEntry::Name);
            r.nlanguage = known->region <= 2 ? known->region : 0;
        }
        return check(des, 0, 62, QStringLiteral("目的地"), r.cdes, sizeof r.cdes);
    }

    bool expressKind()
    {
        QString &kind = v_[Kind];
        if (!check(kind, 0, 15, QStringLiteral("网络渠道"), out_.record.cemskind, sizeof out_.record.cemskind))
            return false;
        const QString &fallback = import_.defaultKind_;
        if (kind == fallback || import_.setting_.base.kindByName(kind))
            return true;
        out_.changes.append({kind, fallback.isEmpty()
                                       ? QStringLiteral("网络渠道不在基础数据中,没有导入。")
                                       : QStringLiteral("网络渠道不在基础数据中,改为%1。").arg(fallback)});
        Gbk::setField(out_.record.cemskind, fallback);
        return true;
    }

    bool entry(const Entry &e)
    {
        char *field = reinterpret_cast<char *>(&out_.record) + e.offset;
        const QString caption = Columns().at(e.header).caption();
        switch (e.rule) {
        case Rule::Text:
            return !(present(e.header) || defaulted_[e.header]) ||
                   check(v_[e.header], 0, e.max, caption, field, e.width);
        case Rule::Address:
            return address(e, field, caption);
        case Rule::ItemType:
            *field = static_cast<char>(itemType(v_[e.header].trimmed()));
            return true;
        case Rule::Count:
            return count(e, field, caption);
        case Rule::Real:
        case Rule::Money:
            return amount(e, field, caption);
        case Rule::PayWay:
            payWay(v_[e.header].trimmed());
            return true;
        }
        return true;
    }

    // The address column, else its three lines joined, else (sender only) the default.
    bool address(const Entry &e, char *field, const QString &caption)
    {
        const H first = e.header == SenderAddr ? SenderAddr1 : ReceiverAddr1;
        QString value = v_[e.header];
        if (!present(e.header)) {
            if (!present(first) && !present(first + 1) && !present(first + 2) && !defaulted_[e.header])
                return true;
            if (!defaulted_[e.header])
                value = rightTrimmed(v_[first] + u' ' + v_[first + 1] + u' ' + v_[first + 2]);
        }
        return check(value, 0, e.max, caption, field, e.width);
    }

    static int itemType(const QString &text)
    {
        if (text == QStringLiteral("文件") || text.compare(QLatin1String("DOC"), Qt::CaseInsensitive) == 0)
            return 0;
        return text == QStringLiteral("防水袋") ? 2 : 1;
    }

    bool count(const Entry &e, char *field, const QString &caption)
    {
        const std::optional<std::int32_t> n = leadingInteger(v_[e.header]);
        if (!n)
            return refuse(caption, QStringLiteral("数值超出范围。"));
        const std::int32_t value = std::max<std::int32_t>(*n, 1);
        std::memcpy(field, &value, sizeof value);
        return true;
    }

    bool amount(const Entry &e, char *field, const QString &caption)
    {
        const std::optional<double> x = leadingReal(v_[e.header]);
        if (!x || (e.rule == Rule::Money && *x > kMaxMoney))
            return refuse(caption, QStringLiteral("数值超出范围。"));
        const double value = std::max(*x, 0.0);
        if (e.rule == Rule::Real) {
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

    // Receiver, receiver address and receiver phone make a record complete.
    void lock()
    {
        PreInputRecord &r = out_.record;
        QStringList missing;
        const auto need = [&](const char *field, bool column, const QString &caption) {
            if (!column)
                missing << QStringLiteral("表格没有%1列").arg(caption);
            else if (*field == 0)
                missing << caption + QStringLiteral("为空");
        };
        need(r.creceiver, present(Receiver), QStringLiteral("收件人"));
        need(r.creceiveraddr, present(ReceiverAddr) || present(ReceiverAddr1), QStringLiteral("收件地址"));
        need(r.cphone, present(ReceiverPhone), QStringLiteral("收件电话"));
        out_.incomplete = import_.incompleteByLayout_ || !missing.isEmpty();
        r.nlocked = out_.incomplete ? 1 : 0;
        if (out_.incomplete)
            out_.why = missing.join(QStringLiteral("、")) + QStringLiteral(",已锁定,不会上传。");
    }

    bool check(QString &value, int min, int max, const QString &caption, char *field, std::size_t width)
    {
        import_.checks_.clear();
        if (CheckText(value, min, max, caption, import_.checks_, field, width))
            return true;
        out_.kind = CKind::Refuse;
        out_.why = QStringLiteral("第%1行").arg(row_) + import_.checks_.lastText();
        return false;
    }

    bool refuse(const QString &caption, const QString &text)
    {
        out_.kind = CKind::Refuse;
        out_.why = QStringLiteral("第%1行[%2]").arg(row_).arg(caption) + text;
        return false;
    }

    bool skip(const QString &why)
    {
        out_.kind = CKind::Skip;
        out_.why = why;
        return false;
    }

    PreInputImport &import_;
    int row_;
    Converted &out_;
    QString v_[kHeaders];
    bool defaulted_[kHeaders] = {};
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

PreInputImport::Converted PreInputImport::Convert(int row, const QStringList &values)
{
    Converted out;
    Row(*this, row, out).run(values);
    return out;
}

SheetImportRules::RowResult PreInputImport::importRow(int row, const QStringList &values, SheetImportReport &report)
{
    Converted c = Convert(row, values);
    switch (c.kind) {
    case Converted::Kind::Skip:
        report.add(row, SheetImportReport::Kind::Skipped, c.what, c.why);
        return RowResult::Skipped;
    case Converted::Kind::Refuse:
        report.add(row, SheetImportReport::Kind::Refused, c.what, c.why);
        report.message = c.why;
        return RowResult::Refused;
    case Converted::Kind::Record:
        break;
    }
    if (file_.Append(&c.record) == 0) {
        report.message = QStringLiteral("第%1行写入失败:%2").arg(row).arg(file_.errorText());
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
