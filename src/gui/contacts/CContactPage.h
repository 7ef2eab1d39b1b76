#pragma once

#include "contacts/ContactForm.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quarvel {

class ClientContext;
class Prompter;

// The address-book form: one control per value of a ContactForm, the title
// line, "导出Excel表头" and "C", and the keyboard of the page (Enter moves
// on after the name and phone look-ups, arrows between fields, Ctrl+S saves,
// Esc does nothing). Every rule is the form's; this class copies values
// between the controls and the form.
class CContactPage : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 360;

    CContactPage(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    ContactForm &form() { return form_; }

    void NewContact();
    bool LoadContact(int iid);
    bool SaveContact();
    bool DeleteContact();
    void CopyAll();
    void PasteAll();

    void showValues();
    void readValues();

    // The control of a value by its record field name.
    QWidget *control(const QString &field) const { return controls_.value(field); }
    QLineEdit *edit(const QString &field) const;
    QLabel *titleLabel() const { return title_; }
    QPushButton *exportHeaderButton() const { return exportHeader_; }
    QPushButton *hideButton() const { return hideButton_; }

signals:
    void recordChanged(bool saved, const quarvel::ContactRecord &record);
    void hideRequested();
    void headerExportRequested();
    // Enter in the name or phone field showed another contact (or none).
    void lookedUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLayout();
    void showTitle();
    // Enter in the name or phone field: the look-up, then on like Tab.
    void lookUp(QWidget *field);

    ContactForm form_;
    QHash<QString, QWidget *> controls_;
    QList<QWidget *> tabOrder_;
    QLabel *title_ = nullptr;
    QPushButton *exportHeader_ = nullptr;
    QPushButton *hideButton_ = nullptr;
};

} // namespace quarvel
