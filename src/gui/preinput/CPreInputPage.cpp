#include "preinput/CPreInputPage.h"

#include "app/ClientContext.h"
#include "net/DestinationEntry.h"
#include "preinput/CCollectDlg.h"
#include "preinput/CGoodsDlg.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CPieceWeightDlg.h"
#include "preinput/CSuggestionList.h"
#include "preinput/GoodsForm.h"
#include "preinput/PieceWeightForm.h"
#include "shell/FormKeys.h"
#include "storage/GoodsNameDictionary.h"
#include "text/Gbk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace quarvel {

namespace {

const QString kPhraseTitle = QStringLiteral("常用提示输入(双击选取！)");
const QString kLightBackground = QStringLiteral("background: rgb(250,255,255);");

QString colour(unsigned rgb)
{
    return QStringLiteral("color: #%1;").arg(rgb, 6, 16, QLatin1Char('0'));
}

// The page keeps Windows line breaks; the boxes show plain ones.
QString toBox(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QString fromBox(const QString &text)
{
    return QString(text).replace(u'\n', QStringLiteral("\r\n"));
}

QString realText(const char *field, double v)
{
    if (qstrcmp(field, "fweight") == 0)
        return v == 0 ? QStringLiteral("0") : QString::asprintf("%.3f", v);
    return QString::asprintf("%.2f", v);
}

// Counts and amounts take digits only (amounts with one decimal point), so
// that "1,5" or a letter can never be stored as 0 without a word.
void acceptNumbersOnly(QLineEdit *box, PreInputValues::Kind kind)
{
    static const QRegularExpression whole(QStringLiteral("\\d{0,9}"));
    static const QRegularExpression decimal(QStringLiteral("\\d{0,9}(\\.\\d{0,3})?"));
    box->setValidator(new QRegularExpressionValidator(kind == PreInputValues::Kind::Int ? whole : decimal, box));
}

QPlainTextEdit *multiLine(QWidget *parent, int lines)
{
    auto *box = new QPlainTextEdit(parent);
    box->setTabChangesFocus(true);
    const int line = box->fontMetrics().lineSpacing();
    box->setFixedHeight(line * lines + 10);
    return box;
}

} // namespace

CPreInputPage::CPreInputPage(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QWidget(parent), context_(context), prompter_(prompter), form_(context, prompter),
      chooser_([this](const QString &title, const QStringList &items) {
          return CListChooseDlg::Choose(this, title, items);
      }),
      runDialog_([](QDialog &dialog) { return dialog.exec(); })
{
    buildControls();
    for (const PreInputValues::Field &f : PreInputValues::fields())
        if (f.kind == PreInputValues::Kind::Int || f.kind == PreInputValues::Kind::Real)
            if (QLineEdit *box = edit(QString::fromLatin1(f.name)))
                acceptNumbersOnly(box, f.kind);
    buildLayout();
    // Group boxes and lock markers re-parent fields; the walk stays in entry order.
    for (qsizetype i = 1; i < tabOrder_.size(); ++i)
        setTabOrder(tabOrder_.at(i - 1), tabOrder_.at(i));
    connectCaptions();
    suggestions_ = new CSuggestionList(this);
    connect(suggestions_, &CSuggestionList::picked, this, [this](int row) {
        QWidget *field = suggestions_->field();
        suggestions_->setCurrentRow(row);
        if (field == control(QStringLiteral("cdes"))) {
            takeDestination();
            field->setFocus();
        } else if (field == control(QStringLiteral("cgoods"))) {
            takeGoods();
            field->setFocus();
        } else if (field) {
            takeContact(field);
        }
    });
    FormKeys::Install(this);
    // Installed after the form keys, so this filter sees each key first.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    form_.setRecordChanged([this](bool saved, const PreInputRecord &record) { emit recordChanged(saved, record); });
    NewRecord();
}

QLineEdit *CPreInputPage::lineEdit(const QString &field, int maxChars)
{
    auto *box = new QLineEdit(this);
    box->setMaxLength(maxChars);
    controls_.insert(field, box);
    tabOrder_.append(box);
    return box;
}

QLineEdit *CPreInputPage::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(control(field));
}

CLinkLabel *CPreInputPage::link(const QString &text)
{
    auto *label = new CLinkLabel(text, this);
    captions_.insert(text, label);
    return label;
}

// The controls in the order Enter and Tab walk through them.
void CPreInputPage::buildControls()
{
    auto *marked = new QCheckBox(QStringLiteral("标记"), this);
    controls_.insert(QStringLiteral("nmarked"), marked);
    tabOrder_.append(marked);
    auto combo = [this](const QString &field, const QStringList &items) {
        auto *box = new QComboBox(this);
        box->addItems(items);
        controls_.insert(field, box);
        tabOrder_.append(box);
        return box;
    };
    combo(QStringLiteral("nitemtype"), PreInputValues::itemTypes());
    combo(QStringLiteral("nlanguage"), PreInputValues::regions());
    auto *kind = lineEdit(QStringLiteral("cemskind"), 15);
    kind->setReadOnly(true);
    kind->setFocusPolicy(Qt::NoFocus);
    kind->setStyleSheet(kLightBackground);
    kind->setFixedWidth(150);
    lineEdit(QStringLiteral("npieces"), 6)->setFixedWidth(40);
    lineEdit(QStringLiteral("cfrom"), 62);
    lineEdit(QStringLiteral("cnum"), 30);
    auto *des = lineEdit(QStringLiteral("cdes"), 62);
    connect(des, &QLineEdit::textEdited, this, &CPreInputPage::suggestDestinations);
    lineEdit(QStringLiteral("ddate"), 30);
    lineEdit(QStringLiteral("fweight"), 12);
    lineEdit(QStringLiteral("ffee"), 12);
    auto *pay = combo(QStringLiteral("npayway"), PreInputValues::payWays());
    connect(pay, &QComboBox::activated, this, [this](int index) {
        readValues();
        form_.SetPayWay(index);
        showValues();
    });

    const char *receiver[] = {"creceiver",     "cphone",        "creceiverzip",     "creceiversms",  "creceivermail",
                              "creceivercorp", "creceiveraddr", "creceivercountry", "creceiverprov", "creceivercity"};
    const char *sender[] = {"csender",     "csenderphone", "csenderzip",     "csendersms",  "csendermail",
                            "csendercorp", "csenderaddr",  "csendercountry", "csenderprov", "csendercity"};
    const int limits[] = {30, 62, 15, 22, 62, 126, 126, 62, 30, 30};
    for (const auto *side : {receiver, sender}) {
        for (int i = 0; i < 10; ++i) {
            const QString name = QString::fromLatin1(side[i]);
            if (i == 6) {
                controls_.insert(name, multiLine(this, 2));
                tabOrder_.append(control(name));
                continue;
            }
            QLineEdit *box = lineEdit(name, limits[i]);
            if (i <= 1)
                connect(box, &QLineEdit::textEdited, this, [this, box](const QString &t) { suggestContacts(box, t); });
        }
    }
    lineEdit(QStringLiteral("cmark"), 15);
    lineEdit(QStringLiteral("cdepart"), 30);
    lineEdit(QStringLiteral("cpack"), 15);
    combo(QStringLiteral("cpaydir"), PreInputValues::payDirections());
    controls_.insert(QStringLiteral("cremark"), multiLine(this, 3));
    tabOrder_.append(control(QStringLiteral("cremark")));
    auto *goods = lineEdit(QStringLiteral("cgoods"), 254);
    connect(goods, &QLineEdit::textEdited, this, &CPreInputPage::suggestGoods);
    lineEdit(QStringLiteral("nquantity"), 9);
    lineEdit(QStringLiteral("iprice"), 14);
    combo(QStringLiteral("ccurrency"), PreInputValues::currencies());
    lineEdit(QStringLiteral("cgoodsorigin"), 3);
    lineEdit(QStringLiteral("ideclare"), 14);
    lineEdit(QStringLiteral("iinsure"), 14);

    filterUnmarked_ = new QCheckBox(QStringLiteral("未标记"), this);
    filterMarked_ = new QCheckBox(QStringLiteral("已标记"), this);
    filterUnmarked_->setChecked(true);
    filterMarked_->setChecked(true);
    for (QCheckBox *box : {filterUnmarked_, filterMarked_})
        connect(box, &QCheckBox::clicked, this, [this] {
            emit filterModeChanged(PreInputRows::ModeOf(filterUnmarked_->isChecked(), filterMarked_->isChecked()));
        });
    exportHeader_ = new QPushButton(QStringLiteral("导出Excel表头"), this);
    exportHeader_->setAutoDefault(false);
    tabOrder_ << filterUnmarked_ << filterMarked_ << exportHeader_;
    connect(exportHeader_, &QPushButton::clicked, this, &CPreInputPage::headerExportRequested);
    hideButton_ = new QPushButton(QStringLiteral("C"), this);
    hideButton_->setFixedWidth(26);
    hideButton_->setFocusPolicy(Qt::NoFocus);
    connect(hideButton_, &QPushButton::clicked, this, &CPreInputPage::hideRequested);
}

QWidget *CPreInputPage::withLock(QWidget *field, PreInputForm::Lock lock)
{
    auto *marker = new CLinkLabel(PreInputForm::LockText(false), this);
    marker->setStyleSheet(QString());
    marker->setFixedWidth(16);
    connect(marker, &CLinkLabel::clicked, this, [this, lock] { ToggleLock(lock); });
    lockMarkers_[lock] = marker;
    lockFields_[lock] = field;
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(field, 1);
    row->addWidget(marker);
    return box;
}

void CPreInputPage::buildLayout()
{
    auto c = [this](const char *field) { return control(QString::fromLatin1(field)); };
    auto plain = [this](const QString &text) { return new QLabel(text, this); };

    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title_->setFont(bold);
    indicator_ = new QLabel(this);
    indicator_->setFixedWidth(16);

    auto *top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(hideButton_);

    auto *head = new QGridLayout;
    head->setHorizontalSpacing(4);
    head->setVerticalSpacing(3);
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(c("nmarked"));
    kinds->addWidget(c("nitemtype"));
    kinds->addWidget(c("nlanguage"));
    kinds->addWidget(link(QStringLiteral("类别:")));
    kinds->addWidget(c("cemskind"));
    kinds->addWidget(c("npieces"));
    kinds->addWidget(plain(QStringLiteral("件")));
    kinds->addStretch(1);
    head->addLayout(kinds, 0, 0, 1, 4);
    head->addWidget(link(QStringLiteral("出发地:")), 1, 0);
    head->addWidget(withLock(c("cfrom"), PreInputForm::LockFrom), 1, 1);
    head->addWidget(plain(QStringLiteral("目的地:")), 1, 2);
    auto *des = new QHBoxLayout;
    des->setSpacing(2);
    des->addWidget(c("cdes"), 1);
    des->addWidget(indicator_);
    des->addWidget(link(QStringLiteral(" $")));
    head->addLayout(des, 1, 3);
    head->addWidget(link(QStringLiteral("运单号:")), 2, 0);
    head->addWidget(withLock(c("cnum"), PreInputForm::LockNumber), 2, 1);
    head->addWidget(link(QStringLiteral("日期:")), 2, 2);
    head->addWidget(c("ddate"), 2, 3);
    head->addWidget(link(QStringLiteral("重量:")), 3, 0);
    auto *weight = new QHBoxLayout;
    weight->addWidget(c("fweight"), 1);
    scaleIndicator_ = new QLabel(this);
    scaleIndicator_->setContentsMargins(2, 0, 8, 0);
    // As wide as its longest word, so the weight field keeps its width while
    // the scale's state changes under the operator's eyes.
    scaleIndicator_->setMinimumWidth(scaleIndicator_->fontMetrics().horizontalAdvance(QStringLiteral("超出量程")) + 10);
    scaleIndicator_->hide();
    weight->addWidget(scaleIndicator_);
    weight->addWidget(link(QStringLiteral("费用:")));
    weight->addWidget(c("ffee"), 1);
    head->addLayout(weight, 3, 1);
    head->addWidget(link(QStringLiteral("付款:")), 3, 2);
    head->addWidget(c("npayway"), 3, 3);
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 1);

