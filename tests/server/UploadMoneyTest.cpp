#include "DemoServer.h"
#include "UploadPayload.h"
#include "support/TarvoData.h"

#include <functional>

namespace {

class UploadMoney : public DemoServer {
protected:
    void SetUp() override
    {
        DemoServer::SetUp();
        sessions[0] = logIn("demo", "demo");
        sessions[1] = logIn("demopre", "demo");
    }

    // Uploads the call to the shipment records (target 1) or the pre-entries.
    QByteArray upload(const QByteArray &call, int target)
    {
        const QByteArray account = target == 1 ? "demo" : "demopre";
        return trans(request(account, sessions[target == 1 ? 0 : 1], "0", "7", "1", call));
    }
    QByteArray upload(const ShipmentValues &s, int target) { return upload(shipmentCall(s, target), target); }

    std::string stored(const QString &waybill) const
    {
        return TarvoData(server.dataFile())
            .text("SELECT (SELECT COUNT(*) FROM client_rec WHERE cnum = ?1) + "
                  "(SELECT COUNT(*) FROM rec_pre_input WHERE cnum = ?1)",
                  {waybill.toStdString()});
    }

    QByteArray sessions[2];
};

TEST_F(UploadMoney, NegativeAmountsAreRefusedAndNothingIsStored)
{
    using Change = std::function<void(ShipmentValues &)>;
    const std::pair<const char *, Change> amounts[] = {
        {"fee", [](ShipmentValues &s) { s.fee = -26.5; }},
        {"a cent", [](ShipmentValues &s) { s.fee = -0.01; }},
        {"declared value", [](ShipmentValues &s) { s.declare = -5000; }},
        {"insured value", [](ShipmentValues &s) { s.insure = -1; }},
        {"collect settled", [](ShipmentValues &s) { s.collectSettle = -20.25; }},
        {"cash on delivery", [](ShipmentValues &s) { s.cod = -99.5; }},
        {"cash on delivery settled", [](ShipmentValues &s) { s.codSettle = -0.5; }},
    };
    int n = 0;
    for (const auto &[what, change] : amounts) {
        for (const int target : {1, 2}) {
            ShipmentValues s;
            s.waybill = QStringLiteral("NEG%1").arg(++n);
            change(s);
            EXPECT_EQ(upload(s, target), "-1\n") << what << ", target " << target;
            EXPECT_EQ(stored(s.waybill), "0") << what;
        }
    }

    // With freight to collect the fee goes out a second time, as the amount
    // to collect: that one alone below zero.
    ShipmentValues s;
    s.waybill = QStringLiteral("NEGCOLLECT");
    for (const int target : {1, 2}) {
        QByteArray call = shipmentCall(s, target);
        const qsizetype collect = call.lastIndexOf(",26.50,");
        ASSERT_GT(collect, call.indexOf(",26.50,"));
        call.insert(collect + 1, '-');
        EXPECT_EQ(upload(call, target), "-1\n") << "target " << target;
        EXPECT_EQ(stored(s.waybill), "0");
    }
}

TEST_F(UploadMoney, ZeroAmountsAreTaken)
{
    ShipmentValues s;
    s.fee = 0;
    s.declare = s.insure = 0;
    s.collectSettle = s.cod = s.codSettle = 0;
    // A sum that lands a hair below zero is written "-0.00": no amount owed, taken as zero.
    s.cod = 0.1 + 0.2 - 0.3 - 1e-9;
    const QByteArray reply = upload(s, 1);
    EXPECT_GT(reply.trimmed().toInt(), 0) << reply.constData();
    EXPECT_EQ(stored(s.waybill), "1");
    s.waybill = QStringLiteral("ZERO2");
    EXPECT_GT(upload(s, 2).trimmed().toInt(), 0);
}

} // namespace
