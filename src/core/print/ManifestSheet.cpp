#include "print/ManifestSheet.h"

#include "excel/ExcelSession.h"
#include "print/DocumentPrinter.h"
#include "print/PrintTemplate.h"
#include "text/Gbk.h"

#include <QVariant>

#include <algorithm>
#include <array>

namespace quarvel {

namespace {

const QString kManifestKind = QStringLiteral("交接单");

enum Detail { Index, Number, Destination, Kind, Pieces, Weight, kDetails };
constexpr std::array<const char16_t *, kDetails> kDetailNames{u"明细序号",     u"明细运单号", u"明细目的地",
                                                              u"明细快递类别", u"明细件数",   u"明细重量"};

struct Cell {
    int column = 0;
    int row = 0;
};

Cell cellOf(const PrintTemplate &t, const QString &name)
{
    Cell c;
    if (!t.FindListCell(Gbk::fromUnicode(name), c.column, c.row) || c.column < 1 || c.row < 1)
        return {};
    return c;
}

void writeNamed(ExcelSession &session, const PrintTemplate &t, const QString &name, const QString &text)
{
    if (const Cell c = cellOf(t, name); c.row > 0)
        session.SetCellText(c.row, c.column, text);
}

// Where the detail rows go: the row of the first detail cell the template
// places, and each placed detail's column.
struct DetailLayout {
    int row = 0;
    std::array<int, kDetails> columns{};
    int first = 0;
    int last = 0;
};

DetailLayout layoutOf(const PrintTemplate &t)
{
    DetailLayout l;
    for (int i = 0; i < kDetails; ++i) {
        const Cell c = cellOf(t, QString::fromUtf16(kDetailNames[std::size_t(i)]));
        if (c.row < 1)
            continue;
        l.row = l.row > 0 ? std::min(l.row, c.row) : c.row;
        l.columns[std::size_t(i)] = c.column;
        l.first = l.first > 0 ? std::min(l.first, c.column) : c.column;
        l.last = std::max(l.last, c.column);
    }
    return l;
}

QList<QVariant> rowOf(const DetailLayout &l, const std::array<QString, kDetails> &values)
{
    QList<QVariant> row(l.last - l.first + 1);
    for (int i = 0; i < kDetails; ++i)
        if (const int column = l.columns[std::size_t(i)]; column > 0)
            row[column - l.first] = values[std::size_t(i)];
    return row;
}

QString weightText(double kg)
{
    return QString::number(kg, 'f', 3);
}

void writeDetails(ExcelSession &session, const DetailLayout &l, const ManifestSheet::Inputs &in)
{
    const std::vector<DayReport::Shipment> sent = in.report.Uploaded();
    QList<QList<QVariant>> rows;
    qint64 pieces = 0;
    double weight = 0;
    for (const DayReport::Shipment &s : sent) {
        rows.append(rowOf(l, {QString::number(rows.size() + 1), s.number, s.destination, s.expressKind,
                              QString::number(s.pieces), weightText(s.weight)}));
        pieces += s.pieces;
        weight += s.weight;
    }
    rows.append(rowOf(l, {QStringLiteral("合计"), QStringLiteral("%1 票").arg(sent.size()), QString(), QString(),
                          QString::number(pieces), weightText(weight)}));
    // A blank row, then the signature lines under the list, however long it is.
    rows.append(QList<QVariant>(l.last - l.first + 1));
    const QString signatures = in.manifestTemplate.GetSection(Gbk::fromUnicode(QStringLiteral("签字定义")));
    for (const QString &line : signatures.split(u'\n', Qt::SkipEmptyParts)) {
        QList<QVariant> row(l.last - l.first + 1);
        row[0] = line.trimmed();
        rows.append(row);
    }
    session.SetCells(l.row, l.first, rows);
}

} // namespace

QString ManifestSheet::Title(QDate day)
{
    return kManifestKind + u'_' + day.toString(Qt::ISODate);
}

void ManifestSheet::Fill(ExcelSession &session, const Inputs &in)
{
    const PrintTemplate &t = in.manifestTemplate;
    const DayReport::Tally &sent = in.report.uploaded();
    writeNamed(session, t, QStringLiteral("交接日期"), in.report.date().toString(Qt::ISODate));
    writeNamed(session, t, QStringLiteral("账号"), in.account);
    writeNamed(session, t, QStringLiteral("打印时间"), in.printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    writeNamed(session, t, QStringLiteral("合计票数"), QString::number(sent.count));
    writeNamed(session, t, QStringLiteral("合计件数"), QString::number(sent.pieces));
    writeNamed(session, t, QStringLiteral("合计重量"), weightText(sent.weight));
    const DetailLayout layout = layoutOf(t);
    if (layout.row > 0)
        writeDetails(session, layout, in);
}

PrintOutcome ManifestSheet::Print(const SheetPrinter::Setup &setup, const Inputs &in)
{
    if (in.report.uploaded().count == 0)
        return PrintOutcome::Failure(NothingText());
    SheetPrinter::Document document;
    document.sheetName = QStringLiteral("JJD");
    document.workPath = SheetPrinter::WorkPath(setup.tempFolder, QStringLiteral("JJD"));
    document.templateBytes = in.manifestTemplate.spreadsheet();
    document.title = Title(in.report.date());
    document.kind = kManifestKind;
    document.templateName = in.manifestTemplate.name();
    document.lastPage = DocumentPrinter::kAllPages;
    return SheetPrinter(setup).Run(document, [&](ExcelSession &s) { Fill(s, in); });
}

} // namespace quarvel