    // Receiver and sender side by side, ten fields each.
    auto side = [&](const QString &title, const char *const fields[10], PreInputForm::Lock nameLock,
                    PreInputForm::Lock zipLock) {
        auto *group = new QGroupBox(title, this);
        auto *grid = new QGridLayout(group);
        grid->setContentsMargins(6, 4, 6, 4);
        grid->setVerticalSpacing(3);
        const QString captions[] = {QStringLiteral("姓名:"), QStringLiteral("电话:"), QStringLiteral("邮编:"),
                                    QStringLiteral("短信:"), QStringLiteral("电邮:"), QStringLiteral("单位:"),
                                    QStringLiteral("地址:"), QStringLiteral("国家:"), QStringLiteral("省州:"),
                                    QStringLiteral("城市:")};
        for (int i = 0; i < 10; ++i) {
            QWidget *field = c(fields[i]);
            QLabel *caption = i == 3 ? new CLinkLabel(captions[i], group) : plain(captions[i]);
            if (i == 3)
                captions_.insert(title + captions[i], static_cast<CLinkLabel *>(caption));
            if (i == 0)
                field = withLock(field, nameLock);
            else if (i == 2)
                field = withLock(field, zipLock);
            grid->addWidget(caption, i, 0, i == 6 ? Qt::AlignTop : Qt::Alignment());
            grid->addWidget(field, i, 1);
        }
        return group;
    };
    const char *const receiver[] = {"creceiver",     "cphone",        "creceiverzip",  "creceiversms",
                                    "creceivermail", "creceivercorp", "creceiveraddr", "creceivercountry",
                                    "creceiverprov", "creceivercity"};
    const char *const sender[] = {"csender",     "csenderphone", "csenderzip",     "csendersms",  "csendermail",
                                  "csendercorp", "csenderaddr",  "csendercountry", "csenderprov", "csendercity"};
    auto *people = new QHBoxLayout;
    people->addWidget(
        side(QStringLiteral("收件人"), receiver, PreInputForm::LockReceiver, PreInputForm::LockReceiverZip));
    people->addWidget(side(QStringLiteral("发件人"), sender, PreInputForm::LockSender, PreInputForm::LockSenderZip));

