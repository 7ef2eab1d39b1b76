#pragma once

#include "print/FieldVocabulary.h"
#include "print/PrintTemplate.h"

#include <QByteArray>

#include <array>
#include <optional>

namespace quarvel {

// Where every print field of every label on a sheet goes. A label template
// describes the top-left label in its spreadsheet and says with six keys how
// many labels stand across and down and how many columns and rows each
// takes with its gap; a field's cell on label L is its cell on label 0
// shifted by whole labels, labels numbered row by row. Keeps its own copy of
// the template, so a printing worker can take the layout as it is.
class LabelSheetLayout {
public:
    // The largest sheet: labels across are 1 or 2, labels down 1 to 100.
    static constexpr int kMaxAcross = 2;
    static constexpr int kMaxDown = 100;

    // Reads the keys and the list section of a label template; false (and
    // nothing changes) when the template has no spreadsheet.
    bool Build(const PrintTemplate &labelTemplate);
    // Back to the empty layout (no template, defaults).
    void Clear();
    bool IsValid() const { return template_.has_value(); }
    const PrintTemplate *labelTemplate() const { return template_ ? &*template_ : nullptr; }

    int LabelsPerSheet() const { return labelsAcross_ * labelsDown_; }
    // How many sheets a number of records fills.
    int SheetsFor(int records) const;
    // The cell of vocabulary index `index` on label `label` (0 = first of the
    // sheet); false when the layout is empty, the index is outside the
    // vocabulary, the template does not place the field, the label is not on
    // the sheet, or the cell would lie beyond the last row or column.
    bool PositionOf(int index, int label, int &column, int &row) const;
    // The same for a list-section name outside the vocabulary ("内单号39码").
    bool PositionOfName(const QByteArray &nameGbk, int label, int &column, int &row) const;

    int labelsAcross() const { return labelsAcross_; }
    int labelsDown() const { return labelsDown_; }
    int rowsPerLabel() const { return rowsPerLabel_; }
    int columnsPerLabel() const { return columnsPerLabel_; }
    int rowGap() const { return rowGap_; }
    int columnGap() const { return columnGap_; }

private:
    struct Base {
        int column = -1;
        int row = -1;
    };
    void readKeys(const PrintTemplate &labelTemplate);
    bool shift(Base base, int label, int &column, int &row) const;

    std::optional<PrintTemplate> template_;
    std::array<Base, FieldVocabulary::kCount> positions_{};
    int labelsDown_ = 1;
    int labelsAcross_ = 1;
    int rowsPerLabel_ = 1;
    int columnsPerLabel_ = 1;
    int rowGap_ = 0;
    int columnGap_ = 0;
};

} // namespace quarvel
