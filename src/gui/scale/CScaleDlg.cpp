#include "scale/CScaleDlg.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "shell/FormKeys.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quarvel {

namespace {

constexpr qsizetype kMostHeard = 64 * 1024;
constexpr unsigned kTestColor = 0x000080;
constexpr unsigned kFailureColor = 0xFF0000;

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

QComboBox *combo(const QStringList &items, bool editable, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->addItems(items);
    box->setEditable(editable);
    if (editable)
        box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

} // namespace

CScaleDlg::CScaleDlg(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QDialog(parent), context_(context), link_(context.scale()), prompter_(prompter), form_(context, prompter)
{
    setWindowTitle(QStringLiteral("本机电子磅秤参数设定"));
    buildControls();
    buildLayout();
    showValues();
    detectTimer_ = new QTimer(this);
    detectTimer_->setSingleShot(true);
    connect(detectTimer_, &QTimer::timeout, this, &CScaleDlg::finishDetection);
    readTimer_ = new QTimer(this);
    readTimer_->setSingleShot(true);
    connect(readTimer_, &QTimer::timeout, this, &CScaleDlg::readTimedOut);
    FormKeys::Install(this);
}

CScaleDlg::~CScaleDlg()
{
    link_.CloseScale(this);
}

void CScaleDlg::buildControls()
{
    enabled_ = new QCheckBox(QStringLiteral("使用电子秤称重"), this);
    port_ = combo(ScaleSettingsForm::PortChoices(), true, this);
    // A device path is longer than "COM1".
    port_->setMinimumContentsLength(24);
    port_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    port_->setToolTip(QStringLiteral("COM1-COM4 即 /dev/ttyS0-/dev/ttyS3；USB 转串口请选择或输入设备路径"));
    baud_ = combo(ScaleSettingsForm::BaudChoices(), true, this);
    baud_->setValidator(new QIntValidator(1, 4000000, baud_));
    dataBits_ = combo(ScaleSettingsForm::DataBitsChoices(), false, this);
    parity_ = combo(ScaleSettings::ParityNames(), false, this);
    stopBits_ = combo(ScaleSettings::StopBitsNames(), false, this);
    type_ = combo(ScaleSettings::TypeNames(), false, this);
    continuous_ = new QRadioButton(ScaleSettings::TransmissionNames().at(0), this);
    onStable_ = new QRadioButton(ScaleSettings::TransmissionNames().at(1), this);
    auto *transmission = new QButtonGroup(this);
    transmission->addButton(continuous_, ScaleSettings::Continuous);
    transmission->addButton(onStable_, ScaleSettings::OnStable);
    dataLength_ = new QLineEdit(this);
    dataLength_->setValidator(new QIntValidator(0, 999, dataLength_));
    dataLength_->setMaximumWidth(60);
    start_ = new QLineEdit(this);
    start_->setMaxLength(4);
    start_->setMaximumWidth(60);
    weight_ = new QLineEdit(this);
    weight_->setReadOnly(true);
    weight_->setFocusPolicy(Qt::NoFocus);
    weight_->setAlignment(Qt::AlignRight);
    weight_->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold;"));
    settleMark_ = new QLabel(this);
    testStatus_ = new QLabel(this);
    testStatus_->setWordWrap(true);
    read_ = new QPushButton(QStringLiteral("获取读数"), this);
    sync_ = new QPushButton(QStringLiteral("同步称重"), this);
    detect_ = new QPushButton(QStringLiteral("识别"), this);
    detect_->setToolTip(QStringLiteral("听几秒电子秤发来的数据，推荐电子秤类型、开始字符和数据长度"));
    save_ = new QPushButton(QStringLiteral("保存设定"), this);
    exit_ = new QPushButton(QStringLiteral("结束退出"), this);
    for (QPushButton *b : {read_, sync_, detect_, save_, exit_})
        b->setAutoDefault(false);
    connect(read_, &QPushButton::clicked, this, &CScaleDlg::ReadOnce);
    connect(sync_, &QPushButton::clicked, this, &CScaleDlg::ToggleSync);
    connect(detect_, &QPushButton::clicked, this, &CScaleDlg::StartDetection);
    connect(save_, &QPushButton::clicked, this, &CScaleDlg::Save);
    connect(exit_, &QPushButton::clicked, this, &CScaleDlg::Exit);
}

void CScaleDlg::buildLayout()
{
    auto *grid = new QGridLayout;
    const auto unit = [this](QWidget *field, const QString &text) {
        auto *row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(new QLabel(text, this));
        return row;
    };
    grid->addWidget(enabled_, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("连接端口:"), this), 1, 0);
    grid->addWidget(port_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("波特率:"), this), 1, 2);
    grid->addLayout(unit(baud_, QStringLiteral("bps")), 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("数据位:"), this), 2, 0);
    grid->addWidget(dataBits_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("奇偶校验:"), this), 2, 2);
    grid->addWidget(parity_, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("停止位:"), this), 3, 0);
    grid->addWidget(stopBits_, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("电子秤类型:"), this), 3, 2);
    grid->addWidget(type_, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("数据传输方式:"), this), 4, 0);
    auto *modes = new QHBoxLayout;
    modes->addWidget(continuous_);
    modes->addWidget(onStable_);
    modes->addStretch(1);
    grid->addLayout(modes, 4, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("数据长度:"), this), 5, 0);
    grid->addLayout(unit(dataLength_, QStringLiteral("字节")), 5, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("开始字符:"), this), 5, 2);
    grid->addLayout(unit(start_, QStringLiteral("控制码0xNN")), 5, 3, Qt::AlignLeft);

    auto *test = new QGroupBox(QStringLiteral("称重测试"), this);
    auto *testLayout = new QGridLayout(test);
    testLayout->addWidget(new QLabel(QStringLiteral("重量:"), test), 0, 0);
    auto *weightRow = new QHBoxLayout;
    weightRow->addWidget(weight_, 1);
    weightRow->addWidget(new QLabel(QStringLiteral("公斤"), test));
    weightRow->addWidget(settleMark_);
    testLayout->addLayout(weightRow, 0, 1);
    auto *testButtons = new QHBoxLayout;
    testButtons->addWidget(read_);
    testButtons->addWidget(sync_);
    testButtons->addWidget(detect_);
    testLayout->addLayout(testButtons, 1, 0, 1, 2);
    testLayout->addWidget(testStatus_, 2, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(exit_);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(test);
    layout->addLayout(buttons);
}

