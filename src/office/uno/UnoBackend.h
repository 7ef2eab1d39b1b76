#pragma once

#include "OfficeBackend.h"
#include "UnoWorkbook.h"

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <functional>
#include <map>
#include <memory>

namespace quarvel {

// The office backend over UNO: a connection through the office's named
// pipe, its desktop, and the workbooks loaded through it.
class UnoBackend final : public OfficeBackend {
public:
    UnoBackend() = default;
    ~UnoBackend() override;

    Connection connect(const QString &pipeName, QString &error) override;
    bool connected() const override { return connected_; }
    void terminate() override;
    void drop() override;

    int create(const QString &path, QString &error) override;
    int open(const QString &path, bool readOnly, QString &error) override;
    int openImport(const QString &path, const SheetFileFormat &format, QString &error) override;
    bool sheetNames(int document, QStringList &names, QString &error) override;
    bool selectSheet(int document, int index, QString &error) override;
    bool setShownColumns(int document, const QList<int> &columns, QString &error) override;
    bool renameSheet(int document, const QString &name, QString &error) override;
    bool setText(int document, int row, int column, const QString &text, QString &error) override;
    bool setBlock(int document, int row, int column, const QList<QList<QVariant>> &cells, QString &error) override;
    bool cellText(int document, int row, int column, QString &text, QString &error) override;
    bool usedExtent(int document, int &rows, int &columns, QString &error) override;
    bool readBlock(int document, int row, int column, int rows, int columns, SheetBlock &cells,
                   QString &error) override;
    bool setColumnWidth(int document, int column, int characters, QString &error) override;
    bool merge(int document, int firstRow, int firstColumn, int lastRow, int lastColumn, QString &error) override;
    bool exportPdf(int document, const QString &pdfPath, int fromPage, int toPage, QString &error) override;
    bool save(int document, const QString &path, QString &error) override;
    void close(int document) override;
    int documentCount() const override { return int(workbooks_.size()); }

private:
    // Runs work, turning a UNO exception into a message that starts with failure.
    bool guarded(const QString &failure, QString &error, const std::function<void()> &work);
    bool onWorkbook(int document, const QString &failure, QString &error,
                    const std::function<void(UnoWorkbook &)> &work);
    int adopt(std::unique_ptr<UnoWorkbook> workbook);
    // Loads path with the filter and options given (none: the office detects
    // the type); throws when it is no spreadsheet.
    int load(const QString &path, bool readOnly, const QString &filter, const QString &options, QString &error);

    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> local_;
    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> remote_;
    com::sun::star::uno::Reference<com::sun::star::frame::XDesktop2> desktop_;
    std::map<int, std::unique_ptr<UnoWorkbook>> workbooks_;
    int nextId_ = 1;
    bool connected_ = false;
};

} // namespace quarvel
