#include "excel/SheetFileFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace quarvel {

namespace {

// Enough of a file to tell its kind, its encoding and its separator.
constexpr qsizetype kHeadBytes = 64 * 1024;

bool startsWith(const QByteArray &bytes, const char *prefix, qsizetype length)
{
    return bytes.size() >= length && bytes.left(length) == QByteArray(prefix, length);
}

// Bytes no text holds: a binary file that is not a known workbook.
bool looksBinary(const QByteArray &head)
{
    for (const char c : head) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\r' && u != '\n' && u != 0x0C && u != 0x1A)
            return true;
    }
    return head.startsWith("%PDF");
}

// A file that decodes as UTF-8 is taken as such (a character the end of
// the head cuts in two stays in the decoder, no error); Excel on Chinese
// Windows saves GBK.
SheetFileFormat::Encoding textEncoding(const QByteArray &head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return SheetFileFormat::Encoding::Utf8;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(head);
    return utf8.hasError() ? SheetFileFormat::Encoding::Gbk : SheetFileFormat::Encoding::Utf8;
}

// The separator of the first line, quoted parts left out: a tab when there
// is one (tab-separated text saved as .xls), else the more frequent of comma
// and semicolon.
char16_t separatorOf(const QString &text)
{
    int tabs = 0, commas = 0, semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\n' || c == u'\r'))
            break;
        else if (!quoted && c == u'\t')
            ++tabs;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    if (tabs > 0)
        return u'\t';
    return semicolons > commas ? u';' : u',';
}

// The head as characters where separators and quotes can be counted: GBK
// and UTF-8 keep every ASCII byte for itself, UTF-16 must be decoded.
QString separatorText(const QByteArray &head, SheetFileFormat::Encoding encoding)
{
    if (encoding == SheetFileFormat::Encoding::Utf16)
        return QStringDecoder(QStringDecoder::Utf16LE).decode(head.mid(2));
    return QString::fromLatin1(head);
}

SheetFileFormat markup(const QByteArray &head)
{
    const QByteArray lower = head.left(8192).toLower();
    SheetFileFormat format;
    if (lower.contains("urn:schemas-microsoft-com:office:spreadsheet") && lower.contains("<workbook"))
        format.kind = SheetFileFormat::Kind::XmlSpreadsheet;
    else if (lower.contains("<table") || lower.contains("<html"))
        format.kind = SheetFileFormat::Kind::Html;
    return format;
}

} // namespace

SheetFileFormat SheetFileFormat::Of(const QByteArray &head, const QString &fileName)
{
    SheetFileFormat format;
    if (startsWith(head, "\xD0\xCF\x11\xE0", 4) || startsWith(head, "PK\x03\x04", 4))
        return format;
    if (head.startsWith("\xFF\xFE")) {
        format.kind = Kind::Text;
        format.encoding = Encoding::Utf16;
        format.separator = separatorOf(separatorText(head, format.encoding));
        return format;
    }
    const QByteArray body = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    if (body.trimmed().startsWith('<'))
        return markup(body);
    const bool csv = QFileInfo(fileName).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
    if (!csv && (head.isEmpty() || looksBinary(head)))
        return format;
    format.kind = Kind::Text;
    format.encoding = textEncoding(head);
    format.separator = separatorOf(separatorText(head, format.encoding));
    return format;
}

SheetFileFormat SheetFileFormat::OfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SheetFileFormat();
    return Of(file.read(kHeadBytes), path);
}

QString SheetFileFormat::TriedText()
{
    return QStringLiteral("已尝试的格式:Excel 97-2003 (.xls)、Excel 2007及以上 (.xlsx)、OpenDocument (.ods)、"
                          "网页表格 (HTML)、Excel 2003 XML、CSV或制表符分隔的文本 (UTF-8、GBK、UTF-16)。");
}

} // namespace quarvel
