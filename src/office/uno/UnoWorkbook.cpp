#include "UnoWorkbook.h"

#include "UnoValues.h"

#include <com/sun/star/awt/FontDescriptor.hpp>
#include <com/sun/star/awt/Toolkit.hpp>
#include <com/sun/star/awt/XDevice.hpp>
#include <com/sun/star/awt/XFont.hpp>
#include <com/sun/star/awt/XToolkit2.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>

namespace quarvel {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY_THROW;

namespace {

// Excel counts a column's width in digits of the standard font, plus a
// margin of five pixels for a digit seven pixels wide.
constexpr double kExcelColumnMargin = 5.0 / 7.0;

// The save filter for a file name's extension; .xls and anything unknown get Excel 97.
const char *filterFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return "Calc MS Excel 2007 XML";
    if (suffix == QLatin1String("ods"))
        return "calc8";
    return "MS Excel 97";
}

// The font properties copied from the Western slot to the Asian and Complex ones.
const char *const kFontProperties[] = {"CharFontName", "CharFontStyleName", "CharFontFamily", "CharFontPitch",
                                       "CharHeight",   "CharWeight",        "CharPosture"};

void copyWesternFont(const Reference<css::beans::XMultiPropertySet> &target)
{
    const sal_Int32 count = sal_Int32(std::size(kFontProperties));
    Sequence<rtl::OUString> western(count), asian(count), complex(count);
    for (sal_Int32 i = 0; i < count; ++i) {
        western.getArray()[i] = ascii(kFontProperties[i]);
        asian.getArray()[i] = western[i] + ascii("Asian");
        complex.getArray()[i] = western[i] + ascii("Complex");
    }
    const Sequence<Any> values = target->getPropertyValues(western);
    target->setPropertyValues(asian, values);
    target->setPropertyValues(complex, values);
}

QString plainNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15).toUpper();
}

} // namespace

UnoWorkbook::UnoWorkbook(const Reference<css::uno::XComponentContext> &context,
                         const Reference<css::lang::XComponent> &component, bool readOnly)
    : context_(context), component_(component), readOnly_(readOnly)
{
    Reference<css::sheet::XSpreadsheetDocument> document(component_, css::uno::UNO_QUERY);
    if (!document.is()) {
        close();
        throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("文件不是电子表格。")), {}, 0);
    }
    Reference<css::container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
    sheet_.set(sheets->getByIndex(0), UNO_QUERY_THROW);
}

UnoWorkbook::~UnoWorkbook()
{
    try {
        close();
    } catch (const css::uno::Exception &) {
        // The office has gone; there is nothing left to close.
    }
}

void UnoWorkbook::close()
{
    sheet_.clear();
    const Reference<css::lang::XComponent> component = component_;
    component_.clear();
    if (!component.is())
        return;
    Reference<css::util::XCloseable> closeable(component, css::uno::UNO_QUERY);
    try {
        if (closeable.is()) {
            closeable->close(true);
            return;
        }
    } catch (const css::util::CloseVetoException &) {
        // Someone holds it; disposing ends it anyway.
    }
    component->dispose();
}

void UnoWorkbook::abandon()
{
    context_.clear();
    sheet_.clear();
    component_.clear();
}

void UnoWorkbook::unifyFonts()
{
    Reference<css::sheet::XUniqueCellFormatRangesSupplier> supplier(sheet_, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> ranges = supplier->getUniqueCellFormatRanges();
    for (sal_Int32 i = 0, n = ranges->getCount(); i < n; ++i)
        copyWesternFont(Reference<css::beans::XMultiPropertySet>(ranges->getByIndex(i), UNO_QUERY_THROW));
    Reference<css::style::XStyleFamiliesSupplier> families(component_, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> cellStyles(families->getStyleFamilies()->getByName(ascii("CellStyles")),
                                                      UNO_QUERY_THROW);
    copyWesternFont(Reference<css::beans::XMultiPropertySet>(cellStyles->getByName(ascii("Default")), UNO_QUERY_THROW));
}

QString UnoWorkbook::renameSheet(const QString &name)
{
    Reference<css::container::XNamed> named(sheet_, UNO_QUERY_THROW);
    named->setName(toOUString(name));
    if (toQString(named->getName()) == name)
        return QString();
    return QStringLiteral("工作表名称\"%1\"无效或已被其他工作表使用。").arg(name);
}

QStringList UnoWorkbook::sheetNames()
{
    Reference<css::container::XIndexAccess> sheets(
        Reference<css::sheet::XSpreadsheetDocument>(component_, UNO_QUERY_THROW)->getSheets(), UNO_QUERY_THROW);
    QStringList names;
    for (sal_Int32 i = 0, n = sheets->getCount(); i < n; ++i)
        names << toQString(Reference<css::container::XNamed>(sheets->getByIndex(i), UNO_QUERY_THROW)->getName());
    return names;
}

void UnoWorkbook::selectSheet(int index)
{
    Reference<css::container::XIndexAccess> sheets(
        Reference<css::sheet::XSpreadsheetDocument>(component_, UNO_QUERY_THROW)->getSheets(), UNO_QUERY_THROW);
    if (index < 0 || index >= sheets->getCount())
        throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("没有第%1个工作表。").arg(index + 1)), {},
                                                  0);
    sheet_.set(sheets->getByIndex(index), UNO_QUERY_THROW);
    sheetIndex_ = index;
    cached_ = false;
    shown_.reset();
    shownRow_ = 0;
    sheetFormatsKnown_ = false;
    sheetFormats_.clear();
}

