#pragma once

#include "preinput/PreInputControls.h"
#include "preinput/PreInputForm.h"

#include <QHash>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvel {

struct GoodsNameEntry;
class CLinkLabel;
class CSuggestionList;
class ClientContext;
class Prompter;

// The pre-entry form: one control per page value of a PreInputForm, the
// clickable captions, the lock markers, the suggestion lists for the
// destination and the address book, and the keyboard of the page (Enter
// moves on, arrows between fields, Ctrl+S saves). Every rule is the form's;
// this class copies values between the controls and the form.
class CPreInputPage : public QWidget {
    Q_OBJECT

public:
    // Picks one text from a list (the list chooser in the window).
    using Chooser = std::function<QString(const QString &title, const QStringList &items)>;
    // Runs a modal dialog; returns its result code.
    using DialogRunner = std::function<int(QDialog &dialog)>;

    static constexpr int kWidth = 640;

    CPreInputPage(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    PreInputForm &form() { return form_; }
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    void setDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

    void NewRecord();
    // Fresh base data: a new record without an express kind gets the first one.
    void BaseDataLoaded();
    bool LoadRecord(int iid);
    // Before leaving the shown record: asks about unsaved edits (save,
    // discard or stay); true when the page may go on.
    bool ConfirmLeave();
    // A worker changed stored record `iid`: shown again when the page shows
    // it and holds no edits of its own.
    void RecordChangedElsewhere(int iid);
    bool SaveRecord();
    bool DeleteRecord();
    void CopyAll();
    void PasteAll();

    // Copies the page values into the controls and back.
    void showValues();
    void readValues();

    // The control of a page value by its record field name.
    QWidget *control(const QString &field) const { return ui_.control(field); }
    QLineEdit *edit(const QString &field) const { return ui_.edit(field); }
    CLinkLabel *caption(const QString &text) const { return ui_.caption(text); }
    QLabel *lockMarker(PreInputForm::Lock lock) const { return ui_.lockMarker(lock); }
    QLabel *titleLabel() const { return ui_.title(); }
    QLabel *destinationIndicator() const { return ui_.indicator(); }
    CSuggestionList *suggestions() const { return suggestions_; }
    QCheckBox *unmarkedFilter() const { return ui_.unmarkedFilter(); }
    QCheckBox *markedFilter() const { return ui_.markedFilter(); }
    QPushButton *hideButton() const { return ui_.hideButton(); }

    void ToggleLock(PreInputForm::Lock lock);
    // The waybill number, or the destination while the number is locked.
    void FocusFirstField() { focusAfterSave(); }
    // A scale reading (grams) for the weight field; true when it was shown.
    bool ShowScaleReading(int grams);
    // Takes a scale weight out of the weight field again; true when done.
    bool WithdrawScaleReading();
    // Beside the weight field: whether the scale's weight has settled.
    QLabel *scaleIndicator() const { return ui_.scaleIndicator(); }

signals:
    void recordChanged(bool saved, const quarvel::PreInputRecord &record);
    void hideRequested();
    void filterModeChanged(int mode);
    // "费用:": the price of this shipment from the server.
    void priceRequested();
    // " $": the online quotation, after its own checks passed.
    void quotationRequested();
    // "导出Excel表头".
    void headerExportRequested();
    // The weight field gained (true) or lost the focus: scale readings.
    void weightFocusChanged(bool gained);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void connectCaptions();
    void bindCaptionKeys();
    void showClean();
    void showTitle();
    void showIndicator();
    void pickPhrase(PreInputForm::PhraseTarget target);
    void openCollect();
    void openPieces();
    void openGoods();
    void suggestDestinations(const QString &text);
    void suggestContacts(QLineEdit *field, const QString &text);
    void suggestGoods(const QString &text);
    bool takeGoods();
    bool takeDestination();
    bool takeContact(QWidget *field);
    void focusAfterSave();

    ClientContext &context_;
    Prompter &prompter_;
    PreInputForm form_;
    Chooser chooser_;
    DialogRunner runDialog_;
    PreInputControls ui_;
    CSuggestionList *suggestions_ = nullptr;
    QList<const DestinationEntry *> destinations_;
    QList<const ContactRecord *> contacts_;
    QList<const GoodsNameEntry *> goodsNames_;
};

} // namespace quarvel
