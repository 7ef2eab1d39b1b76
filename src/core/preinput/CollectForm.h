#pragma once

namespace quarvel {

class Prompter;

// "到付运费及代收货款管理": the freight to collect and the cash on delivery
// of one shipment, with what of each is settled with the customer. The
// settled freight can be edited only for payment "到付".
class CollectForm {
public:
    CollectForm(double fee, double collectSettle, double cod, double codSettle, bool payOnDelivery);

    double fee() const { return fee_; }
    bool payOnDelivery() const { return payOnDelivery_; }
    bool collectSettleEditable() const { return payOnDelivery_; }

    double collectSettle = 0; // 向客户结算 (freight)
    double cod = 0;           // 代收总货款
    double codSettle = 0;     // 向客户结算 (COD)

    // "重写": both settlements and the COD total back to 0; the fee stays.
    void Clear();
    // "确定": refuses a settled freight above the fee or a settled COD above
    // the COD total (the dialog stays open); a settlement of 0 takes the
    // whole amount. True when the dialog may close.
    bool Confirm(Prompter &prompter);

private:
    double fee_;
    bool payOnDelivery_;
};

} // namespace quarvel
