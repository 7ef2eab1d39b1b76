#include "print/InvoiceSheet.h"

#include "excel/ExcelSession.h"
#include "print/InvoiceLayout.h"
#include "print/InvoiceSource.h"
#include "print/PrintTemplate.h"
#include "storage/GoodsNameDictionary.h"
#include "text/Gbk.h"

#include <QDir>

#include <array>

namespace quarvel {

namespace {

using L = InvoiceLayout;

const QString kInvoiceKind = QStringLiteral("形式发票");

QString money(const QString &currency, double amount)
{
    return currency + QString::asprintf("%.2f", amount);
}

// The unit price in whole cents as the subtotal counts it.
qint64 cents(double price)
{
    const double hundred = 100.0 * price;
    return qint64(hundred < 0.01 ? hundred - 0.1 : hundred + 0.1);
}

struct GoodsLine {
    QString description;
    QString quantity;
    QString price;
    QString subtotal;
};

// The caption values of indexes 0..20 and 27 (26 follows from the goods).
std::array<QString, L::kCount> captionValues(const PreInputRecord &r, QDate today)
{
    const auto text = [](const auto &field) { return Gbk::field(field); };
    std::array<QString, L::kCount> v;
    v[L::Number] = text(r.cnum);
    v[L::Weight] = QString::asprintf("%.3fkg", r.fweight);
    if (text(r.csize).size() > 1)
        v[L::Size] = text(r.csize);
    v[L::ShipDate] = QString::asprintf("%02d/%02d/%d", r.ddate.month, r.ddate.day, r.ddate.year);
    v[L::PrintDate] = today.toString(QStringLiteral("MM/dd/yyyy"));
    const QString receiver[] = {text(r.creceivercorp), text(r.creceiver),       text(r.creceiveraddr),
                                text(r.cphone),        text(r.creceiverzip),    text(r.creceivercity),
                                text(r.creceiverprov), text(r.creceivercountry)};
    const QString sender[] = {text(r.csendercorp), text(r.csender),     text(r.csenderaddr), text(r.csenderphone),
                              text(r.csenderzip),  text(r.csendercity), text(r.csenderprov), text(r.csendercountry)};
    for (int i = 0; i < 8; ++i) {
        v[std::size_t(L::ReceiverCorp + i)] = receiver[i];
        v[std::size_t(L::SenderCorp + i)] = sender[i];
    }
    v[L::Pieces] = QString::number(r.npieces);
    return v;
}

void writeCaptions(ExcelSession &session, const L &layout, const std::array<QString, L::kCount> &values)
{
    for (int i = 0; i < L::kCount; ++i) {
        if (i >= L::Description && i <= L::Subtotal)
            continue;
        const L::Cell c = layout.cell(i);
        if (c.row < 1 || c.column < 1 || values[std::size_t(i)].isEmpty())
            continue;
        QString caption = session.GetCellText(c.row, c.column);
        const bool keepsText =
            i == L::Number || i == L::ReceiverPhone || i == L::ReceiverZip || i == L::SenderPhone || i == L::SenderZip;
        if (keepsText && caption.isEmpty())
            caption = QStringLiteral("'");
        session.SetCellText(c.row, c.column, caption + values[std::size_t(i)]);
    }
}

void writeGoodsLine(ExcelSession &session, const L &layout, int row, const GoodsLine &line, const QString &origin)
{
    const std::pair<int, QString> cells[] = {{L::Description, line.description},
                                             {L::Quantity, line.quantity},
                                             {L::UnitPrice, line.price},
                                             {L::Origin, origin},
                                             {L::Subtotal, line.subtotal}};
    for (const auto &[index, text] : cells) {
        const int column = layout.cell(index).column;
        if (column >= 1 && !text.isEmpty())
            session.SetCellText(row, column, text);
    }
}

} // namespace

QString InvoiceSheet::Description(const QString &text, int descriptionMode, const GoodsNameDictionary &dictionary)
{
    QString head = text;
    QString remark;
    const qsizetype open = text.indexOf(u'(');
    if (open >= 0 && text.indexOf(u')', open + 1) > open) {
        head = text.left(open);
        remark = text.mid(open);
    }
    // The blank before a remark stays where it was.
    qsizetype blanks = 0;
    while (blanks < head.size() && head.at(head.size() - 1 - blanks) == u' ')
        ++blanks;
    const QString words = head.chopped(blanks);
    if (descriptionMode == L::IntoChinese)
        head = dictionary.EnglishToChinese(words) + QString(blanks, u' ');
    else if (descriptionMode == L::IntoForeign)
        head = dictionary.ChineseToEnglish(words) + QString(blanks, u' ');
    return head + remark;
}

QString InvoiceSheet::KeptName(const QString &waybill)
{
    QString name;
    for (const QChar c : waybill) {
        const bool plain =
            c.unicode() >= 0x20 && !QStringLiteral("%/\\:*?\"<>|").contains(c) && !(name.isEmpty() && c == u'.');
        name += plain ? QString(c) : u'%' + QStringLiteral("%1").arg(c.unicode(), 2, 16, QChar(u'0')).toUpper();
    }
    return QStringLiteral("INVOICE_") + name + QStringLiteral(".xls");
}

QString InvoiceSheet::WorkPath(const QString &tempFolder, const QString &waybill)
{
    return QDir(tempFolder).filePath(KeptName(waybill));
}

void InvoiceSheet::Fill(ExcelSession &session, const Inputs &in, const InvoiceSource &source)
{
    const PreInputRecord &r = source.record;
    const QString currency = Gbk::field(r.ccurrency);
    const QString origin = Gbk::field(r.cgoodsorigin);
    std::array<QString, L::kCount> values = captionValues(r, in.today);
    const int first = in.layout.cell(L::Description).row;
    double total = 0;
    if (!source.goods.empty()) {
        for (std::size_t k = 0; k < source.goods.size(); ++k) {
            const GoodsRecord &g = source.goods[k];
            const double subtotal = double(cents(g.fprice)) * g.nquantity * 0.01;
            total += subtotal;
            if (first >= 1)
                writeGoodsLine(session, in.layout, first + int(k),
                               {Description(Gbk::field(g.cname), in.layout.descriptionMode(), in.dictionary),
                                QString::number(g.nquantity), money(currency, g.fprice), money(currency, subtotal)},
                               origin);
        }
    } else {
        // The record's own goods are the one line of the table, so they take
        // its first row like the first of several goods lines would.
        total = r.iprice * double(r.nquantity) * 0.01;
        if (first >= 1)
            writeGoodsLine(session, in.layout, first,
                           {Description(Gbk::field(r.cgoods), in.layout.descriptionMode(), in.dictionary),
                            QString::number(r.nquantity), money(currency, r.iprice * 0.01), money(currency, total)},
                           origin);
    }
    values[L::Total] = money(currency, total);
    writeCaptions(session, in.layout, values);
}

PrintOutcome InvoiceSheet::Output(const SheetPrinter::Setup &setup, const Inputs &inputs, const InvoiceSource &source,
                                  Mode mode)
{
    const QString waybill = Gbk::field(source.record.cnum);
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("Invoice");
    // A printed invoice has a working file of its own: the one of its number
    // may be an invoice the operator saved before, which printing must not take.
    document.workPath = mode == Mode::KeepFile
                            ? WorkPath(setup.tempFolder, waybill)
                            : SheetPrinter::WorkPath(setup.tempFolder, QStringLiteral("INVOICE_PRINT"));
    document.templateBytes = inputs.invoiceTemplate.spreadsheet();
    document.title = kInvoiceKind + u'_' + waybill;
    document.kind = kInvoiceKind;
    document.waybill = waybill;
    document.templateName = inputs.invoiceTemplate.name();
    document.print = mode == Mode::Print;
    document.keepWorkbook = mode == Mode::KeepFile;
    return SheetPrinter(setup).Run(document, [&](ExcelSession &s) { Fill(s, inputs, source); });
}

} // namespace quarvel
