#include "print/PrintTemplate.h"

#include "excel/ExcelSession.h"
#include "net/ReplyText.h"
#include "print/TemplateFiles.h"
#include "print/WorkbookSignature.h"
#include "text/Gbk.h"

#include <QFile>

namespace quarvel {

namespace {

QByteArray gbk(const char16_t *text)
{
    return Gbk::fromUnicode(QString::fromUtf16(text));
}

// The fixed words of the grammar in GBK, converted once.
const QByteArray &listStart()
{
    static const QByteArray marker = gbk(u"<列表定义开始>");
    return marker;
}

const QByteArray &listEnd()
{
    static const QByteArray marker = gbk(u"<列表定义结束>");
    return marker;
}

const QByteArray &sectionStart()
{
    static const QByteArray word = gbk(u"开始>");
    return word;
}

const QByteArray &sectionEnd()
{
    static const QByteArray word = gbk(u"结束>");
    return word;
}

// The whole file, or nothing when it cannot be read or is larger than limit.
bool readWhole(const QString &path, qint64 limit, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size > limit)
        return false;
    bytes = file.read(limit + 1);
    return bytes.size() <= limit;
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// "B3", "AB12": the column from one or two upper-case letters and the
// decimal row after them; 0 for a part that is missing or out of range.
void readCellReference(const QByteArray &text, qsizetype at, int &column, int &row)
{
    column = 0;
    row = 0;
    if (at >= text.size() || !isUpper(text[at]))
        return;
    column = text[at] - 64;
    ++at;
    if (at < text.size() && isUpper(text[at])) {
        column = 26 * column + (text[at] - 64);
        ++at;
    }
    qint64 value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > ExcelSession::kMaxRows)
            return;
    }
    row = int(value);
}

} // namespace

PrintTemplate::PrintTemplate(TemplateKind kind, const QString &name)
    : kind_(kind), name_(name), nameGbk_(Gbk::fromUnicode(name))
{
}

bool PrintTemplate::IsValidName(const QByteArray &nameGbk)
{
    if (nameGbk.isEmpty() || nameGbk.size() > kMaxNameBytes || nameGbk.contains("..") || nameGbk.trimmed().isEmpty())
        return false;
    for (const char c : nameGbk)
        if (static_cast<unsigned char>(c) < 0x20 || c == '/' || c == '\\' || c == 0x7F)
            return false;
    return !Gbk::toUnicode(nameGbk).contains(QChar::ReplacementCharacter);
}

bool PrintTemplate::LooksLikeWorkbook(const QByteArray &bytes)
{
    return WorkbookSignature::Matches(bytes);
}

bool PrintTemplate::IsWorkbook(const QByteArray &bytes, const WorkbookCheck &officeOpens)
{
    return LooksLikeWorkbook(bytes) || (officeOpens && officeOpens(bytes));
}

bool PrintTemplate::LoadTemplate(const QString &modelFolder, const WorkbookCheck &officeOpens)
{
    if (!IsValidName(nameGbk_))
        return false;
    QByteArray definition;
    QByteArray spreadsheet;
    if (!readWhole(TemplateFiles::DefinitionPath(modelFolder, kind_, name_), kMaxDefinitionBytes, definition) ||
        !readWhole(TemplateFiles::SpreadsheetPath(modelFolder, kind_, name_), kMaxSpreadsheetBytes, spreadsheet) ||
        !IsWorkbook(spreadsheet, officeOpens))
        return false;
    SetContent(definition, spreadsheet);
    return true;
}

void PrintTemplate::SetContent(const QByteArray &definitionText, const QByteArray &spreadsheet)
{
    definition_ = definitionText;
    spreadsheet_ = spreadsheet;
    ParseDefinitions();
}

bool PrintTemplate::ParseDefinitions()
{
    cells_.clear();
    if (definition_.isEmpty())
        return true;
    const QByteArray &start = listStart();
    const QByteArray &end = listEnd();
    const qsizetype from = definition_.indexOf(start);
    const qsizetype to = definition_.indexOf(end);
    if (from >= 0 && to > from)
        parseListSection(definition_.mid(from + start.size(), to - from - start.size()));
    return true;
}

void PrintTemplate::parseListSection(const QByteArray &section)
{
    qsizetype begin = 0;
    while (begin < section.size()) {
        qsizetype end = begin;
        while (end < section.size() && section[end] != '\r' && section[end] != '\n')
            ++end;
        if (!parseListLine(section.mid(begin, end - begin)))
            return;
        begin = end + 1;
    }
}

// One line of the list section; false when a quoted name is not closed by a
// quote and "=", which ends the reading of the section.
bool PrintTemplate::parseListLine(const QByteArray &line)
{
    qsizetype eq = line.indexOf('=');
    if (eq < 0 || line.startsWith('#'))
        return true;
    QByteArray name;
    if (line.startsWith('"')) {
        const qsizetype close = line.indexOf('"', 1);
        if (close < 0 || close + 1 >= line.size() || line[close + 1] != '=')
            return false;
        name = line.mid(1, close - 1);
        eq = close + 1;
    } else {
        name = line.left(eq);
        while (!name.isEmpty() && (name.endsWith(' ') || name.endsWith('\t')))
            name.chop(1);
    }
    int column = 0;
    int row = 0;
    readCellReference(line, eq + 1, column, row);
    if (name.isEmpty() || name.size() > kMaxCellNameBytes || column < 1 || row < 1 ||
        column > ExcelSession::kMaxColumns)
        return true;
    cells_.append({row, column, name});
    return true;
}

int PrintTemplate::GetNumber(const QByteArray &key) const
{
    if (key.isEmpty())
        return -1;
    const qsizetype at = definition_.indexOf(key);
    if (at < 0 || (at > 0 && definition_[at - 1] == '#'))
        return -1;
    const qsizetype eq = definition_.indexOf('=', at + key.size());
    if (eq < 0)
        return -1;
    return ReplyText::integer(definition_, eq + 1);
}

QString PrintTemplate::GetSection(const QByteArray &name) const
{
    const QByteArray start = '<' + name + sectionStart();
    const QByteArray end = '<' + name + sectionEnd();
    const qsizetype from = definition_.indexOf(start);
    if (name.isEmpty() || from < 0)
        return QString();
    const qsizetype body = from + start.size();
    const qsizetype to = definition_.indexOf(end, body);
    if (to < 0)
        return QString();
    return Gbk::toUnicode(definition_.mid(body, to - body)).trimmed();
}

bool PrintTemplate::FindListCell(const QByteArray &name, int &column, int &row) const
{
    for (const TemplateCell &cell : cells_)
        if (cell.name == name) {
            column = cell.column;
            row = cell.row;
            return true;
        }
    return false;
}

} // namespace quarvel
