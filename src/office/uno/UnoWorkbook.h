#pragma once

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/Sequence.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "excel/CsvRows.h"
#include "excel/SheetCell.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace quarvel {

// One workbook loaded in the office and the work on its first worksheet.
// Operations throw UNO exceptions; the backend turns them into messages.
class UnoWorkbook {
public:
    // Takes over a component loaded in the office of context; throws when it is not a spreadsheet.
    UnoWorkbook(const com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> &context,
                const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &component, bool readOnly);
    ~UnoWorkbook();
    UnoWorkbook(const UnoWorkbook &) = delete;
    UnoWorkbook &operator=(const UnoWorkbook &) = delete;

    // An .xls cell has one font, while Calc keeps a Western, an Asian and a
    // Complex one; Chinese text would be saved in the Asian font, which for
    // an imported template is a substitute. Giving every format the Western
    // font in all three slots saves the template's own font.
    void unifyFonts();
    // Empty when renamed; else why the office refused the name.
    QString renameSheet(const QString &name);
    QStringList sheetNames();
    // Reads address this worksheet from now on.
    void selectSheet(int index);
    // Only these columns (from 1) need the shown text of their numbers.
    void setShownColumns(const QList<int> &columns) { shownColumns_ = columns; }
    void setText(int row, int column, const QString &text);
    void setBlock(int row, int column, const QList<QList<QVariant>> &cells);
    QString cellText(int row, int column);
    // The last used row and column of the first worksheet; 0, 0 when empty.
    void usedExtent(int &rows, int &columns);
    // The values of a rectangle in one call, dates and truth values told
    // apart from plain numbers by their cells' formats; numbers the sheet
    // shows otherwise than as their plain digits come with what it shows.
    SheetBlock readBlock(int row, int column, int rows, int columns);
    void setColumnWidth(int column, int characters);
    void merge(int firstRow, int firstColumn, int lastRow, int lastColumn);
    void exportPdf(const QString &pdfPath, int fromPage, int toPage);
    void store(const QString &path);
    void close();
    // Lets go of the workbook without a word to the office (which has gone).
    void abandon();

private:
    struct Area {
        sal_Int32 firstColumn, firstRow, lastColumn, lastRow;
    };
    // How a number format shows a number, as far as an import cares.
    struct Form {
        // As its plain digits (the standard format, "0", text).
        bool plain = true;
        // As its digits padded with zeros to this many ("00000000000"); 0: not so.
        int padding = 0;
    };
    struct Formatted {
        Area area;
        SheetCell::Kind kind;
        Form form;
    };

    com::sun::star::uno::Reference<com::sun::star::table::XCell> cell(int row, int column);
    QString textOf(const com::sun::star::uno::Reference<com::sun::star::table::XCell> &cell);
    QString numberText(const com::sun::star::uno::Reference<com::sun::star::table::XCell> &cell, double value);
    bool shownAsText(sal_Int32 formatKey);
    SheetCell::Kind numberKind(sal_Int32 formatKey);
    Form formOf(sal_Int32 formatKey);
    QString shownNumber(const Formatted &f, double value, int row, int column);
    const std::vector<Formatted> &
    formatsOf(const com::sun::star::uno::Reference<com::sun::star::table::XCellRange> &area);
    const Formatted *formattedAt(const std::vector<Formatted> &formatted, sal_Int32 row, sal_Int32 column) const;
    QString shownText(int row, int column);
    QByteArray exportShown();
    std::vector<Formatted>
    formattedAreas(const com::sun::star::uno::Reference<com::sun::star::table::XCellRange> &area);
    // Days from 1899-12-30 to the workbook's own day zero (1904 workbooks).
    double dayShift();
    SheetCell errorCell(int row, int column);
    void readUsedArea();
    QString cachedText(int row, int column);
    double digitWidth();

    com::sun::star::uno::Reference<com::sun::star::uno::XComponentContext> context_;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> component_;
    com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> sheet_;
    bool readOnly_;
    // Width of the digit "0" of the standard font, in 1/100 mm; 0 until measured.
    double digitWidth_ = 0;
    // Number formats shown as text rather than as a plain number (dates, times, truth values).
    std::map<sal_Int32, bool> textFormats_;
    std::map<sal_Int32, SheetCell::Kind> numberKinds_;
    std::map<sal_Int32, Form> forms_;
    // Every column until the reader names the ones it needs.
    std::optional<QList<int>> shownColumns_;
    // The selected sheet as the office shows it, made when first needed.
    std::unique_ptr<CsvRows> shown_;
    int shownRow_ = 0;
    QStringList shownFields_;
    sal_Int32 sheetIndex_ = 0;
    // The formats of the selected sheet's used area (read-only workbooks), or of the last block read.
    std::vector<Formatted> sheetFormats_;
    bool sheetFormatsKnown_ = false;
    std::vector<Formatted> blockFormats_;
    const std::vector<Formatted> noFormats_;
    double dayShift_ = 0;
    bool dayShiftKnown_ = false;
    // Imports read cell after cell: a read-only workbook's used area is read once.
    bool cached_ = false;
    com::sun::star::uno::Sequence<com::sun::star::uno::Sequence<com::sun::star::uno::Any>> cache_;
    std::vector<Area> textFormattedAreas_;
};

} // namespace quarvel