Reference<css::table::XCell> UnoWorkbook::cell(int row, int column)
{
    return sheet_->getCellByPosition(column - 1, row - 1);
}

void UnoWorkbook::setText(int row, int column, const QString &text)
{
    cached_ = false;
    Reference<css::text::XTextRange>(cell(row, column), UNO_QUERY_THROW)->setString(toOUString(text));
}

void UnoWorkbook::setBlock(int row, int column, const QList<QList<QVariant>> &cells)
{
    cached_ = false;
    const sal_Int32 height = sal_Int32(cells.size());
    // The widest row sets the rectangle; shorter rows leave their last cells empty.
    sal_Int32 width = 0;
    for (const QList<QVariant> &row : cells)
        width = std::max(width, sal_Int32(row.size()));
    if (height == 0 || width == 0)
        return;
    Sequence<Sequence<Any>> data(height);
    for (sal_Int32 r = 0; r < height; ++r) {
        Sequence<Any> line(width);
        Any *out = line.getArray();
        for (sal_Int32 c = sal_Int32(cells[r].size()); c < width; ++c)
            out[c] = Any(rtl::OUString());
        for (const QVariant &value : cells[r]) {
            if (value.typeId() == QMetaType::QString)
                *out = Any(toOUString(value.toString()));
            else if (value.isValid())
                *out = Any(value.toDouble());
            else
                *out = Any(rtl::OUString());
            ++out;
        }
        data.getArray()[r] = line;
    }
    Reference<css::sheet::XCellRangeData> range(
        sheet_->getCellRangeByPosition(column - 1, row - 1, column - 1 + width - 1, row - 1 + height - 1),
        UNO_QUERY_THROW);
    range->setDataArray(data);
}

QString UnoWorkbook::cellText(int row, int column)
{
    return readOnly_ ? cachedText(row, column) : textOf(cell(row, column));
}

QString UnoWorkbook::textOf(const Reference<css::table::XCell> &c)
{
    switch (c->getType()) {
    case css::table::CellContentType_EMPTY:
        return QString();
    case css::table::CellContentType_VALUE:
        return numberText(c, c->getValue());
    case css::table::CellContentType_FORMULA: {
        sal_Int32 resultType = 0;
        Reference<css::beans::XPropertySet>(c, UNO_QUERY_THROW)->getPropertyValue(ascii("FormulaResultType2")) >>=
            resultType;
        if (c->getError() == 0 && resultType == css::sheet::FormulaResult::VALUE)
            return numberText(c, c->getValue());
        break;
    }
    default:
        break;
    }
    return toQString(Reference<css::text::XTextRange>(c, UNO_QUERY_THROW)->getString());
}

// A number reads as Excel converts a value to text: plain digits, whatever the
// cell's display format, except dates, times and truth values, which read as shown.
QString UnoWorkbook::numberText(const Reference<css::table::XCell> &c, double value)
{
    sal_Int32 key = 0;
    Reference<css::beans::XPropertySet>(c, UNO_QUERY_THROW)->getPropertyValue(ascii("NumberFormat")) >>= key;
    if (shownAsText(key))
        return toQString(Reference<css::text::XTextRange>(c, UNO_QUERY_THROW)->getString());
    return plainNumber(value);
}

