#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace quarvel {

// One shipment as the server answers it for waybill printing (operation 7):
// each field between a BEL and its opening tag ("\a<SNAME>") and its
// closing tag and a BEL ("</SNAME>\a"). Fields are kept as the GBK bytes
// sent; a field that is absent reads as empty or 0.
class ServerRecord {
public:
    // Reads every "\a<TAG>value</TAG>\a" of the reply; unknown tags are kept too.
    static ServerRecord Parse(const QByteArray &reply);

    bool has(const char *tag) const { return fields_.contains(QByteArray(tag)); }
    QByteArray bytes(const char *tag) const { return fields_.value(QByteArray(tag)); }
    QString text(const char *tag) const;
    int integer(const char *tag) const;
    double real(const char *tag) const;
    int fieldCount() const { return int(fields_.size()); }

    // Sets a field (tests and the command line's own records).
    void set(const QByteArray &tag, const QByteArray &value) { fields_.insert(tag, value); }

private:
    QHash<QByteArray, QByteArray> fields_;
};

} // namespace quarvel
