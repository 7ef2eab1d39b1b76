#include "query/ShipmentInfoPage.h"

#include "net/ReplyText.h"
#include "query/ServerList.h"
#include "text/ControlText.h"
#include "text/Gbk.h"

#include <QStringList>

namespace quarvel {

namespace {

using Line = ShipmentInfoPage::Line;

const char *const kSkeleton[] = {
    "<HTML>",
    "<HEAD>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
    "<SCRIPT Language='JavaScript'>",
    "function DoNothing(){return false;}",
    "document.oncontextmenu=DoNothing;",
    "</SCRIPT>",
    "<STYLE>",
    "body{font-size:14px ;line-height:16px;}",
    "table{border-style:solid; border-width:0px; padding:0px; cellspacing:1}",
    "td{font-size:14px ;line-height:16px;}",
    ".nm{background-color:#F8f8F8;text-align:right}",
    ".fts{font-size:12px ;line-height:14px;background-color:#FFFFFF;}",
    ".ftm{font-size:13px ;line-height:15px;}",
    ".ftb{font-size:16px ;line-height:18px;}",
    ".ftg{font-size:13px ;color:#808080;}",
    ".tit{font-family:宋体;font-size:14.2px; font-weight:500;line-height:18px;}",
    "</STYLE></HEAD>",
    "<BODY topmargin=1 leftmargin=1 rightmargin=1>",
    "</BODY>",
    "</HTML>",
};

const QString kBodyOpen = QStringLiteral("<BODY topmargin=1 leftmargin=1 rightmargin=1>");

// A time that names a year after 2000 is a time that happened.
bool isTime(const QString &text)
{
    return ReplyText::integer(text.toUtf8()) > 2000;
}

QString money(double value)
{
    return QString::asprintf("%10.2f", value);
}

QString hundredths(int value)
{
    return QString::asprintf("%.2f", value / 100.0);
}

void addIf(QList<Line> &lines, bool shown, Line::Kind kind, const char16_t *label, const QString &value)
{
    if (shown)
        lines.append({kind, QString::fromUtf16(label), value});
}

void addText(QList<Line> &lines, const char16_t *label, const QString &value, Line::Kind kind = Line::Field)
{
    addIf(lines, !value.isEmpty(), kind, label, value);
}

void addParty(QList<Line> &lines, const char16_t *heading, const ShipmentInfo::Party &p)
{
    lines.append({Line::Heading, QString::fromUtf16(heading), {}});
    addText(lines, u"姓名", p.name);
    addText(lines, u"单位", p.unit);
    addText(lines, u"地址", p.address, Line::Address);
    addText(lines, u"电话", p.phone);
    addText(lines, u"短信号码", p.sms);
    addText(lines, u"E-Mail", p.email);
    addText(lines, u"邮编", p.postcode);
    addText(lines, u"国家", p.country);
    addText(lines, u"省州", p.province);
    addText(lines, u"城市", p.city);
}

void addCharges(QList<Line> &lines, const ShipmentInfo &s)
{
    if (s.invoiceId <= 0 && s.feeId <= 0)
        return;
    QString heading = QStringLiteral("费用结算:");
    if (s.invoiceId > 0)
        heading += QStringLiteral("已开票. ");
    if (s.feeId > 0)
        heading += QStringLiteral("已核收. ");
    lines.append({Line::Heading, heading, {}});
    lines.append({Line::Field, QStringLiteral("费用总计"), money(s.amount)});
    lines.append({Line::Field, QStringLiteral("基础运费"), money(s.baseFreight)});
    const struct {
        const char16_t *label;
        double value;
    } parts[] = {{u"燃油附加", s.fuelSurcharge}, {u"报关费", s.customsFee}, {u"提货费", s.pickUpFee},
                 {u"送货费", s.deliveryFee},     {u"保险费", s.insurance},  {u"包装费", s.packingFee},
                 {u"杂费", s.otherFees}};
    for (const auto &p : parts)
        addIf(lines, p.value > 0.001, Line::Field, p.label, money(p.value));
}

void addGoods(QList<Line> &lines, const ShipmentInfo &s)
{
    if (s.goods.isEmpty())
        return;
    lines.append({Line::Heading, QStringLiteral("物品相关信息"), {}});
    lines.append({Line::Field, QStringLiteral("品名"), s.goods});
    addIf(lines, s.quantity > 0, Line::Field, u"数量", QString::number(s.quantity));
    addIf(lines, s.unitPrice > 0, Line::Field, u"价格", hundredths(s.unitPrice));
    addIf(lines, s.declaredValue > 0, Line::Field, u"声明价", hundredths(s.declaredValue));
    addIf(lines, s.insuredValue > 0, Line::Field, u"投保价", hundredths(s.insuredValue));
    addText(lines, u"包装", s.packaging);
    addText(lines, u"托运备注", s.consignmentNote);
}

QString htmlRow(const Line &line, const QByteArray &host)
{
    using E = ShipmentInfoPage;
    switch (line.kind) {
    case Line::Waybill:
        return QStringLiteral("<tr><td width=60 class='nm'>") + line.label +
               QStringLiteral(":</td><td><font style='font-family: Arial Black;font-size:16px'><a target='_blank' "
                              "href='") +
               E::Escape(E::TrackingUrl(host, line.value)) + QStringLiteral("'>") + E::Escape(line.value) +
               QStringLiteral("</a></font></td></tr>");
    case Line::Heading:
        return QStringLiteral("<tr><td class='nm'></td><td class='ftm'><b>") + E::Escape(line.label) +
               QStringLiteral("</b></td></tr>");
    case Line::Address:
        return QStringLiteral("<tr><td class='nm' valign='top'>") + line.label + QStringLiteral(":</td><td>") +
               E::Escape(line.value) + QStringLiteral("</td></tr>");
    case Line::Field:
        break;
    }
    return QStringLiteral("<tr><td class='nm'>") + line.label + QStringLiteral(":</td><td>") + E::Escape(line.value) +
           QStringLiteral("</td></tr>");
}

} // namespace

QString ShipmentInfoPage::Title(const ShipmentInfo &info)
{
    return QStringLiteral("№ %1 [ID:%2] - 状态:%3")
        .arg(info.waybill)
        .arg(info.recordId)
        .arg(ServerList::StateName(info.state));
}

QList<Line> ShipmentInfoPage::Lines(const ShipmentInfo &s)
{
    QList<Line> lines;
    lines.append({Line::Waybill, QStringLiteral("运单号"), s.waybill});
    lines.append({Line::Field, QStringLiteral("录单时间"), s.entryTime});
    addIf(lines, isTime(s.dispatchTime), Line::Field, u"发货时间", s.dispatchTime);
    if (isTime(s.deliveryTime)) {
        lines.append({Line::Field, QStringLiteral("送达日期"), s.deliveryTime});
        addIf(lines, !s.signer.isEmpty() && s.signer != QLatin1String("OK."), Line::Field, u"签收人", s.signer);
    }
    addCharges(lines, s);
    addGoods(lines, s);
    addParty(lines, u"收件人相关信息", s.receiver);
    addParty(lines, u"发件人相关信息", s.sender);
    return lines;
}

QString ShipmentInfoPage::TrackingUrl(const QByteArray &host, const QString &waybill)
{
    return QStringLiteral("http://") + QString::fromLatin1(host) +
           QStringLiteral("/cgi-bin/VEdiz.dll?TarvoTrack&cno=") +
           QString::fromLatin1(Gbk::fromUnicode(waybill).toPercentEncoding());
}

QString ShipmentInfoPage::Body(const ShipmentInfo &info, const QByteArray &host)
{
    QString body = QStringLiteral("<table width=100%>");
    for (const Line &line : Lines(info))
        body += htmlRow(line, host);
    return body + QStringLiteral("</table>");
}

QString ShipmentInfoPage::Skeleton()
{
    QStringList lines;
    for (const char *line : kSkeleton)
        lines.append(QString::fromUtf8(line));
    return lines.join(QStringLiteral("\r\n"));
}

QString ShipmentInfoPage::Document(const QString &body)
{
    QString page = Skeleton();
    const qsizetype at = page.indexOf(kBodyOpen) + kBodyOpen.size();
    return page.insert(at, body);
}

QString ShipmentInfoPage::PlainText(const ShipmentInfo &info, const QByteArray &host)
{
    QString text = ControlText::Escaped(Title(info)) + u'\n';
    for (const Line &line : Lines(info)) {
        switch (line.kind) {
        case Line::Heading:
            text += u'[' + line.label + QStringLiteral("]\n");
            break;
        case Line::Waybill:
            text += line.label + QStringLiteral(": ") + ControlText::Escaped(line.value) + QStringLiteral("  ") +
                    TrackingUrl(host, line.value) + u'\n';
            break;
        case Line::Field:
        case Line::Address:
            text += line.label + QStringLiteral(": ") + ControlText::Escaped(line.value) + u'\n';
            break;
        }
    }
    return text;
}

QString ShipmentInfoPage::Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        case u'\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace quarvel
