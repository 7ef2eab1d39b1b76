#pragma once

#include "scale/ScaleDetector.h"
#include "scale/ScaleLink.h"
#include "scale/ScaleSettingsForm.h"
#include "scale/ScaleSettle.h"

#include <QByteArray>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace quarvel {

class ClientContext;
class Prompter;

// "本机电子磅秤参数设定": every scale setting, saving them, and a live test
// with the values as they stand in the dialog (saved or not): "获取读数"
// takes one weight (the one the page would take) or gives up after the time
// quarvelctl's scale read waits, "同步称重" shows the weight as it comes
// until "停止同步", and "识别" listens a few seconds and proposes the frame
// format. The mark beside the weight says what the scale shows.
class CScaleDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDetectMs = 5000;
    static constexpr int kReadMs = ScaleLink::kReadSeconds * 1000;

    CScaleDlg(ClientContext &context, Prompter &prompter, QWidget *parent = nullptr);
    ~CScaleDlg() override;

    ScaleSettingsForm &form() { return form_; }
    void setDetectMs(int ms) { detectMs_ = ms; }
    void setReadMs(int ms) { readMs_ = ms; }

    QCheckBox *enabledBox() const { return enabled_; }
    QComboBox *portBox() const { return port_; }
    QComboBox *baudBox() const { return baud_; }
    QComboBox *dataBitsBox() const { return dataBits_; }
    QComboBox *parityBox() const { return parity_; }
    QComboBox *stopBitsBox() const { return stopBits_; }
    QComboBox *typeBox() const { return type_; }
    QRadioButton *continuousButton() const { return continuous_; }
    QRadioButton *onStableButton() const { return onStable_; }
    QLineEdit *dataLengthBox() const { return dataLength_; }
    QLineEdit *startBox() const { return start_; }
    QLineEdit *weightBox() const { return weight_; }
    QLabel *settleMark() const { return settleMark_; }
    QLabel *testStatus() const { return testStatus_; }
    QPushButton *readButton() const { return read_; }
    QPushButton *syncButton() const { return sync_; }
    QPushButton *detectButton() const { return detect_; }
    QPushButton *saveButton() const { return save_; }
    QPushButton *exitButton() const { return exit_; }
    bool syncing() const { return syncing_; }
    bool detecting() const;
    bool readingOnce() const { return once_; }

    void showValues();
    void readValues();
    // "保存设定".
    bool Save();
    // "获取读数": one weight with the values shown.
    void ReadOnce();
    // "同步称重" / "停止同步".
    void ToggleSync();
    // "识别": listens, then proposes.
    void StartDetection();
    // "结束退出": closes the port and the dialog.
    void Exit();

    void done(int result) override;

private:
    void buildControls();
    void buildLayout();
    bool openTest(bool raw);
    void startCounting();
    void reading(const ScaleReading &reading);
    void lost(const QString &reason);
    void readTimedOut();
    void applyGuess(const ScaleDetector::Guess &guess);
    void applyParity(const ScaleParity::Hint &hint);
    void finishDetection();
    void stopTest();
    void setTestStatus(const QString &text, unsigned rgb);
    void showSettle();

    ClientContext &context_;
    ScaleLink &link_;
    Prompter &prompter_;
    ScaleSettingsForm form_;
    ScaleSettle settle_;
    QCheckBox *enabled_ = nullptr;
    QComboBox *port_ = nullptr;
    QComboBox *baud_ = nullptr;
    QComboBox *dataBits_ = nullptr;
    QComboBox *parity_ = nullptr;
    QComboBox *stopBits_ = nullptr;
    QComboBox *type_ = nullptr;
    QRadioButton *continuous_ = nullptr;
    QRadioButton *onStable_ = nullptr;
    QLineEdit *dataLength_ = nullptr;
    QLineEdit *start_ = nullptr;
    QLineEdit *weight_ = nullptr;
    QLabel *settleMark_ = nullptr;
    QLabel *testStatus_ = nullptr;
    QPushButton *read_ = nullptr;
    QPushButton *sync_ = nullptr;
    QPushButton *detect_ = nullptr;
    QPushButton *save_ = nullptr;
    QPushButton *exit_ = nullptr;
    QTimer *detectTimer_ = nullptr;
    QTimer *readTimer_ = nullptr;
    ScaleSettingsForm::Choice testChoice_;
    QByteArray heard_;
    int detectMs_ = kDetectMs;
    int readMs_ = kReadMs;
    int readings_ = 0;
    unsigned statusColour_ = 0xFFFFFFFF;
    bool once_ = false;
    bool syncing_ = false;
};

} // namespace quarvel