void CScaleDlg::showValues()
{
    const ScaleSettingsForm::Values &v = form_.values();
    enabled_->setChecked(v.enabled);
    port_->setCurrentText(v.port);
    baud_->setCurrentText(v.baud);
    dataBits_->setCurrentText(v.dataBits);
    parity_->setCurrentIndex(v.parity);
    stopBits_->setCurrentIndex(v.stopBits);
    type_->setCurrentIndex(v.type);
    (v.transmission == ScaleSettings::OnStable ? onStable_ : continuous_)->setChecked(true);
    dataLength_->setText(v.dataLength);
    start_->setText(v.start);
}

void CScaleDlg::readValues()
{
    ScaleSettingsForm::Values &v = form_.values();
    v.enabled = enabled_->isChecked();
    v.port = port_->currentText();
    v.baud = baud_->currentText();
    v.dataBits = dataBits_->currentText();
    v.parity = parity_->currentIndex();
    v.stopBits = stopBits_->currentIndex();
    v.type = type_->currentIndex();
    v.transmission = onStable_->isChecked() ? ScaleSettings::OnStable : ScaleSettings::Continuous;
    v.dataLength = dataLength_->text();
    v.start = start_->text();
}

bool CScaleDlg::Save()
{
    readValues();
    const bool saved = form_.Save();
    showValues();
    return saved;
}

bool CScaleDlg::detecting() const
{
    return detectTimer_->isActive();
}

bool CScaleDlg::openTest(bool raw)
{
    readValues();
    const std::optional<ScaleSettingsForm::Choice> choice = form_.Current();
    if (!choice)
        return false;
    testChoice_ = *choice;
    ScaleLink::Listener listener;
    listener.owner = this;
    listener.reading = [this](const ScaleReading &r) { reading(r); };
    listener.lost = [this](const QString &reason) { lost(reason); };
    if (raw)
        listener.raw = [this](const QByteArray &bytes) {
            if (heard_.size() < kMostHeard)
                heard_ += bytes;
            setTestStatus(QStringLiteral("正在识别：已收到 %1 字节").arg(heard_.size()), kTestColor);
        };
    const QString reason = link_.OpenWith(choice->settings, choice->device(), listener);
    if (!reason.isEmpty()) {
        setTestStatus(reason, kFailureColor);
        prompter_.error(QString(), reason);
        return false;
    }
    return true;
}

void CScaleDlg::startCounting()
{
    readings_ = 0;
    settle_.Clear();
    showSettle();
}

void CScaleDlg::ReadOnce()
{
    if (detecting())
        return;
    stopTest();
    startCounting();
    once_ = true;
    if (!openTest(false)) {
        once_ = false;
        return;
    }
    setTestStatus(QStringLiteral("等待读数：%1").arg(link_.device()), kTestColor);
    readTimer_->start(readMs_);
}

void CScaleDlg::readTimedOut()
{
    const QString device = link_.device();
    stopTest();
    const QString text = ScaleLink::ShortReadText(readMs_ / 1000.0, 0, 1, device);
    setTestStatus(text, kFailureColor);
    prompter_.error(QString(), text);
}

