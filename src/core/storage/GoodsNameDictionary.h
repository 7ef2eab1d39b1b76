#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace quarvel {

// One goods name of the dictionary: a short code and the Chinese and English
// names (GBK, as the file holds them).
struct GoodsNameEntry {
    QByteArray code;
    QByteArray chinese;
    QByteArray english;

    QString codeText() const;
    QString chineseText() const;
    QString englishText() const;
};

// The read-only goods-name dictionary DATA_SYS/tarvo7_0.dat: an 8-byte
// header, then 276-byte entries (number, code 16, Chinese name 128, English
// name 128; GBK, NUL-terminated). Three indexes sorted by code, Chinese and
// English name (ASCII case ignored) serve the suggestions while a goods name
// is typed and the translation of invoice descriptions.
class GoodsNameDictionary {
public:
    static constexpr int kHeaderBytes = 8;
    static constexpr int kEntryBytes = 276;
    static constexpr int kSuggestions = 4;
    static constexpr int kMaxTextBytes = 255;

    static QString fileName() { return QStringLiteral("DATA_SYS/tarvo7_0.dat"); }

    // Reads the file; a missing file leaves the dictionary empty (false), a
    // partial last entry is dropped.
    bool Load(const QString &path);
    // Takes the entries of a file's bytes.
    void LoadBytes(const QByteArray &bytes);
    int count() const { return int(entries_.size()); }
    const GoodsNameEntry &entry(int i) const { return entries_[std::size_t(i)]; }

    // Up to four entries for a typed text: by Chinese name prefix for a text
    // that starts with a Chinese character, by English name prefix for a
    // text longer than 7 characters, else by code prefix; without a prefix
    // hit, the names that contain the text.
    QList<const GoodsNameEntry *> Suggest(const QString &text) const;

    // The whole text looked up first, else word by word; words without a
    // translation are kept as they are. A bracketed remark ("茶叶(绿茶)") is
    // dropped before the look-up unless normalisation is switched off.
    QString ChineseToEnglish(const QString &text) const;
    QString EnglishToChinese(const QString &text) const;
    // Exact look-ups, ASCII case ignored; nothing when the name is unknown.
    std::optional<QString> EnglishOf(const QString &chinese) const;
    std::optional<QString> ChineseOf(const QString &english) const;

    void setNormalisationOff(bool off) { normalisationOff_ = off; }

    // A suggestion row: code, Chinese name, English name.
    static QString SuggestionText(const GoodsNameEntry &entry);
    // The name a picked suggestion puts into the field: in the language the
    // operator was typing (Chinese for a text that starts with a Chinese character).
    static QString PickedName(const GoodsNameEntry &entry, const QString &typed);

    // One entry as the file stores it (for the tools that build the file).
    static QByteArray EncodeEntry(int number, const QByteArray &code, const QByteArray &chinese,
                                  const QByteArray &english);

private:
    enum Key { Code, Chinese, English };

    const QByteArray &keyOf(const GoodsNameEntry &e, Key key) const;
    void buildIndexes();
    int prefixSearch(Key key, const QByteArray &typed) const;
    const GoodsNameEntry *exact(Key key, const QByteArray &text) const;
    QString translate(const QString &text, Key from, Key to, const QByteArray &separator) const;

    std::vector<GoodsNameEntry> entries_;
    std::vector<int> index_[3];
    bool normalisationOff_ = false;
};

} // namespace quarvel