    auto *rest = new QGridLayout;
    rest->setHorizontalSpacing(4);
    rest->setVerticalSpacing(3);
    auto *marks = new QHBoxLayout;
    marks->addWidget(link(QStringLiteral("标签:")));
    marks->addWidget(c("cmark"), 1);
    marks->addWidget(plain(QStringLiteral("部门:")));
    marks->addWidget(c("cdepart"), 1);
    marks->addWidget(link(QStringLiteral("包装:")));
    marks->addWidget(c("cpack"), 1);
    marks->addWidget(plain(QStringLiteral("结算指示:")));
    marks->addWidget(c("cpaydir"));
    rest->addLayout(marks, 0, 0, 1, 2);
    rest->addWidget(link(QStringLiteral("备注:")), 1, 0, Qt::AlignTop);
    rest->addWidget(c("cremark"), 1, 1);
    rest->addWidget(link(QStringLiteral("品名:")), 2, 0);
    rest->addWidget(c("cgoods"), 2, 1);
    auto *goods = new QHBoxLayout;
    goods->addWidget(link(QStringLiteral("数量:")));
    goods->addWidget(c("nquantity"), 1);
    goods->addWidget(plain(QStringLiteral("单价:")));
    goods->addWidget(c("iprice"), 1);
    goods->addWidget(plain(QStringLiteral("货币:")));
    goods->addWidget(c("ccurrency"));
    rest->addLayout(goods, 3, 0, 1, 2);
    auto *values = new QHBoxLayout;
    values->addWidget(plain(QStringLiteral("产地:")));
    values->addWidget(c("cgoodsorigin"));
    values->addWidget(plain(QStringLiteral("申明价:")));
    values->addWidget(c("ideclare"), 1);
    values->addWidget(plain(QStringLiteral("保价:")));
    values->addWidget(c("iinsure"), 1);
    rest->addLayout(values, 4, 0, 1, 2);
    edit(QStringLiteral("cgoodsorigin"))->setFixedWidth(40);