void CScaleDlg::ToggleSync()
{
    if (detecting())
        return;
    if (syncing_) {
        stopTest();
        setTestStatus(QStringLiteral("已停止同步。"), kTestColor);
        return;
    }
    stopTest();
    startCounting();
    if (!openTest(false))
        return;
    syncing_ = true;
    sync_->setText(QStringLiteral("停止同步"));
    setTestStatus(QStringLiteral("正在同步 %1：等待读数").arg(link_.device()), kTestColor);
}

void CScaleDlg::reading(const ScaleReading &r)
{
    ++readings_;
    const bool taken = settle_.Take(r, testChoice_.settings.onStable());
    showSettle();
    if (once_) {
        if (!taken) {
            setTestStatus(ScaleSettle::StatusText(r, false, true), ScaleSettle::StatusColour(r, false));
            return;
        }
        weight_->setText(ScaleSettingsForm::TestWeightText(int(r.grams)));
        stopTest();
        setTestStatus(QStringLiteral("读数：%1 公斤").arg(weight_->text()), kTestColor);
        return;
    }
    if (!syncing_)
        return;
    // The live weight as the scale gives it; the mark says whether it settled.
    if (r.isWeight())
        weight_->setText(ScaleSettingsForm::TestWeightText(int(r.grams)));
    // A scale that sends on a key press gives one weight per opening: open
    // again for the next press.
    if (!link_.isOpen() && !openTest(false)) {
        stopTest();
        return;
    }
    setTestStatus(QStringLiteral("正在同步 %1：已收到 %2 个读数").arg(link_.device()).arg(readings_), kTestColor);
}

void CScaleDlg::lost(const QString &reason)
{
    stopTest();
    setTestStatus(reason, kFailureColor);
    prompter_.error(QString(), reason);
}

void CScaleDlg::StartDetection()
{
    if (detecting())
        return;
    stopTest();
    heard_.clear();
    if (!openTest(true))
        return;
    for (QPushButton *b : {read_, sync_, detect_})
        b->setEnabled(false);
    detect_->setText(QStringLiteral("识别中…"));
    setTestStatus(QStringLiteral("正在识别 %1：请在秤上放一件物品，稍候…").arg(link_.device()), kTestColor);
    detectTimer_->start(detectMs_);
}

void CScaleDlg::finishDetection()
{
    link_.CloseScale(this);
    stopTest();
    const ScaleDetector::Guess guess = ScaleDetector::Detect(heard_, testChoice_.settings);
    setTestStatus(guess.Text(), guess.found ? kTestColor : kFailureColor);
    if (!guess.found) {
        prompter_.warning(QString(), guess.Text());
        // The data bits and parity are worth taking even without a format.
        applyParity(guess.parity);
        return;
    }
    if (!prompter_.ask(QStringLiteral("识别电子秤数据格式"),
                       guess.Text() + QStringLiteral("\r\n\r\n采用这些设置吗？（按“保存设定”后生效）")))
        return;
    applyGuess(guess);
}

void CScaleDlg::applyGuess(const ScaleDetector::Guess &guess)
{
    type_->setCurrentIndex(guess.type);
    if (ScaleSettings::IsPlainText(guess.type))
        start_->setText(ScaleSettingsForm::StartText(guess.start));
    if (ScaleSettings::IsPlainText(guess.type) || guess.type == ScaleSettings::Toledo)
        dataLength_->setText(QString::number(guess.dataLength));
    applyParity(guess.parity);
}

void CScaleDlg::applyParity(const ScaleParity::Hint &hint)
{
    if (!hint.found)
        return;
    dataBits_->setCurrentText(QString::number(hint.dataBits));
    parity_->setCurrentIndex(hint.parity);
}

void CScaleDlg::stopTest()
{
    link_.CloseScale(this);
    detectTimer_->stop();
    readTimer_->stop();
    once_ = false;
    syncing_ = false;
    sync_->setText(QStringLiteral("同步称重"));
    detect_->setText(QStringLiteral("识别"));
    for (QPushButton *b : {read_, sync_, detect_})
        b->setEnabled(true);
}

void CScaleDlg::setTestStatus(const QString &text, unsigned rgb)
{
    // Restyling is dear and a live test updates many times a second.
    testStatus_->setText(text);
    if (rgb != statusColour_)
        testStatus_->setStyleSheet(colour(rgb));
    statusColour_ = rgb;
}

void CScaleDlg::showSettle()
{
    if (settle_.state() == ScaleSettle::State::Waiting) {
        settleMark_->clear();
        return;
    }
    const QString text = settle_.MarkText();
    if (text == settleMark_->text())
        return;
    settleMark_->setText(text);
    settleMark_->setStyleSheet(colour(settle_.MarkColour()));
}

void CScaleDlg::Exit()
{
    stopTest();
    accept();
}

void CScaleDlg::done(int result)
{
    stopTest();
    QDialog::done(result);
}

} // namespace quarvel
