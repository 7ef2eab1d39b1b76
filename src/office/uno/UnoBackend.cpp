#include "UnoBackend.h"

#include "UnoInteraction.h"
#include "UnoValues.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ref.hxx>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace quarvel {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace {

const QString kConnectionLost = QStringLiteral("与LibreOffice的连接中断。");

// The first line of an exception's message; the rest names source files.
QString reason(const rtl::OUString &message)
{
    return toQString(message).section(u'\n', 0, 0).trimmed();
}

QString withReason(const QString &failure, const QString &why)
{
    return why.isEmpty() ? failure : failure + QStringLiteral("\r\n") + why;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const char kCsvFilter[] = "Text - txt - csv (StarCalc)";
// The web-query HTML filter honours the number formats web exports put in
// their style sheets (mso-number-format:"\@" keeps 0755... as text).
const char kHtmlFilter[] = "calc_HTML_WebQuery";
// Language zh-CN, special numbers recognised: a text like "7.73E+14" then
// keeps its scientific format, so that the import sees it shown as such
// (plain, it would pass for a number with all its digits).
const char kHtmlOptions[] = "2052 1";
const char kXml2003Filter[] = "MS Excel 2003 XML";
// rtl_TextEncoding numbers of the CSV filter options.
constexpr int kUtf8 = 76;
constexpr int kGb18030 = 85;
constexpr int kUcs2 = 65535;
// Columns of a CSV file read as text, so that "0755..." keeps its zero.
constexpr int kCsvTextColumns = 256;

bool isCsv(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

int encodingNumber(SheetFileFormat::Encoding encoding)
{
    switch (encoding) {
    case SheetFileFormat::Encoding::Gbk:
        // GB 18030 reads every GBK file and more.
        return kGb18030;
    case SheetFileFormat::Encoding::Utf16:
        return kUcs2;
    case SheetFileFormat::Encoding::Utf8:
        break;
    }
    return kUtf8;
}

// The encoding of a CSV file named by its extension (templates, lists).
int csvEncoding(const QString &path)
{
    return encodingNumber(SheetFileFormat::OfFile(path).encoding);
}

QString csvSeparator(char16_t separator)
{
    return QString::number(int(separator));
}

// Separated as given, double-quoted, the file's encoding, from line 1, every
// column as text, quoted fields as text, no special-number detection, no
// formulas evaluated.
QString csvOptions(const QString &separator, int encoding)
{
    QStringList columns;
    for (int c = 1; c <= kCsvTextColumns; ++c)
        columns << QStringLiteral("%1/2").arg(c);
    const QStringList tokens{separator,
                             QStringLiteral("34"),
                             QString::number(encoding),
                             QStringLiteral("1"),
                             columns.join(u'/'),
                             QStringLiteral("2052"),
                             QStringLiteral("true"),
                             QStringLiteral("false"),
                             QStringLiteral("false"),
                             QStringLiteral("false"),
                             QStringLiteral("false"),
                             QStringLiteral("-1"),
                             QStringLiteral("false")};
    return tokens.join(u',');
}

// The filter the office chose for a loaded document.
QString filterOf(const Reference<css::lang::XComponent> &component)
{
    const Reference<css::frame::XModel> model(component, css::uno::UNO_QUERY);
    if (!model.is())
        return QString();
    const auto args = model->getArgs();
    for (const css::beans::PropertyValue &p : args) {
        rtl::OUString name;
        if (p.Name == "FilterName" && (p.Value >>= name))
            return toQString(name);
    }
    return QString();
}

void closeComponent(const Reference<css::lang::XComponent> &component)
{
    const Reference<css::util::XCloseable> closeable(component, css::uno::UNO_QUERY);
    try {
        if (closeable.is()) {
            closeable->close(true);
            return;
        }
    } catch (const css::util::CloseVetoException &) {
        // Disposing ends it anyway.
    }
    component->dispose();
}

} // namespace

UnoBackend::~UnoBackend()
{
    drop();
}

OfficeBackend::Connection UnoBackend::connect(const QString &pipeName, QString &error)
{
    try {
        if (!local_.is()) {
            // Without it the local UNO runtime does not find its type and service registries.
            rtl::Bootstrap::set(ascii("URE_BOOTSTRAP"),
                                ascii("vnd.sun.star.pathname:" QUARVEL_LO_PROGRAM "/fundamentalrc"));
            local_ = cppu::defaultBootstrap_InitialComponentContext();
        }
    } catch (const css::uno::Exception &e) {
        error = withReason(QStringLiteral("LibreOffice的UNO运行环境无法初始化。"), reason(e.Message));
        return Connection::Failed;
    }
    try {
        const Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local_);
        remote_.set(resolver->resolve(
                        toOUString(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipeName))),
                    UNO_QUERY_THROW);
        desktop_ = css::frame::Desktop::create(remote_);
        connected_ = true;
        return Connection::Connected;
    } catch (const css::connection::NoConnectException &) {
        return Connection::NotListening;
    } catch (const css::uno::RuntimeException &e) {
        // The office is still coming up.
        error = reason(e.Message);
        return Connection::NotListening;
    } catch (const css::uno::Exception &e) {
        error = withReason(QStringLiteral("无法连接LibreOffice。"), reason(e.Message));
        return Connection::Failed;
    }
}

