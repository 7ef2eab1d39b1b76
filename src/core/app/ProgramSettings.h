#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

// What the operator sets once (prgset.dat beside the program, exactly 1364
// bytes, texts UTF-16 little-endian): the program number that tells several
// clients of one customer apart, and the default origin, department and
// sender that new pre-entry records start with.
class ProgramSettings {
public:
    static constexpr int kFileSize = 1364;

    struct Field {
        QString ProgramSettings::*member;
        int offset;
        int bytes;
        int maxChars; // what the dialog accepts
    };
    static const Field kFields[12];

    int programNumber = 0; // 0-9
    QString origin;
    QString senderName;
    QString department;
    QString phone;
    QString postcode;
    QString company;
    QString address;
    QString country;
    QString province;
    QString city;
    QString mail;
    QString sms;

    // Any file that is missing or not exactly 1364 bytes gives empty defaults.
    // Returns what is wrong with a file that is there but damaged (empty when
    // it is missing or sound); a damaged value keeps its default.
    QString Load(const QString &path);
    // What is wrong with the 1364 bytes of a file, or an empty text.
    static QString Damage(const QByteArray &bytes);
    bool Save(const QString &path) const;
    QByteArray ToBytes() const;
    void FromBytes(const QByteArray &bytes);
    // A program number outside 0-9 becomes 0.
    static int NormalisedProgramNumber(int number) { return number >= 0 && number <= 9 ? number : 0; }
};

} // namespace quarvel
