#pragma once

#include "query/RecordQueryForm.h"

#include <QDialog>
#include <QHash>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace quarvel {

class BaseData;
class CLinkLabel;
class CSuggestionList;
class Prompter;
struct DestinationEntry;

// "快件记录查询条件输入": the record query dialog over its form. The captions
// "日期:", the date mode marker, "(渠道)类别:" and "标签:" work like links;
// the destination box offers destinations while typing. Enter and Down move
// to the next field, Up to the previous one, Esc does nothing.
class CRecordQueryDlg : public QDialog {
    Q_OBJECT

public:
    // Picks one text from a list under a title; empty when cancelled.
    using Chooser = std::function<QString(const QString &title, const QStringList &items)>;

    CRecordQueryDlg(RecordQueryForm &form, const BaseData &baseData, const QStringList &phrases, Prompter &prompter,
                    QWidget *parent = nullptr);

    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    // "确认查询", "重新输入" and the caption clicks, as the buttons run them.
    void Confirm();
    void Reset();
    void StepDates();
    void NextDateMode();
    void ChooseKind();
    void ChoosePhrase();

    QLineEdit *field(const QString &name) const;
    QCheckBox *box(const QString &name) const;
    QComboBox &state() { return *state_; }
    QComboBox &settlement() { return *settlement_; }
    CLinkLabel &modeMarker() { return *modeMarker_; }
    CSuggestionList &suggestions() { return *suggestions_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void showValues();
    void readValues();
    void suggest(const QString &text);
    bool takeDestination();
    QLineEdit *lineEdit(const QString &name, int maxChars);

    RecordQueryForm &form_;
    const BaseData &baseData_;
    QStringList phrases_;
    Prompter &prompter_;
    Chooser chooser_;
    QHash<QString, QLineEdit *> fields_;
    QHash<QString, QCheckBox *> boxes_;
    QComboBox *state_ = nullptr;
    QComboBox *settlement_ = nullptr;
    CLinkLabel *modeMarker_ = nullptr;
    CSuggestionList *suggestions_ = nullptr;
    QList<const DestinationEntry *> destinations_;
};

} // namespace quarvel
