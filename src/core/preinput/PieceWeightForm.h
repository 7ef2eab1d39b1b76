#pragma once

#include "storage/WeightRecord.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace quarvel {

class Prompter;

// "一票多件明细重量管理": the pieces of one shipment, edited in place in the
// page's own list. The entry fields describe the current piece; confirming
// stores it (and, for a new piece, as many equal copies as asked, never more
// than the pieces still missing) and moves on to the next piece.
class PieceWeightForm {
public:
    static constexpr unsigned kGreen = 0x008000;
    static constexpr unsigned kDarkRed = 0x800000;
    static constexpr unsigned kOlive = 0x808000;

    struct Entry {
        QString weight; // kg, as typed ("" after a clear)
        int length = 0;
        int width = 0;
        int height = 0;
        int share = 100; // percent of the volumetric weight charged, 0-255
        int copies = 1;
        QString name;
        int quantity = 1;
        double price = 1.0;
    };

    enum class Outcome {
        Stored,    // the piece was stored and the entry moved on
        Unchanged, // an existing piece confirmed without a change
        Refused,   // the goods name failed its check (message shown)
        NoWeight,  // neither weight nor volume: focus back to the weight
    };

    // `pieces` is the page's piece count; 0 or less counts as 1.
    PieceWeightForm(std::vector<WeightRecord> &lines, int pieces, bool modeD, Prompter &prompter);

    Entry entry;

    int pieceCount() const { return pieces_; }
    int currentIndex() const { return current_; }
    bool newLine() const { return newLine_; }
    bool changed() const { return changed_; }
    bool modeD() const { return modeD_; }
    const std::vector<WeightRecord> &lines() const { return lines_; }

    // Rebuilds the total and moves the entry to the next piece: the first
    // missing one, else the line after the current one (cycling over N).
    void Refill();
    // A double-click on a list row.
    void Select(int row);
    // "重  输 &D": empties the entry (share, index and new line stay).
    void ClearEntry();
    // "确认当前件&S" (and the first step of "确认数据关闭&C").
    Outcome Confirm();

    // Displays.
    QString titleText() const; // "第% 2d 件/共% 2d 件"
    unsigned titleColor() const { return newLine_ ? kGreen : kDarkRed; }
    QString divisorText() const { return modeD_ ? QStringLiteral("÷5000") : QStringLiteral("÷6000"); }
    unsigned divisorColor() const { return modeD_ ? kOlive : kGreen; }
    QString volumeText() const; // "体积重:%.3f公斤" of the entry's dimensions
    QString totalText() const;  // "累计重量：%.3f公斤"
    int totalGrams() const { return total_; }
    static QStringList headers();
    QStringList rowCells(int row) const;

    // The sum of the chargeable weights of all lines, in grams.
    static long long TotalGrams(const std::vector<WeightRecord> &lines, bool modeD);

private:
    void loadEntry(int row);
    WeightRecord entryPiece(int grams) const;

    std::vector<WeightRecord> &lines_;
    int pieces_;
    bool modeD_;
    Prompter &prompter_;
    int current_ = -1;
    bool newLine_ = true;
    bool changed_ = false;
    int total_ = 0;
};

} // namespace quarvel