void UnoBackend::terminate()
{
    for (auto &entry : workbooks_) {
        try {
            entry.second->close();
        } catch (const css::uno::Exception &) {
            entry.second->abandon();
        }
    }
    workbooks_.clear();
    try {
        if (desktop_.is())
            desktop_->terminate();
    } catch (const css::uno::Exception &) {
        // The office ends while answering; the process is watched by the engine.
    }
    drop();
}

void UnoBackend::drop()
{
    for (auto &entry : workbooks_)
        entry.second->abandon();
    workbooks_.clear();
    desktop_.clear();
    remote_.clear();
    connected_ = false;
}

bool UnoBackend::guarded(const QString &failure, QString &error, const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const css::lang::DisposedException &) {
        connected_ = false;
        error = withReason(failure, kConnectionLost);
    } catch (const css::uno::Exception &e) {
        error = withReason(failure, reason(e.Message));
    } catch (const std::exception &e) {
        error = withReason(failure, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool UnoBackend::onWorkbook(int document, const QString &failure, QString &error,
                            const std::function<void(UnoWorkbook &)> &work)
{
    const auto found = workbooks_.find(document);
    if (found == workbooks_.end()) {
        error = withReason(failure, QStringLiteral("工作簿已经关闭。"));
        return false;
    }
    return guarded(failure, error, [&] { work(*found->second); });
}

int UnoBackend::adopt(std::unique_ptr<UnoWorkbook> workbook)
{
    const int id = nextId_++;
    workbooks_[id] = std::move(workbook);
    return id;
}

int UnoBackend::create(const QString &path, QString &error)
{
    int id = 0;
    guarded(QStringLiteral("文件创建失败:\r\n") + nativePath(path), error, [&] {
        const Reference<css::lang::XComponent> component = desktop_->loadComponentFromURL(
            ascii("private:factory/scalc"), ascii("_blank"), 0, properties({{"Hidden", Any(true)}}));
        auto workbook = std::make_unique<UnoWorkbook>(remote_, component, false);
        workbook->store(path);
        id = adopt(std::move(workbook));
    });
    return id;
}

int UnoBackend::open(const QString &path, bool readOnly, QString &error)
{
    if (isCsv(path))
        return load(path, readOnly, QLatin1String(kCsvFilter), csvOptions(csvSeparator(u','), csvEncoding(path)),
                    error);
    return load(path, readOnly, QString(), QString(), error);
}

int UnoBackend::openImport(const QString &path, const SheetFileFormat &format, QString &error)
{
    switch (format.kind) {
    case SheetFileFormat::Kind::Html:
        return load(path, true, QLatin1String(kHtmlFilter), QLatin1String(kHtmlOptions), error);
    case SheetFileFormat::Kind::XmlSpreadsheet:
        return load(path, true, QLatin1String(kXml2003Filter), QString(), error);
    case SheetFileFormat::Kind::Text:
        return load(path, true, QLatin1String(kCsvFilter),
                    csvOptions(csvSeparator(format.separator), encodingNumber(format.encoding)), error);
    case SheetFileFormat::Kind::Workbook:
        break;
    }
    return load(path, true, QString(), QString(), error);
}

int UnoBackend::load(const QString &path, bool readOnly, const QString &filter, const QString &options, QString &error)
{
    int id = 0;
    const rtl::Reference<UnoInteraction> interaction(new UnoInteraction());
    guarded(QStringLiteral("文件打开失败:\r\n") + nativePath(path), error, [&] {
        // Never run a workbook's macros nor follow its links; a template is
        // opened as a copy, so the file stays as it is until it is saved.
        // Questions the headless office would ask (passwords, repairs) are
        // answered with abort.
        std::vector<std::pair<const char *, Any>> media{
            {"Hidden", Any(true)},
            {"MacroExecutionMode", Any(sal_Int16(0))},
            {"UpdateDocMode", Any(sal_Int16(0))},
            {"DocumentService", Any(ascii("com.sun.star.sheet.SpreadsheetDocument"))},
            {"InteractionHandler", Any(Reference<css::task::XInteractionHandler>(interaction.get()))},
            {readOnly ? "ReadOnly" : "AsTemplate", Any(true)}};
        if (!filter.isEmpty())
            media.emplace_back("FilterName", Any(toOUString(filter)));
        if (!options.isEmpty())
            media.emplace_back("FilterOptions", Any(toOUString(options)));
        Reference<css::lang::XComponent> component;
        try {
            component = desktop_->loadComponentFromURL(fileUrl(path), ascii("_blank"), 0, properties(media));
        } catch (const css::uno::Exception &) {
            if (!interaction->passwordAsked())
                throw;
        }
        if (interaction->passwordAsked()) {
            if (component.is())
                closeComponent(component);
            throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("文件有密码保护,不能打开。")), {}, 0);
        }
        if (!component.is())
            throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("文件格式无法识别。")), {}, 0);
        // Anything the office could only read as plain text, without being
        // asked to, is no spreadsheet.
        if (filter.isEmpty() && filterOf(component).startsWith(QLatin1String("Text"))) {
            closeComponent(component);
            throw css::lang::IllegalArgumentException(toOUString(QStringLiteral("文件不是电子表格。")), {}, 0);
        }
        auto workbook = std::make_unique<UnoWorkbook>(remote_, component, readOnly);
        if (!readOnly)
            workbook->unifyFonts();
        id = adopt(std::move(workbook));
    });
    return id;
}

