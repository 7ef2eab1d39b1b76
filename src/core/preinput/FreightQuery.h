#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quarvel {

class BaseData;
class Prompter;
class ServerSession;
struct PreInputRecord;

// The freight of one shipment from the server (operation 3): the page's
// "费用:" and each record of a pricing job.
class FreightQuery {
public:
    static constexpr int kReplySize = 4096;

    // The values the page holds.
    struct Values {
        QString kindName;
        QString destination;
        double weight = 0; // kg
        int itemType = 0;
    };

    // Asks for the freight of the page's values: nothing without a session,
    // a weight or a destination; the express kind and the destination pass
    // the shared text check. The server's breakdown, when it sends one, is
    // shown under "报价查询结果". The freight when one above 0 came back.
    static std::optional<double> Ask(const ServerSession &session, const BaseData &baseData, Values values,
                                     Prompter &prompter);

    // The envelope for a stored record; empty when it has no weight, no
    // destination or an express kind the base data lacks.
    static QByteArray envelopeFor(const ServerSession &session, const BaseData &baseData, const PreInputRecord &r);
    // The breakdown text of a freight reply: after its first line feed, its
    // last character dropped, "<BR>" as line breaks; empty without one.
    static QString breakdown(const QByteArray &reply);
    // Hundredths of the freight the reply begins with, as the pricing job
    // stores them.
    static int cents(const QByteArray &reply);
};

} // namespace quarvel
