#pragma once

#include "scan/CheckForm.h"
#include "scan/ScanEntry.h"

#include <QElapsedTimer>
#include <QHash>
#include <QWidget>

#include <array>
#include <functional>

class QButtonGroup;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quarvel {

class CLinkLabel;
class ClientContext;
class Prompter;

// The checkpoint scan form (dialog 144): one control per value of a
// CheckForm, the clickable captions, and the keyboard of a scanner: Enter in
// the waybill field saves the scan and empties the field, which keeps the
// focus. A scanner's entry is told from a typed one by its timing: its
// refusal is shown on the page (colour, sound, the count of this session's
// scans) and never in a message box that would swallow the next scan's keys;
// a typed entry gets the form's message boxes.
class CCheckPage : public QWidget {
    Q_OBJECT

public:
    using Chooser = std::function<QString(const QString &title, const QStringList &items)>;

    static constexpr int kWidth = 420;
    static constexpr unsigned kAcceptedColor = 0x008000;
    static constexpr unsigned kRefusedColor = 0xFFFFFF;
    static constexpr unsigned kRefusedBackground = 0xD00000;

    CCheckPage(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);

    CheckForm &form() { return form_; }
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    void NewScan();
    bool LoadScan(int iid);
    // Ctrl+S and the frame's save: a typed save with message boxes.
    bool SaveScan();
    bool DeleteScan();

    void showValues();
    void readValues();

    QLineEdit *numberField() const { return number_; }
    QLineEdit *field(const QString &name) const { return fields_.value(name); }
    QRadioButton *versionButton(int version) const { return versionButtons_[version]; }
    QRadioButton *categoryButton(int category) const { return categoryButtons_[category]; }
    QComboBox *exceptionBox() const { return exception_; }
    CLinkLabel *caption(const QString &text) const { return captions_.value(text); }
    QLabel *titleLabel() const { return title_; }
    QLabel *lockMarker() const { return lock_; }
    QLabel *countLabel() const { return count_; }
    QLabel *resultLabel() const { return result_; }
    QPushButton *hideButton() const { return hideButton_; }

    // Scans saved and scans refused since the page was made.
    int sessionScans() const { return sessionScans_; }
    int sessionRefusals() const { return sessionRefusals_; }
    QString lastRefusal() const { return lastRefusal_; }

signals:
    void recordChanged(quarvel::CheckForm::Change change, const quarvel::CheckRecord &record);
    void hideRequested();
    // A scan was refused: the text shown (for the sound and for tests).
    void scanRefused(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLayout();
    void connectCaptions();
    CLinkLabel *link(const QString &text);
    QLineEdit *lineEdit(const QString &name, int maxChars);
    void chooseCategory(int category);
    void pickPhrase(CheckForm::PhraseTarget target);
    void showStates();
    bool numberKey(QKeyEvent *key);
    void numberEdited();
    void scanEntered();
    void accepted(const QString &number);
    void refused(const QString &number, const QString &text);
    void showCounts();
    void focusNumber();
    qint64 keyTime(const QKeyEvent *key) const;
    // Keeps the time of a new scan current while the page waits for the next.
    void tickTime();

    ClientContext &context_;
    Prompter &prompter_;
    CheckForm form_;
    ScanEntry entry_;
    QElapsedTimer clock_;
    qint64 lastKey_ = 0;
    Chooser chooser_;
    QHash<QString, QLineEdit *> fields_;
    QHash<QString, CLinkLabel *> captions_;
    QLineEdit *number_ = nullptr;
    std::array<QRadioButton *, 3> versionButtons_{};
    std::array<QRadioButton *, CheckValues::kCategories> categoryButtons_{};
    QButtonGroup *versions_ = nullptr;
    QButtonGroup *categories_ = nullptr;
    QComboBox *exception_ = nullptr;
    CLinkLabel *flight_ = nullptr;
    CLinkLabel *signerCaption_ = nullptr;
    CLinkLabel *mode_ = nullptr;
    QLabel *lock_ = nullptr;
    QLabel *title_ = nullptr;
    QLabel *count_ = nullptr;
    QLabel *result_ = nullptr;
    QPushButton *hideButton_ = nullptr;
    int sessionScans_ = 0;
    int sessionRefusals_ = 0;
    QString lastRefusal_;
};

} // namespace quarvel