bool UnoWorkbook::shownAsText(sal_Int32 formatKey)
{
    const auto known = textFormats_.find(formatKey);
    if (known != textFormats_.end())
        return known->second;
    Reference<css::util::XNumberFormatsSupplier> supplier(component_, UNO_QUERY_THROW);
    sal_Int16 type = 0;
    supplier->getNumberFormats()->getByKey(formatKey)->getPropertyValue(ascii("Type")) >>= type;
    const bool asText =
        (type & (css::util::NumberFormat::DATE | css::util::NumberFormat::TIME | css::util::NumberFormat::LOGICAL)) !=
        0;
    textFormats_[formatKey] = asText;
    return asText;
}

void UnoWorkbook::readUsedArea()
{
    Reference<css::sheet::XSheetCellCursor> cursor = sheet_->createCursor();
    Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
    used->gotoEndOfUsedArea(false);
    const css::table::CellRangeAddress end =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    const Reference<css::table::XCellRange> area = sheet_->getCellRangeByPosition(0, 0, end.EndColumn, end.EndRow);
    cache_ = Reference<css::sheet::XCellRangeData>(area, UNO_QUERY_THROW)->getDataArray();

    // Where numbers must be read as shown: the areas with a date, time or truth format.
    textFormattedAreas_.clear();
    Reference<css::sheet::XCellFormatRangesSupplier> formats(area, UNO_QUERY_THROW);
    const Reference<css::container::XIndexAccess> ranges = formats->getCellFormatRanges();
    for (sal_Int32 i = 0, n = ranges->getCount(); i < n; ++i) {
        const Any range = ranges->getByIndex(i);
        sal_Int32 key = 0;
        Reference<css::beans::XPropertySet>(range, UNO_QUERY_THROW)->getPropertyValue(ascii("NumberFormat")) >>= key;
        if (!shownAsText(key))
            continue;
        const css::table::CellRangeAddress a =
            Reference<css::sheet::XCellRangeAddressable>(range, UNO_QUERY_THROW)->getRangeAddress();
        textFormattedAreas_.push_back({a.StartColumn, a.StartRow, a.EndColumn, a.EndRow});
    }
    cached_ = true;
}

QString UnoWorkbook::cachedText(int row, int column)
{
    if (!cached_)
        readUsedArea();
    const sal_Int32 r = row - 1, c = column - 1;
    if (r >= cache_.getLength() || c >= cache_[r].getLength())
        return QString();
    const Any &value = cache_[r][c];
    rtl::OUString text;
    if (value >>= text)
        return toQString(text);
    double number = 0;
    if (!(value >>= number))
        return value.hasValue() ? QString() : textOf(cell(row, column)); // an error value
    for (const Area &a : textFormattedAreas_)
        if (c >= a.firstColumn && c <= a.lastColumn && r >= a.firstRow && r <= a.lastRow)
            return toQString(Reference<css::text::XTextRange>(cell(row, column), UNO_QUERY_THROW)->getString());
    return plainNumber(number);
}

void UnoWorkbook::usedExtent(int &rows, int &columns)
{
    Reference<css::sheet::XSheetCellCursor> cursor = sheet_->createCursor();
    Reference<css::sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const css::table::CellRangeAddress end =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    rows = end.EndRow + 1;
    columns = end.EndColumn + 1;
    // An empty sheet leaves the cursor on A1.
    if (rows == 1 && columns == 1 && cell(1, 1)->getType() == css::table::CellContentType_EMPTY)
        rows = columns = 0;
}

SheetBlock UnoWorkbook::readBlock(int row, int column, int rows, int columns)
{
    const Reference<css::table::XCellRange> area =
        sheet_->getCellRangeByPosition(column - 1, row - 1, column - 1 + columns - 1, row - 1 + rows - 1);
    const Sequence<Sequence<Any>> data = Reference<css::sheet::XCellRangeData>(area, UNO_QUERY_THROW)->getDataArray();
    bool numbers = false;
    for (const Sequence<Any> &line : data)
        for (const Any &value : line)
            numbers = numbers || value.getValueTypeClass() == css::uno::TypeClass_DOUBLE;
    const std::vector<Formatted> &formatted = numbers ? formatsOf(area) : noFormats_;

    SheetBlock block;
    block.reserve(data.getLength());
    for (sal_Int32 r = 0; r < data.getLength(); ++r) {
        QList<SheetCell> line;
        line.reserve(data[r].getLength());
        for (sal_Int32 c = 0; c < data[r].getLength(); ++c) {
            const Any &value = data[r][c];
            rtl::OUString text;
            double number = 0;
            SheetCell out;
            if (value >>= text) {
                if (!text.isEmpty())
                    out = SheetCell::Text(toQString(text));
            } else if (value >>= number) {
                out = SheetCell::Number(number);
                if (const Formatted *f = formattedAt(formatted, row - 1 + r, column - 1 + c)) {
                    out.kind = f->kind;
                    if (out.kind != SheetCell::Kind::Number && out.kind != SheetCell::Kind::Boolean)
                        out.number += dayShift();
                    out.shown = shownNumber(*f, number, row + int(r), column + int(c));
                }
            } else {
                out = errorCell(row + int(r), column + int(c));
            }
            line.append(std::move(out));
        }
        block.append(std::move(line));
    }
    return block;
}

