#include "preinput/CollectForm.h"

#include "app/Prompter.h"

#include <QString>

namespace quarvel {

CollectForm::CollectForm(double fee, double collectSettle_, double cod_, double codSettle_, bool payOnDelivery)
    : collectSettle(payOnDelivery ? collectSettle_ : 0), cod(cod_), codSettle(codSettle_), fee_(fee),
      payOnDelivery_(payOnDelivery)
{
}

void CollectForm::Clear()
{
    collectSettle = 0;
    cod = 0;
    codSettle = 0;
}

bool CollectForm::Confirm(Prompter &prompter)
{
    if (payOnDelivery_) {
        if (collectSettle > fee_) {
            prompter.error(QString(), QStringLiteral("到付运费错误：下家结算小于向客户返款。"));
            return false;
        }
        if (collectSettle == 0)
            collectSettle = fee_;
    } else {
        collectSettle = 0;
    }
    if (codSettle > cod) {
        prompter.error(QString(), QStringLiteral("返还客户货款错误：大于实收代收货款。"));
        return false;
    }
    if (codSettle == 0)
        codSettle = cod;
    return true;
}

} // namespace quarvel
