#include "contacts/ContactImport.h"

#include "storage/ContactFile.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <cstring>

namespace quarvel {

namespace {

using Kind = ContactImport::Converted::Kind;

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
        {u"编码", 80}, {u"姓名", 80}, {u"电话", 110}, {u"单位", 200},     {u"地址", 200},    {u"国家", 80},
        {u"省州", 80}, {u"城市", 80}, {u"邮编", 80},  {u"电子邮箱", 100}, {u"短信电话", 90}, {u"备注", 100},
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

QString ContactImport::checkHeader(const ImportHeader &header)
{
    for (int h = 0; h < kHeaders; ++h)
        present_[h] = header.has(h);
    hasCode_ = header.has(Code);
    if (header.has(Name) && header.has(Phone) && header.has(Address))
        return QString();
    return SheetImport::MissingColumnsText({QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("地址")});
}

QString ContactImport::finishedText(int written) const
{
    return QStringLiteral("本次导入共成功写入%1条名录。").arg(written);
}

bool ContactImport::check(int row, QString &value, int min, int max, int header, char *field, std::size_t width,
                          Converted &out)
{
    checks_.clear();
    if (CheckText(value, min, max, Columns().at(header).caption(), checks_, field, width))
        return true;
    out.kind = Kind::Refuse;
    out.why = QStringLiteral("第%1行").arg(row) + checks_.lastText();
    return false;
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

ContactImport::Converted ContactImport::Convert(int row, const QStringList &cells)
{
    Converted out;
    QStringList v(kHeaders);
    for (int h = 0; h < kHeaders && h < cells.size(); ++h) {
        // A column the sheet does not have has no value, whatever its caller passed.
        if (!present_[h])
            continue;
        v[h] = SheetImport::CellText(cells.at(h)).trimmed();
        if (v[h].size() >= SheetImport::kLongText) {
            out.changes.append({Columns().at(h).caption(), SheetImport::LongTextNote(v[h].size())});
            v[h].clear();
        }
    }
    for (const Header h : {Name, Phone, Address}) {
        if (!v[h].isEmpty())
            continue;
        out.why = QStringLiteral("缺少") + Columns().at(h).caption();
        return out;
    }
    ContactRecord &r = out.record;
    if (!check(row, v[Name], 1, 30, Name, r.cname, sizeof r.cname, out))
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
    // Codes are kept in lower case, as the page saves them, so that the
    // look-up by code finds them.
    v[Code] = v[Code].toLower();
    if (hasCode_ && !check(row, v[Code], 0, 11, Code, r.ccode, sizeof r.ccode, out))
        return out;
    if (v[Code].isEmpty()) {
        Gbk::setField(r.ccode, file_.MakeUniqueCode(v[Name]));
    } else if (file_.IsCodeTaken(v[Code], 0)) {
        out.why = QStringLiteral("编码%1已被使用").arg(v[Code]);
        return out;
    }
    if (!check(row, v[Phone], 1, 62, Phone, r.cphone, sizeof r.cphone, out) ||
        !check(row, v[Address], 1, 126, Address, r.caddr, sizeof r.caddr, out))
        return out;
    char *base = reinterpret_cast<char *>(&r);
    for (const Optional &o : kOptional)
        if (present_[o.header] && !check(row, v[o.header], 0, o.max, o.header, base + o.offset, o.width, out))
            return out;
    out.kind = Kind::Record;
    return out;
}

SheetImportRules::RowResult ContactImport::importRow(int row, const QStringList &values, SheetImportReport &report)
{
    Converted c = Convert(row, values);
    const QString name = values.value(Name).trimmed();
    switch (c.kind) {
    case Kind::Skip:
        report.add(row, SheetImportReport::Kind::Skipped, name, c.why);
        return RowResult::Skipped;
    case Kind::Refuse:
        report.add(row, SheetImportReport::Kind::Refused, name, c.why);
        report.message = c.why;
        return RowResult::Refused;
    case Kind::Record:
        break;
    }
    if (file_.Append(&c.record) == 0) {
        report.message = QStringLiteral("第%1行写入失败:%2").arg(row).arg(file_.errorText());
        return RowResult::Failed;
    }
    namesWritten_.insert(QByteArray(c.record.cname), row);
    ++report.written;
    for (const auto &[header, note] : c.changes)
        report.add(row, SheetImportReport::Kind::Changed, header, note);
    if (written_)
        written_(c.record);
    return RowResult::Written;
}

} // namespace quarvel