// A read-only workbook does not change: the formats of its used area are
// asked once per sheet rather than once per block.
const std::vector<UnoWorkbook::Formatted> &UnoWorkbook::formatsOf(const Reference<css::table::XCellRange> &area)
{
    if (!readOnly_) {
        blockFormats_ = formattedAreas(area);
        return blockFormats_;
    }
    if (!sheetFormatsKnown_) {
        Reference<css::sheet::XSheetCellCursor> cursor = sheet_->createCursor();
        Reference<css::sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
        const css::table::CellRangeAddress end =
            Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        sheetFormats_ = formattedAreas(sheet_->getCellRangeByPosition(0, 0, end.EndColumn, end.EndRow));
        sheetFormatsKnown_ = true;
    }
    return sheetFormats_;
}

const UnoWorkbook::Formatted *UnoWorkbook::formattedAt(const std::vector<Formatted> &formatted, sal_Int32 row,
                                                       sal_Int32 column) const
{
    for (const Formatted &f : formatted)
        if (column >= f.area.firstColumn && column <= f.area.lastColumn && row >= f.area.firstRow &&
            row <= f.area.lastRow)
            return &f;
    return nullptr;
}

// Where numbers read as dates, times or truth values, and where the sheet
// shows them in a format of their own: asked per distinct cell format (a
// handful per sheet), not per range of equal formatting, which can be one
// per cell in a sheet Excel saved.
std::vector<UnoWorkbook::Formatted> UnoWorkbook::formattedAreas(const Reference<css::table::XCellRange> &area)
{
    std::vector<Formatted> formatted;
    const Reference<css::container::XIndexAccess> formats =
        Reference<css::sheet::XUniqueCellFormatRangesSupplier>(area, UNO_QUERY_THROW)->getUniqueCellFormatRanges();
    for (sal_Int32 i = 0, n = formats->getCount(); i < n; ++i) {
        const Any ranges = formats->getByIndex(i);
        sal_Int32 key = 0;
        Reference<css::beans::XPropertySet>(ranges, UNO_QUERY_THROW)->getPropertyValue(ascii("NumberFormat")) >>= key;
        const SheetCell::Kind kind = numberKind(key);
        const Form form = readOnly_ ? formOf(key) : Form();
        if (kind == SheetCell::Kind::Number && form.plain)
            continue;
        const Sequence<css::table::CellRangeAddress> addresses =
            Reference<css::sheet::XSheetCellRanges>(ranges, UNO_QUERY_THROW)->getRangeAddresses();
        for (const css::table::CellRangeAddress &a : addresses)
            formatted.push_back({{a.StartColumn, a.StartRow, a.EndColumn, a.EndRow}, kind, form});
    }
    return formatted;
}

// The standard format (in any language's spelling), "0" and text show a
// number as its plain digits; a format of zeros only pads it to their number.
UnoWorkbook::Form UnoWorkbook::formOf(sal_Int32 formatKey)
{
    const auto known = forms_.find(formatKey);
    if (known != forms_.end())
        return known->second;
    Reference<css::util::XNumberFormatsSupplier> supplier(component_, UNO_QUERY_THROW);
    rtl::OUString code;
    supplier->getNumberFormats()->getByKey(formatKey)->getPropertyValue(ascii("FormatString")) >>= code;
    const QString c = toQString(code).toUpper();
    Form form;
    form.plain = formatKey == 0 || c == QLatin1String("GENERAL") || c == QLatin1String("STANDARD") ||
                 c == QStringLiteral("G/通用格式") || c == QLatin1String("@") || c == QLatin1String("0");
    if (!form.plain && !c.isEmpty() && c.count(u'0') == c.size())
        form.padding = int(c.size());
    forms_[formatKey] = form;
    return form;
}

