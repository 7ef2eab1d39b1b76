#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace quarvel {

class BaseData;
class FeeQueryForm;
class RecordQueryForm;

// The arguments of the query commands: NAME=VALUE pairs with the condition
// dialogs' values, and the options --page N and --json. A wrong argument
// leaves its reason in `error`.
class QueryArguments {
public:
    explicit QueryArguments(const QStringList &args);

    int page = 1;
    bool json = false;
    QString error;

    // Puts the pairs into the record query dialog's values:
    // num pieces from to datemode kind types des regions paystate payways
    // state settle sender depart receiver phone label.
    bool apply(RecordQueryForm &form, const BaseData &baseData);
    // invoice from to types min max operator.
    bool apply(FeeQueryForm &form);

private:
    bool fail(const QString &why);
    bool number(const QString &name, const QString &text, int &out);
    bool real(const QString &name, const QString &text, double &out);
    // An index 0-14 of the record-state list, or one of its texts.
    bool stateChoice(const QString &text, int &out);
    // "0,2": the boxes of those indexes ticked, the others not.
    template <std::size_t N> bool ticks(const QString &name, const QString &text, std::array<bool, N> &out);

    QList<std::pair<QString, QString>> pairs_;
};

} // namespace quarvel
