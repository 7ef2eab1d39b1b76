#include "print/PrintTemplates.h"

namespace quarvel {

void PrintTemplates::LoadDefaultTemplates()
{
    for (const TemplateKind kind : TemplateKinds::kAll) {
        PrintTemplate loaded(kind, TemplateKinds::DefaultName(kind));
        if (loaded.LoadTemplate(folder_, check_))
            install(std::move(loaded));
    }
}

bool PrintTemplates::ChooseTemplate(TemplateKind kind, const QString &name, QString *message)
{
    PrintTemplate loaded(kind, name);
    if (name.isEmpty() || !loaded.LoadTemplate(folder_, check_)) {
        if (message)
            *message = LoadFailedText();
        return false;
    }
    install(std::move(loaded));
    return true;
}

void PrintTemplates::install(PrintTemplate loaded)
{
    const TemplateKind kind = loaded.kind();
    std::optional<PrintTemplate> &target = slots_[std::size_t(kind)];
    target = std::move(loaded);
    if (kind == TemplateKind::Invoice)
        invoiceLayout_.Rebuild(&*target);
    else if (kind == TemplateKind::Label) {
        labelLayout_.Clear();
        labelLayout_.Build(*target);
        if (labelLoaded_)
            labelLoaded_(*target);
    }
}

const PrintTemplate *PrintTemplates::slot(TemplateKind kind) const
{
    const std::optional<PrintTemplate> &s = slots_[std::size_t(kind)];
    return s ? &*s : nullptr;
}

} // namespace quarvel
