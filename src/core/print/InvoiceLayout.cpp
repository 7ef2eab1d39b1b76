#include "print/InvoiceLayout.h"

#include "excel/ExcelSession.h"
#include "net/ReplyText.h"
#include "print/PrintTemplate.h"
#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

constexpr std::array<const char16_t *, InvoiceLayout::kCount> kNames{
    u"运单号",     u"快件重量",   u"快件尺寸",   u"寄件日期",   u"打印日期",   u"收件人单位", u"收件人姓名",
    u"收件人地址", u"收件人电话", u"收件人邮编", u"收件人城市", u"收件人省州", u"收件人国家", u"寄件人单位",
    u"寄件人姓名", u"寄件人地址", u"寄件人电话", u"寄件人邮编", u"寄件人城市", u"寄件人省州", u"寄件人国家",
    u"物品描述",   u"物品数量",   u"物品单价",   u"原产地",     u"小计金额",   u"总计金额",   u"快件件数",
};

bool highByte(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

// Upper-cases the single-byte letters only: a double-byte character's
// second byte may fall in a..z and must stay as it is.
QByteArray upperAscii(const QByteArray &line)
{
    QByteArray out = line;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (highByte(out[i]))
            ++i;
        else if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = char(out[i] - 32);
    }
    return out;
}

// Whether the GBK text holds the name starting on a character boundary.
bool containsName(const QByteArray &text, const QByteArray &name)
{
    for (qsizetype i = 0; i + name.size() <= text.size(); ++i) {
        if (std::memcmp(text.constData() + i, name.constData(), std::size_t(name.size())) == 0)
            return true;
        if (highByte(text[i]))
            ++i;
    }
    return false;
}

} // namespace

QString InvoiceLayout::Name(int index)
{
    return index >= 0 && index < kCount ? QString::fromUtf16(kNames[std::size_t(index)]) : QString();
}

QByteArray InvoiceLayout::NameGbk(int index)
{
    static const std::array<QByteArray, kCount> gbk = [] {
        std::array<QByteArray, kCount> names;
        for (int i = 0; i < kCount; ++i)
            names[std::size_t(i)] = Gbk::fromUnicode(Name(i));
        return names;
    }();
    return index >= 0 && index < kCount ? gbk[std::size_t(index)] : QByteArray();
}

InvoiceLayout::Cell InvoiceLayout::cell(int index) const
{
    return index >= 0 && index < kCount ? cells_[std::size_t(index)] : Cell{};
}

void InvoiceLayout::Rebuild(const PrintTemplate *invoiceTemplate)
{
    if (!invoiceTemplate)
        return;
    descriptionMode_ = IntoForeign;
    valid_ = invoiceTemplate->HasSpreadsheet() && invoiceTemplate->HasDefinitionText();
    if (!valid_)
        return;
    cells_.fill({});
    const QByteArray &text = invoiceTemplate->definitionText();
    static const QByteArray asEntered = "\r\n" + NameGbk(Description);
    static const QByteArray chinese = "\r\n" + Gbk::fromUnicode(QStringLiteral("中文物品描述"));
    static const QByteArray foreign = "\r\n" + Gbk::fromUnicode(QStringLiteral("外文物品描述"));
    if (text.contains(asEntered))
        descriptionMode_ = AsEntered;
    else if (text.contains(chinese))
        descriptionMode_ = IntoChinese;
    else if (text.contains(foreign))
        descriptionMode_ = IntoForeign;

    qsizetype at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == '\r' || text[at] == '\n' || text[at] == ' '))
            ++at;
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        const qsizetype length = end - at;
        if (length > 10 && length < 254 && text[at] != '#')
            readLine(text.mid(at, length));
        at = end + 1;
    }
}

void InvoiceLayout::readLine(const QByteArray &original)
{
    const qsizetype eq = original.indexOf('=');
    if (eq < 0)
        return;
    const QByteArray line = upperAscii(original);
    if (eq + 1 >= line.size() || line[eq + 1] < 'A' || line[eq + 1] > 'Z')
        return;
    const int column = line[eq + 1] - 64;
    const int row = ReplyText::integer(line, eq + 2);
    if (row < 1 || row > ExcelSession::kMaxRows)
        return;
    for (int i = 0; i < kCount; ++i)
        if (containsName(line, NameGbk(i))) {
            cells_[std::size_t(i)] = {row, column};
            return;
        }
}

} // namespace quarvel
