#include "scan/CCheckPage.h"

#include "shell/FrameKeysFirst.h"

#include "app/ClientContext.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CaptionKeys.h"
#include "scan/EchoPrompter.h"
#include "shell/FormKeys.h"
#include "shell/FrameKeysFirst.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quarvel {

namespace {

const QString kPhraseTitle = QStringLiteral("常用提示输入(双击选取！)");
constexpr int kNumberLimit = 30;
constexpr int kFlashMs = 700;
constexpr int kShownJunk = 40;

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

QString background(unsigned rgb)
{
    return QStringLiteral("background: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

// Style sheets are re-applied only when they change: applying one restyles
// the widget, which would cost more than a whole scan.
void applySheet(QWidget *widget, const QString &sheet)
{
    if (widget->styleSheet() != sheet)
        widget->setStyleSheet(sheet);
}

void setLabel(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

bool isControl(const QString &text)
{
    return !text.isEmpty() && text.at(0).category() == QChar::Other_Control;
}

// Keys whose control character is their own editing work, not junk.
bool isEditingKey(int key)
{
    return key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
           key == Qt::Key_Escape;
}

// What the page shows of a refused entry: junk can be long and unprintable.
QString shown(const QString &number)
{
    QString text = number.left(kShownJunk);
    for (QChar &c : text)
        if (c.category() == QChar::Other_Control)
            c = u'�';
    return number.size() > kShownJunk ? text + QStringLiteral("…") : text;
}

} // namespace

CCheckPage::CCheckPage(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QWidget(parent), context_(context), prompter_(prompter), form_(context, prompter),
      chooser_(
          [this](const QString &title, const QStringList &items) { return CListChooseDlg::Choose(this, title, items); })
{
    clock_.start();
    buildControls();
    buildLayout();
    connectCaptions();
    FormKeys::Install(this);
    // Installed after the form keys, so this filter sees each key first.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    form_.setRecordChanged(
        [this](CheckForm::Change change, const CheckRecord &record) { emit recordChanged(change, record); });
    auto *ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, &CCheckPage::tickTime);
    ticker->start(5000);
    showValues();
    showCounts();
}

void CCheckPage::tickTime()
{
    QLineEdit *time = field(QStringLiteral("time"));
    // A time the operator is typing is theirs.
    if (time->text() == form_.values().time && form_.RefreshTime())
        time->setText(form_.values().time);
}

CLinkLabel *CCheckPage::link(const QString &text)
{
    auto *label = new CLinkLabel(text, this);
    captions_.insert(text, label);
    return label;
}

QLineEdit *CCheckPage::lineEdit(const QString &name, int maxChars)
{
    auto *box = new QLineEdit(this);
    box->setMaxLength(maxChars);
    fields_.insert(name, box);
    return box;
}

void CCheckPage::buildControls()
{
    versions_ = new QButtonGroup(this);
    const QStringList versionNames = CheckValues::versionNames();
    for (int i = 0; i < 3; ++i) {
        versionButtons_[i] = new QRadioButton(versionNames.at(i), this);
        versions_->addButton(versionButtons_[i], i);
    }
    categories_ = new QButtonGroup(this);
    const QStringList categoryNames = CheckValues::categoryNames();
    for (int i = 0; i < CheckValues::kCategories; ++i) {
        categoryButtons_[i] = new QRadioButton(categoryNames.at(i), this);
        categories_->addButton(categoryButtons_[i], i);
    }
    connect(categories_, &QButtonGroup::idClicked, this, &CCheckPage::chooseCategory);
    lineEdit(QStringLiteral("next"), 15);
    exception_ = new QComboBox(this);
    exception_->addItems(CheckValues::exceptionNames());
    lineEdit(QStringLiteral("signer"), 15);
    lineEdit(QStringLiteral("time"), 30);
    lineEdit(QStringLiteral("place"), 126);
    lineEdit(QStringLiteral("placeEn"), 126);
    lineEdit(QStringLiteral("info"), 254);
    lineEdit(QStringLiteral("infoEn"), 254);
    // No length limit of its own: an overlong scan is refused, never cut to a
    // number that looks valid.
    number_ = lineEdit(QStringLiteral("number"), 32767);
    number_->setProperty(FrameKeysFirst::kScannerField, true);
    QFont big = number_->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    number_->setFont(big);
    connect(number_, &QLineEdit::textEdited, this, &CCheckPage::numberEdited);
    connect(number_, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            entry_.Clear();
    });
    hideButton_ = new QPushButton(QStringLiteral("C"), this);
    hideButton_->setFixedWidth(26);
    hideButton_->setFocusPolicy(Qt::NoFocus);
    connect(hideButton_, &QPushButton::clicked, this, &CCheckPage::hideRequested);
}

void CCheckPage::buildLayout()
{
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title_->setFont(bold);
    auto *top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(hideButton_);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(5);
    int row = 0;
    auto *versions = new QHBoxLayout;
    for (QRadioButton *b : versionButtons_)
        versions->addWidget(b);
    versions->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("版本:"), this), row, 0);
    grid->addLayout(versions, row++, 1, 1, 3);
    auto *categories = new QHBoxLayout;
    for (QRadioButton *b : categoryButtons_)
        categories->addWidget(b);
    categories->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("类别:"), this), row, 0);
    grid->addLayout(categories, row++, 1, 1, 3);
    grid->addWidget(link(QStringLiteral("下一站:")), row, 0);
    grid->addWidget(field(QStringLiteral("next")), row, 1);
    grid->addWidget(exception_, row++, 2, 1, 2);
    flight_ = link(QStringLiteral("〇位置在航班前"));
    flight_->setStyleSheet(QString());
    grid->addWidget(flight_, row++, 1, 1, 3);
    signerCaption_ = link(QStringLiteral("签收人:"));
    lock_ = new CLinkLabel(QStringLiteral("◇"), this);
    lock_->setStyleSheet(QString());
    grid->addWidget(signerCaption_, row, 0);
    grid->addWidget(field(QStringLiteral("signer")), row, 1);
    grid->addWidget(lock_, row++, 2);
    grid->addWidget(link(QStringLiteral("时间:")), row, 0);
    grid->addWidget(field(QStringLiteral("time")), row++, 1, 1, 3);
    grid->addWidget(link(QStringLiteral("地点:")), row, 0);
    grid->addWidget(field(QStringLiteral("place")), row++, 1, 1, 3);
    grid->addWidget(link(QStringLiteral("E:")), row, 0);
    grid->addWidget(field(QStringLiteral("placeEn")), row++, 1, 1, 3);
    grid->addWidget(link(QStringLiteral("信息:")), row, 0);
    grid->addWidget(field(QStringLiteral("info")), row++, 1, 1, 3);
    // The second "E:" is the English information's caption.
    auto *infoEnCaption = new CLinkLabel(QStringLiteral("E:"), this);
    captions_.insert(QStringLiteral("E:info"), infoEnCaption);
    grid->addWidget(infoEnCaption, row, 0);
    grid->addWidget(field(QStringLiteral("infoEn")), row++, 1, 1, 3);
    auto *links = new QHBoxLayout;
    links->addWidget(link(QStringLiteral("[默认运转信息]")));
    links->addStretch();
    mode_ = link(QStringLiteral("▼离线模式"));
    links->addWidget(mode_);
    grid->addLayout(links, row++, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("运单号:"), this), row, 0);
    grid->addWidget(number_, row++, 1, 1, 3);
    grid->setColumnStretch(1, 1);

    count_ = new QLabel(this);
    QFont countFont = count_->font();
    countFont.setPointSize(countFont.pointSize() + 8);
    countFont.setBold(true);
    count_->setFont(countFont);
    result_ = new QLabel(this);
    result_->setWordWrap(true);
    result_->setMinimumHeight(3 * result_->fontMetrics().lineSpacing() + 12);
    QFont resultFont = result_->font();
    resultFont.setPointSize(resultFont.pointSize() + 2);
    result_->setFont(resultFont);
    result_->setMargin(6);
    result_->setText(QStringLiteral("请扫描运单号"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addLayout(grid);
    layout->addWidget(count_);
    layout->addWidget(result_);
    layout->addStretch();
    setTabOrder(versionButtons_[2], categoryButtons_[0]);
    QWidget *order[] = {categoryButtons_[4],
                        field(QStringLiteral("next")),
                        exception_,
                        field(QStringLiteral("signer")),
                        field(QStringLiteral("time")),
                        field(QStringLiteral("place")),
                        field(QStringLiteral("placeEn")),
                        field(QStringLiteral("info")),
                        field(QStringLiteral("infoEn")),
                        number_};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CCheckPage::connectCaptions()
{
    const auto on = [this](QLabel *label, std::function<void()> action) {
        connect(static_cast<CLinkLabel *>(label), &CLinkLabel::clicked, this, [this, action] {
            readValues();
            action();
            showValues();
        });
    };
    on(caption(QStringLiteral("下一站:")), [this] { form_.NextFromLogin(); });
    on(signerCaption_, [this] { pickPhrase(CheckForm::PhraseSigner); });
    on(lock_, [this] { form_.ToggleSignerLock(); });
    on(caption(QStringLiteral("时间:")), [this] { form_.TimeNow(); });
    on(caption(QStringLiteral("地点:")), [this] { pickPhrase(CheckForm::PhrasePlace); });
    on(caption(QStringLiteral("E:")), [this] { pickPhrase(CheckForm::PhrasePlaceEn); });
    on(caption(QStringLiteral("信息:")), [this] { pickPhrase(CheckForm::PhraseInfo); });
    on(caption(QStringLiteral("E:info")), [this] { pickPhrase(CheckForm::PhraseInfoEn); });
    on(caption(QStringLiteral("[默认运转信息]")), [this] { form_.ApplyDefaults(); });
    on(mode_, [this] { form_.ToggleMode(); });
    on(flight_, [this] { form_.ToggleFlight(); });

    // The same from the keyboard: F9 in the field beside a caption.
    auto *keys = new CaptionKeys(this);
    const QString phrase = QStringLiteral("选常用提示输入");
    keys->bind(caption(QStringLiteral("下一站:")), field(QStringLiteral("next")), QStringLiteral("登入的第二站"));
    keys->bind(signerCaption_, field(QStringLiteral("signer")), phrase);
    keys->bind(caption(QStringLiteral("时间:")), field(QStringLiteral("time")), QStringLiteral("现在的时间"));
    keys->bind(caption(QStringLiteral("地点:")), field(QStringLiteral("place")), phrase);
    keys->bind(caption(QStringLiteral("E:")), field(QStringLiteral("placeEn")), phrase);
    keys->bind(caption(QStringLiteral("信息:")), field(QStringLiteral("info")), phrase);
    keys->bind(caption(QStringLiteral("E:info")), field(QStringLiteral("infoEn")), phrase);
    keys->bind(caption(QStringLiteral("[默认运转信息]")), nullptr, QStringLiteral("登入的默认地点和信息"),
               QKeySequence(Qt::ALT | Qt::Key_D));
}

void CCheckPage::pickPhrase(CheckForm::PhraseTarget target)
{
    const QStringList phrases = form_.phrases();
    if (phrases.isEmpty())
        return;
    form_.PickPhrase(target, chooser_(kPhraseTitle, phrases));
}

void CCheckPage::chooseCategory(int category)
{
    readValues();
    form_.SelectCategory(category);
    showValues();
    QWidget *next = form_.focusAfterCategory() == CheckForm::Focus::Signer ? field(QStringLiteral("signer")) : number_;
    next->setFocus(Qt::OtherFocusReason);
}

void CCheckPage::showValues()
{
    const CheckValues &v = form_.values();
    versionButtons_[static_cast<std::size_t>(v.version)]->setChecked(true);
    categoryButtons_[static_cast<std::size_t>(v.category)]->setChecked(true);
    const std::pair<const char *, const QString *> texts[] = {
        {"next", &v.next},       {"signer", &v.signer}, {"time", &v.time},     {"place", &v.place},
        {"placeEn", &v.placeEn}, {"info", &v.info},     {"infoEn", &v.infoEn}, {"number", &v.number}};
    for (const auto &[name, text] : texts) {
        QLineEdit *box = field(QString::fromLatin1(name));
        if (box->text() != *text)
            box->setText(*text);
    }
    exception_->setCurrentIndex(v.exception);
    showStates();
}

void CCheckPage::showStates()
{
    setLabel(title_, form_.title());
    applySheet(title_, colour(form_.titleColor()));
    field(QStringLiteral("next"))->setEnabled(form_.nextEnabled());
    exception_->setVisible(form_.exceptionShown());
    flight_->setVisible(form_.flightShown());
    setLabel(flight_, form_.flightText());
    applySheet(flight_, colour(form_.flightColor()));
    field(QStringLiteral("signer"))->setEnabled(!form_.signerLocked());
    setLabel(lock_, form_.lockText());
    setLabel(signerCaption_, form_.signerCaption());
    setLabel(mode_, form_.modeText());
    applySheet(mode_, colour(form_.modeColor()));
}

void CCheckPage::readValues()
{
    CheckValues &v = form_.values();
    v.version = std::max(versions_->checkedId(), 0);
    v.category = std::max(categories_->checkedId(), 0);
    v.exception = std::max(exception_->currentIndex(), 0);
    QString *texts[] = {&v.next, &v.signer, &v.time, &v.place, &v.placeEn, &v.info, &v.infoEn, &v.number};
    const char *names[] = {"next", "signer", "time", "place", "placeEn", "info", "infoEn", "number"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        *texts[i] = field(QString::fromLatin1(names[i]))->text();
}

void CCheckPage::NewScan()
{
    form_.NewScan();
    showValues();
}

bool CCheckPage::LoadScan(int iid)
{
    if (!form_.LoadScan(iid)) {
        showValues();
        return false;
    }
    showValues();
    return true;
}

bool CCheckPage::DeleteScan()
{
    readValues();
    const bool deleted = form_.DeleteScan();
    if (deleted)
        showValues();
    return deleted;
}

bool CCheckPage::SaveScan()
{
    entry_.Clear();
    readValues();
    const QString typed = form_.values().number;
    EchoPrompter echo(&prompter_);
    const bool saved = form_.SaveScan(echo);
    // An empty field is no scan: its message box says what to do, the
    // session's counts stay as they are.
    if (saved)
        accepted(typed.trimmed().toUpper());
    else if (!typed.trimmed().isEmpty())
        refused(typed, echo.lastText());
    showValues();
    focusNumber();
    if (!saved)
        number_->selectAll();
    return saved;
}

void CCheckPage::scanEntered()
{
    const QString typed = number_->text();
    const bool scanned = entry_.scanned();
    const QString glued = entry_.Refusal(typed.size());
    if (!scanned && glued.isEmpty()) {
        SaveScan();
        return;
    }
    entry_.Clear();
    readValues();
    EchoPrompter quiet(nullptr);
    bool saved = false;
    if (glued.isEmpty())
        saved = form_.SaveScan(quiet);
    if (saved) {
        accepted(typed.trimmed().toUpper());
    } else {
        refused(typed, glued.isEmpty() ? quiet.lastText() : glued);
        // Ready for the next scan: nothing of this one may stick to it.
        form_.values().number.clear();
    }
    showValues();
    focusNumber();
}

qint64 CCheckPage::keyTime(const QKeyEvent *key) const
{
    return key->timestamp() ? static_cast<qint64>(key->timestamp()) : clock_.elapsed();
}

bool CCheckPage::numberKey(QKeyEvent *key)
{
    const qint64 ms = keyTime(key);
    lastKey_ = ms;
    // A scanner set to end its numbers with Tab instead of Enter: the Tab
    // right after a scanned number saves it, and the focus stays.
    const bool scannerTab = key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier && entry_.inBurst(ms) &&
                            entry_.characters() >= ScanEntry::kScannedLength;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || scannerTab) {
        if (entry_.Enter(ms))
            scanEntered();
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    if (isControl(text)) {
        // A control code inside a scanner's burst (a separator, a stray
        // prefix) belongs to the scan; the field takes it so that the form
        // refuses the number. Typed alone it is the operator's shortcut.
        if (isEditingKey(key->key()) || !entry_.inBurst(ms))
            return false;
        if (entry_.Key(ms))
            number_->insert(text);
        return true;
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    return !entry_.Key(ms);
}

void CCheckPage::numberEdited()
{
    const QString text = number_->text();
    // A character takes one or two GBK bytes: most texts need no conversion.
    const bool overlong =
        text.size() > kNumberLimit || (2 * text.size() > kNumberLimit && Gbk::fromUnicode(text).size() > kNumberLimit);
    if (!entry_.inBurst(lastKey_) || !overlong)
        return;
    // A scanner that sends no Enter, or junk: refused at once, and the rest
    // of its burst is dropped so the next scan starts in an empty field.
    QString copy = text;
    EchoPrompter quiet(nullptr);
    CheckText(copy, 0, kNumberLimit, QStringLiteral("运单号"), quiet);
    entry_.RefuseBurst(lastKey_);
    number_->clear();
    form_.values().number.clear();
    refused(text, quiet.lastText());
}

void CCheckPage::accepted(const QString &number)
{
    ++sessionScans_;
    applySheet(result_, colour(kAcceptedColor));
    result_->setText(QStringLiteral("✔ %1 已保存").arg(number));
    showCounts();
}

void CCheckPage::refused(const QString &number, const QString &text)
{
    ++sessionRefusals_;
    lastRefusal_ = text;
    const QString refusal = colour(kRefusedColor) + background(kRefusedBackground);
    applySheet(result_, refusal);
    result_->setText(QStringLiteral("✖ 未保存 %1\n%2").arg(shown(number), text));
    // A sound and a flash of the field: the operator looks up at once.
    QApplication::beep();
    number_->setStyleSheet(background(kRefusedBackground) + colour(kRefusedColor));
    QTimer::singleShot(kFlashMs, number_, [this] { number_->setStyleSheet(QString()); });
    showCounts();
    emit scanRefused(text);
}

void CCheckPage::showCounts()
{
    count_->setText(QStringLiteral("本次扫描: %1 件").arg(sessionScans_) +
                    (sessionRefusals_ ? QStringLiteral("    未保存: %1").arg(sessionRefusals_) : QString()));
    applySheet(count_, colour(kAcceptedColor));
}

void CCheckPage::focusNumber()
{
    if (!number_->hasFocus())
        number_->setFocus(Qt::OtherFocusReason);
}

bool CCheckPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == number_ && event->type() == QEvent::ShortcutOverride && isControl(key->text()) &&
        !isEditingKey(key->key()) && entry_.inBurst(keyTime(key))) {
        // A scanner's control code is a key of the scan, never a shortcut.
        event->accept();
        return true;
    }
    if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
        // The page's own Ctrl+S, ahead of the frame's shortcut.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            SaveScan();
        return true;
    }
    if (event->type() == QEvent::KeyPress && watched == number_)
        return numberKey(key);
    return false;
}

} // namespace quarvel