// What the sheet shows of a number in a column that needs it; empty where
// the plain digits are what it shows, or where no field reads it as text.
QString UnoWorkbook::shownNumber(const Formatted &f, double value, int row, int column)
{
    if (f.form.plain || (shownColumns_ && !shownColumns_->contains(column)))
        return QString();
    if (f.form.padding > 0 && value >= 0 && std::floor(value) == value && value < 1e15)
        return QString::number(value, 'f', 0).rightJustified(f.form.padding, u'0');
    return shownText(row, column);
}

// What the sheet shows in a cell: the office's own CSV export of the sheet
// "as shown", made once per sheet and kept as text; one call instead of one
// per cell.
QString UnoWorkbook::shownText(int row, int column)
{
    if (!shown_)
        shown_ = std::make_unique<CsvRows>(exportShown());
    // The cells of a row are asked for one after the other: the row is split once.
    if (shownRow_ != row) {
        shownFields_ = shown_->row(row - 1);
        shownRow_ = row;
    }
    return shownFields_.value(column - 1);
}

// The selected sheet saved as CSV "as shown". The office names the file of a
// single exported sheet after the sheet, so it goes to a folder of its own.
QByteArray UnoWorkbook::exportShown()
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/quarvel-shown-XXXXXX"));
    if (!folder.isValid())
        throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("临时文件夹无法创建。")), {}, 0);
    // Comma, double quotes, UTF-8, cells as shown, no formulas, this sheet only.
    const QString options = QStringLiteral("44,34,76,1,,0,false,true,true,false,false,%1").arg(sheetIndex_ + 1);
    Reference<css::frame::XStorable>(component_, UNO_QUERY_THROW)
        ->storeToURL(fileUrl(folder.filePath(QStringLiteral("shown.csv"))),
                     properties({{"FilterName", Any(ascii("Text - txt - csv (StarCalc)"))},
                                 {"FilterOptions", Any(toOUString(options))},
                                 {"Overwrite", Any(true)}}));
    const QStringList written = QDir(folder.path()).entryList(QDir::Files);
    QFile file(written.isEmpty() ? QString() : folder.filePath(written.first()));
    if (!file.open(QIODevice::ReadOnly))
        throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("工作表的显示内容无法读取。")), {}, 0);
    return file.readAll();
}

// A cell the data array left void holds an error (#DIV/0!, #REF!, Err:502).
SheetCell UnoWorkbook::errorCell(int row, int column)
{
    const Reference<css::table::XCell> c = cell(row, column);
    if (c->getError() == 0)
        return SheetCell();
    SheetCell out;
    out.kind = SheetCell::Kind::Error;
    out.text = toQString(Reference<css::text::XTextRange>(c, UNO_QUERY_THROW)->getString());
    return out;
}

SheetCell::Kind UnoWorkbook::numberKind(sal_Int32 formatKey)
{
    const auto known = numberKinds_.find(formatKey);
    if (known != numberKinds_.end())
        return known->second;
    Reference<css::util::XNumberFormatsSupplier> supplier(component_, UNO_QUERY_THROW);
    sal_Int16 type = 0;
    supplier->getNumberFormats()->getByKey(formatKey)->getPropertyValue(ascii("Type")) >>= type;
    namespace NF = css::util::NumberFormat;
    SheetCell::Kind kind = SheetCell::Kind::Number;
    if ((type & NF::DATETIME) == NF::DATETIME)
        kind = SheetCell::Kind::DateTime;
    else if (type & NF::DATE)
        kind = SheetCell::Kind::Date;
    else if (type & NF::TIME)
        kind = SheetCell::Kind::Time;
    else if (type & NF::LOGICAL)
        kind = SheetCell::Kind::Boolean;
    numberKinds_[formatKey] = kind;
    return kind;
}

double UnoWorkbook::dayShift()
{
    if (dayShiftKnown_)
        return dayShift_;
    css::util::Date zero;
    zero.Year = 1899;
    zero.Month = 12;
    zero.Day = 30;
    Reference<css::util::XNumberFormatsSupplier> supplier(component_, UNO_QUERY_THROW);
    supplier->getNumberFormatSettings()->getPropertyValue(ascii("NullDate")) >>= zero;
    dayShift_ = double(QDate(1899, 12, 30).daysTo(QDate(zero.Year, zero.Month, zero.Day)));
    dayShiftKnown_ = true;
    return dayShift_;
}

