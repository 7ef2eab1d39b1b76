#pragma once

#include <QString>

#include <array>

namespace quarvel {

// The kinds of template; the value is the kind's number in template lists
// and downloads (the hand-over manifest is the counter's own: downloads name
// only the first three).
enum class TemplateKind { Invoice = 0, Waybill = 1, Label = 2, Manifest = 3 };

// What belongs to each kind: the file prefix in DATA_MODEL, the name shown in
// the choice dialog, the template loaded at start-up and the message of an
// output that finds no template of the kind.
class TemplateKinds {
public:
    static constexpr int kCount = 4;
    static constexpr std::array<TemplateKind, kCount> kAll{TemplateKind::Invoice, TemplateKind::Waybill,
                                                           TemplateKind::Label, TemplateKind::Manifest};

    static QString Prefix(TemplateKind kind);
    static QString KindName(TemplateKind kind);
    static QString DefaultName(TemplateKind kind);
    static QString MissingText(TemplateKind kind);
    // The kind of a download entry's first character: '0' invoice, '1' waybill, any other label.
    static TemplateKind FromListCharacter(char c);
};

} // namespace quarvel