bool UnoBackend::sheetNames(int document, QStringList &names, QString &error)
{
    return onWorkbook(document, QStringLiteral("读取工作表名称失败。"), error,
                      [&](UnoWorkbook &w) { names = w.sheetNames(); });
}

bool UnoBackend::setShownColumns(int document, const QList<int> &columns, QString &error)
{
    return onWorkbook(document, QStringLiteral("读取单元格失败。"), error,
                      [&](UnoWorkbook &w) { w.setShownColumns(columns); });
}

bool UnoBackend::selectSheet(int document, int index, QString &error)
{
    return onWorkbook(document, QStringLiteral("选择工作表失败。"), error,
                      [&](UnoWorkbook &w) { w.selectSheet(index); });
}

bool UnoBackend::renameSheet(int document, const QString &name, QString &error)
{
    QString refusal;
    const bool ok = onWorkbook(document, QStringLiteral("工作表改名失败。"), error,
                               [&](UnoWorkbook &w) { refusal = w.renameSheet(name); });
    if (ok && !refusal.isEmpty())
        error = refusal;
    return ok && refusal.isEmpty();
}

bool UnoBackend::setText(int document, int row, int column, const QString &text, QString &error)
{
    return onWorkbook(document, QStringLiteral("写入单元格失败。"), error,
                      [&](UnoWorkbook &w) { w.setText(row, column, text); });
}

bool UnoBackend::setBlock(int document, int row, int column, const QList<QList<QVariant>> &cells, QString &error)
{
    return onWorkbook(document, QStringLiteral("写入单元格失败。"), error,
                      [&](UnoWorkbook &w) { w.setBlock(row, column, cells); });
}

bool UnoBackend::cellText(int document, int row, int column, QString &text, QString &error)
{
    return onWorkbook(document, QStringLiteral("读取单元格失败。"), error,
                      [&](UnoWorkbook &w) { text = w.cellText(row, column); });
}

bool UnoBackend::usedExtent(int document, int &rows, int &columns, QString &error)
{
    return onWorkbook(document, QStringLiteral("读取工作表范围失败。"), error,
                      [&](UnoWorkbook &w) { w.usedExtent(rows, columns); });
}

bool UnoBackend::readBlock(int document, int row, int column, int rows, int columns, SheetBlock &cells, QString &error)
{
    return onWorkbook(document, QStringLiteral("读取单元格失败。"), error,
                      [&](UnoWorkbook &w) { cells = w.readBlock(row, column, rows, columns); });
}

bool UnoBackend::setColumnWidth(int document, int column, int characters, QString &error)
{
    return onWorkbook(document, QStringLiteral("设置列宽失败。"), error,
                      [&](UnoWorkbook &w) { w.setColumnWidth(column, characters); });
}

bool UnoBackend::merge(int document, int firstRow, int firstColumn, int lastRow, int lastColumn, QString &error)
{
    return onWorkbook(document, QStringLiteral("合并单元格失败。"), error,
                      [&](UnoWorkbook &w) { w.merge(firstRow, firstColumn, lastRow, lastColumn); });
}

bool UnoBackend::exportPdf(int document, const QString &pdfPath, int fromPage, int toPage, QString &error)
{
    return onWorkbook(document, QStringLiteral("打印文件生成失败:\r\n") + nativePath(pdfPath), error,
                      [&](UnoWorkbook &w) { w.exportPdf(pdfPath, fromPage, toPage); });
}

bool UnoBackend::save(int document, const QString &path, QString &error)
{
    return onWorkbook(document, QStringLiteral("文件保存失败:\r\n") + nativePath(path), error,
                      [&](UnoWorkbook &w) { w.store(path); });
}

void UnoBackend::close(int document)
{
    const auto found = workbooks_.find(document);
    if (found == workbooks_.end())
        return;
    QString ignored;
    if (!guarded(QString(), ignored, [&] { found->second->close(); }))
        found->second->abandon();
    workbooks_.erase(found);
}

} // namespace quarvel

extern "C" __attribute__((visibility("default"))) quarvel::OfficeBackend *quarvelCreateOfficeBackend()
{
    return new quarvel::UnoBackend();
}