    auto *filter = new QHBoxLayout;
    filter->addWidget(plain(QStringLiteral("记录筛选:")));
    filter->addWidget(filterUnmarked_);
    filter->addWidget(filterMarked_);
    filter->addStretch();
    filter->addWidget(exportHeader_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(head);
    layout->addLayout(people);
    layout->addLayout(rest);
    layout->addLayout(filter);
    layout->addStretch();
}

void CPreInputPage::connectCaptions()
{
    const auto connectTo = [this](const QString &text, std::function<void()> action) {
        connect(caption(text), &CLinkLabel::clicked, this, [action] { action(); });
    };
    connectTo(QStringLiteral("类别:"), [this] {
        const QString chosen = chooser_(QStringLiteral("快递类别列表（双击选取！）"), form_.expressKindNames());
        if (chosen.isEmpty())
            return;
        readValues();
        form_.ChooseExpressKind(chosen);
        showValues();
    });
    connectTo(QStringLiteral("出发地:"), [this] { pickPhrase(PreInputForm::PhraseFrom); });
    connectTo(QStringLiteral("标签:"), [this] { pickPhrase(PreInputForm::PhraseMark); });
    connectTo(QStringLiteral("包装:"), [this] { pickPhrase(PreInputForm::PhrasePack); });
    connectTo(QStringLiteral("备注:"), [this] { pickPhrase(PreInputForm::PhraseRemark); });
    connectTo(QStringLiteral("日期:"), [this] {
        readValues();
        form_.CycleDate();
        showValues();
    });
    connectTo(QStringLiteral("运单号:"), [this] {
        readValues();
        if (form_.FillGeneratedNumber())
            showValues();
    });
    connectTo(QStringLiteral("收件人短信:"), [this] {
        readValues();
        form_.CopyPhoneToSms(PreInputValues::Receiver);
        showValues();
    });
    connectTo(QStringLiteral("发件人短信:"), [this] {
        readValues();
        form_.CopyPhoneToSms(PreInputValues::Sender);
        showValues();
    });
    connectTo(QStringLiteral("费用:"), [this] {
        readValues();
        emit priceRequested();
    });
    connectTo(QStringLiteral(" $"), [this] {
        readValues();
        if (form_.CheckQuotation())
            emit quotationRequested();
    });
    connectTo(QStringLiteral("付款:"), [this] { openCollect(); });
    connectTo(QStringLiteral("重量:"), [this] { openPieces(); });
    connectTo(QStringLiteral("品名:"), [this] { openGoods(); });
    connectTo(QStringLiteral("数量:"), [this] {
        readValues();
        form_.SummariseGoods();
        showValues();
    });
}

void CPreInputPage::showValues()
{
    const PreInputValues &v = form_.values();
    for (const PreInputValues::Field &f : PreInputValues::fields()) {
        QWidget *w = control(QString::fromLatin1(f.name));
        if (auto *box = qobject_cast<QLineEdit *>(w)) {
            switch (f.kind) {
            case PreInputValues::Kind::Text:
                box->setText(v.*(f.text));
                break;
            case PreInputValues::Kind::Int:
                box->setText(QString::number(v.*(f.integer)));
                break;
            case PreInputValues::Kind::Real:
                box->setText(realText(f.name, v.*(f.real)));
                break;
            case PreInputValues::Kind::Flag:
                break;
            }
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(w)) {
            text->setPlainText(toBox(v.*(f.text)));
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            combo->setCurrentIndex(f.kind == PreInputValues::Kind::Int ? v.*(f.integer)
                                                                       : int(combo->findText(v.*(f.text))));
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            check->setChecked(v.*(f.flag));
        }
    }
    showTitle();
    showIndicator();
}

void CPreInputPage::readValues()
{
    PreInputValues &v = form_.values();
    for (const PreInputValues::Field &f : PreInputValues::fields()) {
        QWidget *w = control(QString::fromLatin1(f.name));
        if (auto *box = qobject_cast<QLineEdit *>(w)) {
            const QString t = box->text();
            if (f.kind == PreInputValues::Kind::Text)
                v.*(f.text) = t;
            else if (f.kind == PreInputValues::Kind::Int)
                v.*(f.integer) = t.trimmed().toInt();
            else if (f.kind == PreInputValues::Kind::Real)
                v.*(f.real) = t.trimmed().toDouble();
        } else if (auto *text = qobject_cast<QPlainTextEdit *>(w)) {
            v.*(f.text) = fromBox(text->toPlainText());
        } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
            if (f.kind == PreInputValues::Kind::Int)
                v.*(f.integer) = combo->currentIndex();
            else
                v.*(f.text) = combo->currentText();
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            v.*(f.flag) = check->isChecked();
        }
    }
}

