#pragma once

#include "print/TemplateCell.h"
#include "print/TemplateKind.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace quarvel {

// One loaded template: the bytes of its spreadsheet and of its definition
// text, and the cells of the definition's list section. Definition texts are
// GBK, written by hand or downloaded; whatever they hold, reading them never
// goes outside the text and a line that does not fit the grammar is skipped.
// A value type: a printing worker takes its own copy.
class PrintTemplate {
public:
    static constexpr int kMaxNameBytes = 31;
    static constexpr int kMaxCellNameBytes = 255;
    // Larger files are not templates; they are refused rather than read.
    static constexpr qint64 kMaxDefinitionBytes = 1 << 20;
    static constexpr qint64 kMaxSpreadsheetBytes = 16 << 20;

    // Asked about a spreadsheet the signature test does not know: whether
    // the office opens it as a workbook.
    using WorkbookCheck = std::function<bool(const QByteArray &spreadsheet)>;

    PrintTemplate(TemplateKind kind, const QString &name);

    TemplateKind kind() const { return kind_; }
    QString name() const { return name_; }
    QByteArray nameGbk() const { return nameGbk_; }

    // Reads the ".txt" and then the ".xls" of the template from the folder
    // (DATA_MODEL) and parses the definitions; false when either cannot be
    // read, is too large, the ".xls" is no workbook the office can open, or
    // the name is no template name.
    bool LoadTemplate(const QString &modelFolder, const WorkbookCheck &officeOpens = {});
    // Takes the bytes directly (the definition text without terminators).
    void SetContent(const QByteArray &definitionText, const QByteArray &spreadsheet);
    // Reads the list section of the definition text into the cell list.
    bool ParseDefinitions();

    // The number after the "=" that follows the first occurrence of the key;
    // -1 when the key is absent, commented out by a "#" before it, or no "=" follows.
    int GetNumber(const QByteArray &key) const;
    // The text between "<NAME开始>" and the next "<NAME结束>", trimmed; empty when a marker is missing.
    QString GetSection(const QByteArray &name) const;
    // The first list cell of exactly that name.
    bool FindListCell(const QByteArray &name, int &column, int &row) const;

    bool HasSpreadsheet() const { return !spreadsheet_.isEmpty(); }
    bool HasDefinitionText() const { return !definition_.isEmpty(); }
    const QByteArray &spreadsheet() const { return spreadsheet_; }
    const QByteArray &definitionText() const { return definition_; }
    const QList<TemplateCell> &listCells() const { return cells_; }

    // True for a name a template file may carry: 1 to 31 GBK bytes, no path
    // separator, no "..", no control characters.
    static bool IsValidName(const QByteArray &nameGbk);
    // Whether the bytes are a workbook (WorkbookSignature).
    static bool LooksLikeWorkbook(const QByteArray &bytes);
    // A workbook by its signature, or else one the office opens; checking
    // the signature first keeps the office from starting for the usual ones.
    static bool IsWorkbook(const QByteArray &bytes, const WorkbookCheck &officeOpens);

private:
    void parseListSection(const QByteArray &section);
    bool parseListLine(const QByteArray &line);

    TemplateKind kind_;
    QString name_;
    QByteArray nameGbk_;
    QByteArray definition_;
    QByteArray spreadsheet_;
    QList<TemplateCell> cells_;
};

} // namespace quarvel
