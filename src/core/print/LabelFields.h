#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace quarvel {

class BaseData;
class PrintTemplate;
struct PreInputRecord;

// The texts one label of a label sheet receives, in the order they are
// written: vocabulary fields by index and a few cells the list section names
// outside the vocabulary ("内单号39码", "网络渠道", "发件人姓名", "收件人姓名").
// Labels have their own rules beside the waybill's: sender and receiver
// patterns, upper case and line-break options from the template, the
// waybill number as a Code-39 barcode, names instead of check marks. A text
// is written even when it is empty, so that no sample text of the template
// shows through; only empty phones, postcodes and SMS numbers are left out.
// Built on the user-interface thread, so a printing worker reads no record file.
class LabelFields {
public:
    // What the label template says about the texts.
    struct Options {
        bool upperCase = false;
        bool breaksToBlanks = false;
        QString senderPattern;
        QString receiverPattern;

        // "全部转换大写=1", "换行转空格=1" and the sections "发件人定义" and
        // "收件人定义" (carriage returns removed).
        static Options Of(const PrintTemplate &labelTemplate);
    };
    // One cell of the label: a vocabulary index, or -1 and a list-section name.
    struct Write {
        int index = -1;
        QByteArray nameGbk;
        QString text;
    };
    // One side of the shipment with the options applied.
    struct Party {
        QString name;
        QString corp;
        QString address;
        QString phone;
        QString zip;
        QString country;
        QString province;
        QString city;
    };

    static LabelFields FromRecord(const PreInputRecord &record, const Options &options, const QString &account,
                                  const BaseData &baseData);

    const QList<Write> &writes() const { return writes_; }
    // The record's waybill number (for the ledger and the document's title).
    const QString &number() const { return number_; }
    // The text written for an index or a name; null when the label writes nothing there.
    QString text(int index) const;
    QString text(const QString &name) const;

    // The pattern with the party's values; the sender's name alone when the
    // pattern has fewer than 6 characters.
    static QString SenderText(const QString &pattern, const Party &sender);
    // The same for the receiver, whose pattern may also name "[目的地]".
    static QString ReceiverText(const QString &pattern, const Party &receiver, const QString &destination);

private:
    void add(int index, const QString &text);
    // Phones, postcodes and SMS numbers: by the numeric text rule, and only when there is one.
    void addNumber(int index, const QString &text);
    void addNamed(const QString &name, const QString &text);
    void addParty(int first, const Party &party);
    void addAddressLines(int first, const QByteArray &address);

    QList<Write> writes_;
    QString number_;
};

} // namespace quarvel
