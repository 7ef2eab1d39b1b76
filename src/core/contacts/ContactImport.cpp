#include "contacts/ContactImport.h"

#include "excel/SheetValue.h"
#include "storage/ContactFile.h"
#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

using Kind = ContactImport::Converted::Kind;
using Type = SheetValue::Type;

struct Optional {
    ContactImport::Header header;
    int max;
    std::size_t offset;
    std::size_t width;
};

#define OPTIONAL_FIELD(h, max, f)                                                                                      \
    Optional                                                                                                           \
    {                                                                                                                  \
        ContactImport::h, max, offsetof(ContactRecord, f), sizeof(ContactRecord::f)                                    \
    }

// The fields taken only from a column of their own, in the order they are checked.
const Optional kOptional[] = {
    OPTIONAL_FIELD(Corp, 126, ccorp), OPTIONAL_FIELD(Country, 62, ccountry), OPTIONAL_FIELD(Province, 30, cprov),
    OPTIONAL_FIELD(City, 30, ccity),  OPTIONAL_FIELD(Zip, 15, czip),         OPTIONAL_FIELD(Mail, 62, cmail),
    OPTIONAL_FIELD(Sms, 22, csms),    OPTIONAL_FIELD(Remark, 254, cremark),
};

#undef OPTIONAL_FIELD

} // namespace

const QList<ImportColumn> &ContactImport::Columns()
{
    static const QList<ImportColumn> columns{
        {u"编码", 80, Type::Digits, u"代码|客户编码|编号"},
        {u"姓名", 80, Type::Text, u"名称|联系人|收件人|收货人|收货人姓名|收件人姓名|客户名称|客户姓名|名字", true},
        {u"电话", 110, Type::Digits, u"手机|联系电话|手机号码|手机号|电话号码|收件电话|收货人电话|收货人手机|联系方式",
         true},
        {u"单位", 200, Type::Text, u"公司|单位名称|公司名称|收件单位"},
        {u"地址", 200, Type::Text, u"详细地址|收货地址|收件地址|联系地址|通讯地址|收货人地址", true},
        {u"国家", 80, Type::Text, u"国家地区|收件国家"},
        {u"省州", 80, Type::Text, u"省份|省|收件省州|收货省份"},
        {u"城市", 80, Type::Text, u"市|收件城市|收货城市"},
        {u"邮编", 80, Type::Digits, u"邮政编码|收件邮编"},
        {u"电子邮箱", 100, Type::Text, u"邮箱|email|e-mail|电邮|电子邮件"},
        {u"短信电话", 90, Type::Digits, u"短信|短信号码"},
        {u"备注", 100, Type::Text, u"备注信息"},
    };
    return columns;
}

QList<ImportColumn> ContactImport::ExportColumns()
{
    return Columns().mid(0, Remark);
}

ContactImport::ContactImport(ContactFile &file) : file_(file), present_(kHeaders, true)
{
}

QString ContactImport::missingColumnsText() const
{
    return SheetImport::MissingColumnsText({QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")});
}

void ContactImport::takeHeader(const ImportHeader &header)
{
    for (int h = 0; h < kHeaders; ++h)
        present_[h] = header.has(h);
    hasCode_ = header.has(Code);
}

QString ContactImport::finishedText(int written) const
{
    return QStringLiteral("本次导入共成功写入%1条名录。").arg(written);
}

bool ContactImport::nameStored(const QByteArray &name)
{
    if (!storedKnown_) {
        for (int i = 0; i < file_.GetCount(); ++i) {
            const char *stored = file_.At(i)->cname;
            namesStored_.insert(QByteArray(stored, qsizetype(::strnlen(stored, sizeof(ContactRecord::cname)))));
        }
        storedKnown_ = true;
    }
    return namesStored_.contains(name);
}

// The cells as the fields read them; a cell that cannot be read skips the row.
bool ContactImport::take(const ImportRow &row, QString (&v)[kHeaders], Converted &out)
{
    out.what = SheetValue::Quoted(row.text(Name).text.trimmed());
    for (int h = 0; h < kHeaders; ++h) {
        if (!present_[h])
            continue;
        SheetValue::Text t = row.text(h);
        if (!t.problem.isEmpty()) {
            out.why = t.problem;
            return false;
        }
        v[h] = t.text.trimmed();
    }
    for (const Header h : {Name, Phone, Address})
        if (v[h].isEmpty()) {
            out.why = QStringLiteral("缺少") + Columns().at(h).caption();
            return false;
        }
    return true;
}

// Codes are kept in lower case, as the page saves them, so that the look-up
// by code finds them; a row without one gets one made from the name.
bool ContactImport::takeCode(QString &code, const QString &name, Converted &out)
{
    ContactRecord &r = out.record;
    code = code.toLower();
    if (hasCode_ && !checks_.Into(code, 0, 11, Columns().at(Code).caption(), r.ccode, sizeof r.ccode, out.why))
        return false;
    if (code.isEmpty()) {
        Gbk::setField(r.ccode, file_.MakeUniqueCode(name));
        return true;
    }
    if (!file_.IsCodeTaken(code, 0))
        return true;
    out.why = QStringLiteral("编码%1已被使用").arg(code);
    return false;
}

ContactImport::Converted ContactImport::Convert(const ImportRow &row)
{
    Converted out;
    QString v[kHeaders];
    if (!take(row, v, out))
        return out;
    ContactRecord &r = out.record;
    if (!checks_.Into(v[Name], 1, 30, Columns().at(Name).caption(), r.cname, sizeof r.cname, out.why))
        return out;
    const QByteArray name(r.cname);
    if (const int earlier = namesWritten_.value(name, 0)) {
        out.why = QStringLiteral("与表中第%1行同名").arg(earlier);
        return out;
    }
    if (nameStored(name)) {
        out.why = QStringLiteral("名录中已有此姓名");
        return out;
    }
    if (!takeCode(v[Code], v[Name], out) ||
        !checks_.Into(v[Phone], 1, 62, Columns().at(Phone).caption(), r.cphone, sizeof r.cphone, out.why) ||
        !checks_.Into(v[Address], 1, 126, Columns().at(Address).caption(), r.caddr, sizeof r.caddr, out.why))
        return out;
    char *base = reinterpret_cast<char *>(&r);
    for (const Optional &o : kOptional)
        if (present_[o.header] &&
            !checks_.Into(v[o.header], 0, o.max, Columns().at(o.header).caption(), base + o.offset, o.width, out.why))
            return out;
    out.kind = Kind::Record;
    return out;
}

SheetImportRules::RowResult ContactImport::importRow(int row, const ImportRow &cells, SheetImportReport &report)
{
    Converted c = Convert(cells);
    if (c.kind == Kind::Skip) {
        report.add(row, SheetImportReport::Kind::Skipped, c.what, c.why);
        return RowResult::Skipped;
    }
    if (file_.Append(&c.record) == 0) {
        report.message = QStringLiteral("第%1行写入失败:%2\r\n此前写入的%3条名录已保存。")
                             .arg(row)
                             .arg(file_.errorText())
                             .arg(report.written);
        return RowResult::Failed;
    }
    namesWritten_.insert(QByteArray(c.record.cname), row);
    ++report.written;
    if (written_)
        written_(c.record);
    return RowResult::Written;
}

} // namespace quarvel
