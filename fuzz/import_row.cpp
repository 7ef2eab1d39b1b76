// One spreadsheet row through the import rules of the pre-entry records and
// of the address book: cells as texts in, a record, a skip or a refusal out.
// The first two bytes choose which header columns the sheet has; the rest are
// the cells, separated by tabs (UTF-8, invalid bytes as U+FFFD).
#include "app/ProgramSettings.h"
#include "contacts/ContactImport.h"
#include "net/BaseData.h"
#include "preinput/PreInputImport.h"
#include "storage/ContactFile.h"
#include "storage/PreInputFile.h"
#include "text/Gbk.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using namespace quarvel;

struct Files {
    QTemporaryDir dir;
    PreInputFile records;
    ContactFile contacts;
    BaseData base;
    ProgramSettings settings;

    Files()
    {
        records.OpenRecords(dir.filePath(QStringLiteral("recinput.dat")));
        contacts.OpenRecords(dir.filePath(QStringLiteral("rsdata.dat")));
        const QByteArray text = "xx\nEMB\nEMS\t" + Gbk::fromUnicode(QStringLiteral("特快专递")) +
                                "\n\nEME\n\nGPB\n0,1\tBJ\tBEIJING\t100000\t" +
                                Gbk::fromUnicode(QStringLiteral("北京市")) + "\t" +
                                Gbk::fromUnicode(QStringLiteral("中国")) + "\n2,12\tUS\tAMERICA\t\tUSA\tUSA\n\nGPE\n";
        base.parse(text);
        settings.senderName = QStringLiteral("默认发件人");
    }
};

// Every text field of a record keeps its terminating zero.
template <class R> bool terminated(const R &record, std::span<const RecordField> fields)
{
    for (const RecordField &f : fields) {
        if (f.kind != RecordField::Kind::Text)
            continue;
        const char *field = reinterpret_cast<const char *>(&record) + f.offset;
        if (::strnlen(field, f.size) == f.size)
            return false;
    }
    return true;
}

void preInput(Files &files, std::uint8_t layout, const QStringList &cells)
{
    PreInputImport rules(files.records, {files.base, files.settings, 7, QDate(2024, 2, 29)});
    QList<bool> present(PreInputImport::kHeaders);
    for (int h = 0; h < PreInputImport::kHeaders; ++h)
        present[h] = h < 3 || ((layout >> (h % 8)) & 1) != 0;
    rules.setPresent(present);
    const PreInputImport::Converted c = rules.Convert(2, cells);
    if (c.kind == PreInputImport::Converted::Kind::Refuse && !c.why.startsWith(QStringLiteral("第2行[")))
        __builtin_trap();
    if (c.kind != PreInputImport::Converted::Kind::Record)
        return;
    const PreInputRecord &r = c.record;
    if (!terminated(r, PreInputRecord::fields()) || ::strlen(r.cnum) < 7 || r.npieces < 1 || r.nquantity < 1 ||
        r.fweight < 0 || r.iprice < 0 || r.ideclare < 0 || r.nitemtype > 2 || r.npayway > 2 || r.nlanguage > 2 ||
        r.fweighed != r.fweight || (r.nlocked != 0) != c.incomplete ||
        (!c.incomplete && (r.creceiver[0] == 0 || r.cphone[0] == 0 || r.creceiveraddr[0] == 0)))
        __builtin_trap();
}

void contact(Files &files, std::uint8_t layout, const QStringList &cells)
{
    ContactImport rules(files.contacts);
    QList<SheetCell> header;
    for (int h = 0; h < ContactImport::kHeaders; ++h)
        header.append((layout >> (h % 8)) & 1 || h == ContactImport::Name || h == ContactImport::Phone ||
                              h == ContactImport::Address
                          ? SheetCell::Text(ContactImport::Columns().at(h).caption())
                          : SheetCell());
    if (!rules.checkHeader(ImportHeader(ContactImport::Columns(), header)).isEmpty())
        __builtin_trap();
    const ContactImport::Converted c = rules.Convert(2, cells);
    if (c.kind != ContactImport::Converted::Kind::Record)
        return;
    const ContactRecord &r = c.record;
    if (!terminated(r, ContactRecord::fields()) || r.cname[0] == 0 || r.cphone[0] == 0 || r.caddr[0] == 0 ||
        r.ccode[0] == 0)
        __builtin_trap();
    // Codes are kept in lower case; the second byte of a GBK character may
    // look like an ASCII capital and is passed over.
    for (const char *p = r.ccode; *p; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80 && p[1])
            ++p;
        else if (*p >= 'A' && *p <= 'Z')
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Files files;
    if (size < 2)
        return 0;
    const QStringList cells =
        QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2)).split(u'\t');
    if (data[0] & 0x80)
        contact(files, data[1], cells);
    else
        preInput(files, data[1], cells);
    return 0;
}