// Calc saves a column width in digits of the standard font, the digit's
// advance measured at the font's size. The advance is measured here on a
// magnified font, so that whole screen pixels do not round it.
double UnoWorkbook::digitWidth()
{
    if (digitWidth_ > 0)
        return digitWidth_;
    Reference<css::style::XStyleFamiliesSupplier> families(component_, UNO_QUERY_THROW);
    Reference<css::container::XNameAccess> cellStyles(families->getStyleFamilies()->getByName(ascii("CellStyles")),
                                                      UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> standard(cellStyles->getByName(ascii("Default")), UNO_QUERY_THROW);
    css::awt::FontDescriptor font;
    standard->getPropertyValue(ascii("CharFontName")) >>= font.Name;
    standard->getPropertyValue(ascii("CharWeight")) >>= font.Weight;
    float points = 10;
    standard->getPropertyValue(ascii("CharHeight")) >>= points;
    constexpr sal_Int16 kMeasureHeight = 1000;
    font.Height = kMeasureHeight;
    double advance = 0;
    try {
        const Reference<css::awt::XDevice> device =
            css::awt::Toolkit::create(context_)->createScreenCompatibleDevice(1, 1);
        advance = device->getFont(font)->getStringWidth(ascii("0000000000")) / 10.0 / kMeasureHeight;
    } catch (const css::lang::DisposedException &) {
        throw;
    } catch (const css::uno::Exception &) {
        // Without font metrics the widths come out slightly off, but they come out.
    }
    if (advance <= 0)
        advance = 0.556; // the digit of Liberation Sans and Arial, in ems
    // Points to 1/100 mm.
    digitWidth_ = advance * points * 2540.0 / 72.0;
    return digitWidth_;
}

void UnoWorkbook::setColumnWidth(int column, int characters)
{
    Reference<css::beans::XPropertySet> col(
        Reference<css::table::XColumnRowRange>(sheet_, UNO_QUERY_THROW)->getColumns()->getByIndex(column - 1),
        UNO_QUERY_THROW);
    if (characters <= 0) {
        col->setPropertyValue(ascii("IsVisible"), Any(false));
        return;
    }
    const double width = (characters + kExcelColumnMargin) * digitWidth();
    col->setPropertyValue(ascii("Width"), Any(sal_Int32(std::lround(width))));
    col->setPropertyValue(ascii("IsVisible"), Any(true));
}

void UnoWorkbook::merge(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    cached_ = false;
    Reference<css::util::XMergeable>(
        sheet_->getCellRangeByPosition(firstColumn - 1, firstRow - 1, lastColumn - 1, lastRow - 1), UNO_QUERY_THROW)
        ->merge(true);
}

// Calc prints every visible sheet; the other sheets are hidden while the
// first one is exported, so that page numbers count its pages only.
void UnoWorkbook::exportPdf(const QString &pdfPath, int fromPage, int toPage)
{
    Reference<css::container::XIndexAccess> sheets(
        Reference<css::sheet::XSpreadsheetDocument>(component_, UNO_QUERY_THROW)->getSheets(), UNO_QUERY_THROW);
    std::vector<Reference<css::beans::XPropertySet>> hidden;
    const auto showAgain = [&] {
        for (const auto &sheet : hidden)
            sheet->setPropertyValue(ascii("IsVisible"), Any(true));
    };
    try {
        for (sal_Int32 i = 1, n = sheets->getCount(); i < n; ++i) {
            Reference<css::beans::XPropertySet> sheet(sheets->getByIndex(i), UNO_QUERY_THROW);
            bool visible = false;
            sheet->getPropertyValue(ascii("IsVisible")) >>= visible;
            if (!visible)
                continue;
            sheet->setPropertyValue(ascii("IsVisible"), Any(false));
            hidden.push_back(sheet);
        }
        const QString pages =
            fromPage == toPage ? QString::number(fromPage) : QStringLiteral("%1-%2").arg(fromPage).arg(toPage);
        const auto filterData = properties({{"PageRange", Any(toOUString(pages))}});
        Reference<css::frame::XStorable>(component_, UNO_QUERY_THROW)
            ->storeToURL(fileUrl(pdfPath), properties({{"FilterName", Any(ascii("calc_pdf_Export"))},
                                                       {"FilterData", Any(filterData)},
                                                       {"Overwrite", Any(true)}}));
    } catch (...) {
        showAgain();
        throw;
    }
    showAgain();
}

void UnoWorkbook::store(const QString &path)
{
    Reference<css::frame::XStorable>(component_, UNO_QUERY_THROW)
        ->storeToURL(fileUrl(path),
                     properties({{"FilterName", Any(ascii(filterFor(path)))}, {"Overwrite", Any(true)}}));
}

} // namespace quarvel