void CPreInputPage::showTitle()
{
    title_->setText(form_.title());
    title_->setStyleSheet(colour(form_.titleColor()));
}

void CPreInputPage::showIndicator()
{
    indicator_->setText(form_.destinationIndicator());
    indicator_->setStyleSheet(colour(form_.destinationIndicatorColor()));
}

void CPreInputPage::NewRecord()
{
    suggestions_->hide();
    form_.NewRecord();
    showClean();
}

bool CPreInputPage::LoadRecord(int iid)
{
    suggestions_->hide();
    if (!form_.LoadRecord(iid))
        return false;
    showClean();
    return true;
}

// Shows a record as loaded: what the controls show now is what later edits
// are measured from (their number formats round some values).
void CPreInputPage::showClean()
{
    showValues();
    readValues();
    form_.markClean();
}

bool CPreInputPage::ConfirmLeave()
{
    suggestions_->hide();
    readValues();
    if (!form_.hasEdits())
        return true;
    form_.setSaving(true);
    const bool go = form_.ConfirmLeave();
    form_.setSaving(false);
    // A save changes the values (its number, or a new record); a refused one keeps them.
    showValues();
    return go;
}

void CPreInputPage::RecordChangedElsewhere(int iid)
{
    readValues();
    if (form_.ReloadIfUnchanged(iid))
        showClean();
}

