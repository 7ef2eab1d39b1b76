#include "OfficeDocument.h"

#include "OfficeBackend.h"
#include "OfficeEngine.h"

namespace quarvel {

OfficeDocument::OfficeDocument(OfficeEngine &engine, int id, quint64 generation)
    : engine_(engine), id_(id), generation_(generation)
{
}

OfficeDocument::~OfficeDocument()
{
    close();
}

bool OfficeDocument::call(const std::function<bool(OfficeBackend &, QString &)> &op)
{
    error_.clear();
    if (closed_) {
        error_ = QStringLiteral("工作簿已经关闭。");
        return false;
    }
    return engine_.call(generation_, op, error_);
}

bool OfficeDocument::renameSheet(const QString &name)
{
    return call([&](OfficeBackend &b, QString &e) { return b.renameSheet(id_, name, e); });
}

bool OfficeDocument::setText(int row, int column, const QString &text)
{
    return call([&](OfficeBackend &b, QString &e) { return b.setText(id_, row, column, text, e); });
}

bool OfficeDocument::setBlock(int row, int column, const QList<QList<QVariant>> &cells)
{
    return call([&](OfficeBackend &b, QString &e) { return b.setBlock(id_, row, column, cells, e); });
}

bool OfficeDocument::cellText(int row, int column, QString &text)
{
    return call([&](OfficeBackend &b, QString &e) { return b.cellText(id_, row, column, text, e); });
}

bool OfficeDocument::sheetNames(QStringList &names)
{
    return call([&](OfficeBackend &b, QString &e) { return b.sheetNames(id_, names, e); });
}

bool OfficeDocument::selectSheet(int index)
{
    return call([&](OfficeBackend &b, QString &e) { return b.selectSheet(id_, index, e); });
}

bool OfficeDocument::setShownColumns(const QList<int> &columns)
{
    return call([&](OfficeBackend &b, QString &e) { return b.setShownColumns(id_, columns, e); });
}

bool OfficeDocument::usedExtent(int &rows, int &columns)
{
    return call([&](OfficeBackend &b, QString &e) { return b.usedExtent(id_, rows, columns, e); });
}

bool OfficeDocument::readBlock(int row, int column, int rows, int columns, SheetBlock &cells)
{
    return call([&](OfficeBackend &b, QString &e) { return b.readBlock(id_, row, column, rows, columns, cells, e); });
}

bool OfficeDocument::setColumnWidth(int column, int characters)
{
    return call([&](OfficeBackend &b, QString &e) { return b.setColumnWidth(id_, column, characters, e); });
}

bool OfficeDocument::merge(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    return call(
        [&](OfficeBackend &b, QString &e) { return b.merge(id_, firstRow, firstColumn, lastRow, lastColumn, e); });
}

bool OfficeDocument::exportPdf(const QString &pdfPath, int fromPage, int toPage)
{
    return call([&](OfficeBackend &b, QString &e) { return b.exportPdf(id_, pdfPath, fromPage, toPage, e); });
}

bool OfficeDocument::save(const QString &path)
{
    return call([&](OfficeBackend &b, QString &e) { return b.save(id_, path, e); });
}

void OfficeDocument::close()
{
    if (closed_)
        return;
    closed_ = true;
    engine_.closeDocument(generation_, id_);
}

} // namespace quarvel
