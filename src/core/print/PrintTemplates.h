#pragma once

#include "print/InvoiceLayout.h"
#include "print/LabelSheetLayout.h"
#include "print/PrintTemplate.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace quarvel {

// The three template slots of the run (invoice, waybill, label), each empty
// or holding one loaded template, the invoice layout read from the invoice
// template and the label sheet layout read from the label template. Every
// start loads the defaults; a choice lasts until the program ends. Used on
// the user-interface thread; printing workers take copies.
class PrintTemplates {
public:
    explicit PrintTemplates(const QString &modelFolder = QString()) : folder_(modelFolder) {}
    void setFolder(const QString &modelFolder) { folder_ = modelFolder; }
    QString folder() const { return folder_; }
    // How a spreadsheet the signature test does not know is tried on the office.
    void setWorkbookCheck(PrintTemplate::WorkbookCheck check) { check_ = std::move(check); }
    const PrintTemplate::WorkbookCheck &workbookCheck() const { return check_; }

    // The start-up step: the default template of each kind, in kind order;
    // a template that cannot be loaded leaves its slot empty, silently.
    void LoadDefaultTemplates();
    // Loads the named template of a kind into its slot; on failure the slot
    // keeps what it had and "模版加载失败，选择未完成。" is the message.
    bool ChooseTemplate(TemplateKind kind, const QString &name, QString *message = nullptr);

    const PrintTemplate *slot(TemplateKind kind) const;
    const InvoiceLayout &invoiceLayout() const { return invoiceLayout_; }
    const LabelSheetLayout &labelLayout() const { return labelLayout_; }
    // Called after a label template was loaded (the label sheet layout is rebuilt there).
    void setLabelTemplateLoaded(std::function<void(const PrintTemplate &)> rebuild)
    {
        labelLoaded_ = std::move(rebuild);
    }

    static QString LoadFailedText() { return QStringLiteral("模版加载失败，选择未完成。"); }

private:
    void install(PrintTemplate loaded);

    QString folder_;
    PrintTemplate::WorkbookCheck check_;
    std::array<std::optional<PrintTemplate>, TemplateKinds::kCount> slots_;
    InvoiceLayout invoiceLayout_;
    LabelSheetLayout labelLayout_;
    std::function<void(const PrintTemplate &)> labelLoaded_;
};

} // namespace quarvel