bool CPreInputPage::SaveRecord()
{
    suggestions_->hide();
    readValues();
    form_.setSaving(true);
    const bool saved = form_.SaveRecord();
    form_.setSaving(false);
    if (saved)
        showClean();
    else
        showValues();
    if (saved)
        focusAfterSave();
    return saved;
}

void CPreInputPage::focusAfterSave()
{
    for (const char *name : {"cnum", "cdes"}) {
        QWidget *w = control(QString::fromLatin1(name));
        if (w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool CPreInputPage::DeleteRecord()
{
    readValues();
    const bool deleted = form_.DeleteRecord();
    if (deleted)
        showClean();
    return deleted;
}

void CPreInputPage::CopyAll()
{
    readValues();
    form_.CopyAll();
}

void CPreInputPage::PasteAll()
{
    readValues();
    form_.PasteAll();
    showValues();
}

void CPreInputPage::ToggleLock(PreInputForm::Lock lock)
{
    readValues();
    form_.ToggleLock(lock);
    const bool locked = form_.locked(lock);
    lockMarkers_[lock]->setText(PreInputForm::LockText(locked));
    QWidget *field = lockFields_[lock];
    field->setEnabled(!locked);
    if (lock == PreInputForm::LockNumber)
        field->setStyleSheet(locked ? kLightBackground : QString());
}

bool CPreInputPage::ShowScaleReading(int grams)
{
    const std::optional<QString> shown = form_.ScaleReading(grams);
    if (shown)
        edit(QStringLiteral("fweight"))->setText(*shown);
    return shown.has_value();
}

bool CPreInputPage::WithdrawScaleReading()
{
    const std::optional<QString> shown = form_.WithdrawScaleReading();
    if (shown)
        edit(QStringLiteral("fweight"))->setText(*shown);
    return shown.has_value();
}

void CPreInputPage::pickPhrase(PreInputForm::PhraseTarget target)
{
    const QStringList phrases = form_.phrases();
    if (phrases.isEmpty())
        return;
    const QString chosen = chooser_(kPhraseTitle, phrases);
    if (chosen.isEmpty())
        return;
    readValues();
    form_.PickPhrase(target, chosen);
    showValues();
}

void CPreInputPage::openCollect()
{
    readValues();
    CollectForm collect = form_.OpenCollect();
    CCollectDlg dialog(collect, prompter_, this);
    if (runDialog_(dialog) == QDialog::Accepted)
        form_.ApplyCollect(collect);
}

void CPreInputPage::openPieces()
{
    readValues();
    PieceWeightForm pieces(form_.pieceLines(), form_.values().npieces, form_.volumeModeD(), prompter_);
    CPieceWeightDlg dialog(pieces, this);
    runDialog_(dialog);
    // The lines are edited in place: whatever closed the dialog keeps them.
    form_.PiecesEdited(pieces.changed());
    showValues();
}

void CPreInputPage::openGoods()
{
    readValues();
    GoodsForm goods(form_.goodsLines(), form_.iid(), context_, prompter_);
    CGoodsDlg dialog(goods, this, &context_.goodsNames());
    if (runDialog_(dialog) == QDialog::Accepted) {
        form_.GoodsEdited();
        showValues();
    }
}

void CPreInputPage::suggestDestinations(const QString &text)
{
    auto *field = edit(QStringLiteral("cdes"));
    destinations_ = text.isEmpty() ? QList<const DestinationEntry *>() : form_.DestinationSuggestions(text);
    QStringList rows;
    for (const DestinationEntry *d : destinations_)
        rows << d->text(DestinationEntry::Name) + (form_.Serves(*d) ? QStringLiteral("  √") : QStringLiteral("  ※"));
    suggestions_->showUnder(field, rows);
}

void CPreInputPage::suggestContacts(QLineEdit *field, const QString &text)
{
    const bool byPhone = field == control(QStringLiteral("cphone")) || field == control(QStringLiteral("csenderphone"));
    contacts_ = text.isEmpty() ? QList<const ContactRecord *>() : form_.ContactSuggestions(text, byPhone);
    QStringList rows;
    for (const ContactRecord *c : contacts_)
        rows << QStringLiteral("%1  %2[%3]").arg(Gbk::field(c->ccode), Gbk::field(c->cname), Gbk::field(c->cphone));
    suggestions_->showUnder(field, rows);
}

void CPreInputPage::suggestGoods(const QString &text)
{
    const GoodsNameDictionary &names = context_.goodsNames();
    goodsNames_ = names.count() > 0 && !text.isEmpty() ? names.Suggest(text.left(62)) : QList<const GoodsNameEntry *>();
    QStringList rows;
    for (const GoodsNameEntry *e : goodsNames_)
        rows << GoodsNameDictionary::SuggestionText(*e);
    suggestions_->showUnder(edit(QStringLiteral("cgoods")), rows);
}

bool CPreInputPage::takeGoods()
{
    auto *field = edit(QStringLiteral("cgoods"));
    const int row = suggestions_->field() == field ? suggestions_->highlighted() : -1;
    suggestions_->hide();
    if (row < 0 || row >= goodsNames_.size())
        return false;
    field->setText(GoodsNameDictionary::PickedName(*goodsNames_.at(row), field->text()));
    return true;
}

bool CPreInputPage::takeDestination()
{
    readValues();
    auto *field = edit(QStringLiteral("cdes"));
    const int row = suggestions_->field() == field ? suggestions_->highlighted() : -1;
    const DestinationEntry *entry = row >= 0 && row < destinations_.size() ? destinations_.at(row) : nullptr;
    suggestions_->hide();
    form_.LookupDestination(entry);
    showValues();
    if (!entry)
        field->end(false);
    return entry != nullptr;
}

bool CPreInputPage::takeContact(QWidget *field)
{
    const int row = suggestions_->field() == field ? suggestions_->highlighted() : -1;
    if (row < 0 || row >= contacts_.size())
        return false;
    const ContactRecord *contact = contacts_.at(row);
    suggestions_->hide();
    readValues();
    const bool receiver = field == control(QStringLiteral("creceiver")) || field == control(QStringLiteral("cphone"));
    form_.PickContact(receiver ? PreInputValues::Receiver : PreInputValues::Sender, *contact);
    showValues();
    QWidget *next = control(QStringLiteral("cmark"));
    if (receiver)
        next = control(form_.locked(PreInputForm::LockSender) ? QStringLiteral("csenderphone")
                                                              : QStringLiteral("csender"));
    next->setFocus(Qt::TabFocusReason);
    return true;
}

bool CPreInputPage::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
            // The page's own Ctrl+S, ahead of the frame's shortcut.
            event->accept();
            if (event->type() == QEvent::KeyPress)
                SaveRecord();
            return true;
        }
        if (event->type() != QEvent::KeyPress || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const bool listShown = suggestions_->isVisible() && suggestions_->field() == widget;
        if (listShown && (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
            suggestions_->moveHighlight(key->key() == Qt::Key_PageDown ? 1 : -1);
            return true;
        }
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (widget == control(QStringLiteral("cdes"))) {
            takeDestination();
            return false; // then on like Tab
        }
        if (widget == control(QStringLiteral("cgoods"))) {
            takeGoods();
            return false;
        }
        for (const char *name : {"creceiver", "cphone", "csender", "csenderphone"})
            if (widget == control(QString::fromLatin1(name)))
                return takeContact(widget);
        return false;
    }
    case QEvent::FocusIn:
        if (widget == control(QStringLiteral("fweight")))
            emit weightFocusChanged(true);
        return false;
    case QEvent::FocusOut:
        if (suggestions_ && suggestions_->field() == widget)
            suggestions_->hide();
        if (widget == control(QStringLiteral("fweight")))
            emit weightFocusChanged(false);
        return false;
    default:
        return false;
    }
}

} // namespace quarvel
