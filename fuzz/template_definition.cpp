// A template's definition text as an operator or a server may supply it:
// the list section, the numeric keys, the named sections and the invoice
// layout's walk over every line, with the cells they give checked against
// the sheet's bounds.
#include "print/InvoiceLayout.h"
#include "print/PrintTemplate.h"
#include "text/Gbk.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace quarvel;
    const QByteArray text(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    PrintTemplate t(TemplateKind::Invoice, QStringLiteral("fuzz"));
    t.SetContent(text, QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
    for (const TemplateCell &cell : t.listCells()) {
        if (cell.row < 1 || cell.row > 65536 || cell.column < 1 || cell.column > 256 || cell.name.isEmpty() ||
            cell.name.size() > PrintTemplate::kMaxCellNameBytes)
            __builtin_trap();
        int column = 0;
        int row = 0;
        if (!t.FindListCell(cell.name, column, row))
            __builtin_trap();
    }
    static const QByteArray keys[] = {Gbk::fromUnicode(QStringLiteral("横向标签个数")),
                                      Gbk::fromUnicode(QStringLiteral("全部转换大写")),
                                      Gbk::fromUnicode(QStringLiteral("发件人定义"))};
    for (const QByteArray &key : keys)
        (void)t.GetNumber(key);
    (void)t.GetNumber(text.left(4));
    (void)t.GetSection(keys[2]);
    (void)t.GetSection(text.left(3));
    InvoiceLayout layout;
    layout.Rebuild(&t);
    if (!layout.valid() && !text.isEmpty())
        __builtin_trap();
    for (int i = 0; i <= InvoiceLayout::kCount; ++i) {
        const InvoiceLayout::Cell c = layout.cell(i);
        if (c.row < 0 || c.row > 65536 || c.column < 0 || c.column > 26 || (c.row == 0) != (c.column == 0))
            __builtin_trap();
    }
    return 0;
}
