#pragma once

#include <QString>
#include <QStringList>

namespace quarvel {

// The operator's frequently used phrases (prompt.dat beside the program:
// UTF-16 little-endian without byte-order mark, one phrase a line), offered
// while typing remarks and similar fields.
class PromptPhrases {
public:
    static constexpr int kMaxChars = 63999;

    // Phrases up to the first line shorter than two characters (counting its
    // carriage return, so an empty line ends the list). Phrases are kept
    // without the line break, so the text written back never grows.
    static QStringList ParsePromptPhrases(const QString &text);
    // The text the dialog shows: each phrase followed by CR LF.
    static QString Join(const QStringList &phrases);

    // Returns what is wrong with a file that is there but damaged (empty when
    // it is missing or sound); the phrases before the damage are kept.
    QString Load(const QString &path);
    // The text of the file's bytes up to the first damage, and what it is.
    static QString Decode(const QByteArray &bytes, QString *damage);
    bool Save(const QString &path, const QString &text);
    const QStringList &phrases() const { return phrases_; }

private:
    QStringList phrases_;
};

} // namespace quarvel
