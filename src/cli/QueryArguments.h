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
// leaves its reason in `error`: an unknown name or option is a usage error,
// a value the dialog's boxes could not hold is refused.
class QueryArguments {
public:
    enum class Problem { None, Usage, Value };

    explicit QueryArguments(const QStringList &args);

    int page = 1;
    bool json = false;
    Problem problem = Problem::None;
    QString error;

    // Puts the pairs into the record query dialog's values:
    // num pieces from to datemode kind types des regions paystate payways
    // state settle sender depart receiver phone label wmin wmax fmin fmax.
    bool apply(RecordQueryForm &form, const BaseData &baseData);
    // invoice from to types min max operator.
    bool apply(FeeQueryForm &form);
    // For a list without a condition dialog: any pair is a usage error.
    bool expectNoPairs();

private:
    bool fail(const QString &why);
    bool refuse(const QString &why);
    // The weight and freight ranges: wmin wmax fmin fmax; false when the name is none of them.
    bool range(RecordQueryForm &form, const QString &name, const QString &value, bool &ok);
    // One NAME=VALUE of the record query dialog other than datemode.
    bool setValue(RecordQueryForm &form, const BaseData &baseData, const QString &name, const QString &value);
    bool number(const QString &name, const QString &text, int &out);
    bool real(const QString &name, const QString &text, double &out);
    // An index 0-14 of the record-state list, or one of its texts.
    bool stateChoice(const QString &text, int &out);
    // "0,2": the boxes of those indexes ticked, the others not.
    template <std::size_t N> bool ticks(const QString &name, const QString &text, std::array<bool, N> &out);

    QList<std::pair<QString, QString>> pairs_;
};

} // namespace quarvel
