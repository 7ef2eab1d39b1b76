#include "preinput/PreInputControls.h"

#include "preinput/CLinkLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace quarvel {

namespace {

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

PreInputControls::PreInputControls(QWidget *page) : page_(page)
{
    buildControls();
    for (const PreInputValues::Field &f : PreInputValues::fields())
        if (f.kind == PreInputValues::Kind::Int || f.kind == PreInputValues::Kind::Real)
            if (QLineEdit *box = edit(QString::fromLatin1(f.name)))
                acceptNumbersOnly(box, f.kind);
    buildLayout();
}

QLineEdit *PreInputControls::lineEdit(const QString &field, int maxChars)
{
    auto *box = new QLineEdit(page_);
    box->setMaxLength(maxChars);
    controls_.insert(field, box);
    tabOrder_.append(box);
    return box;
}

QLineEdit *PreInputControls::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(control(field));
}

CLinkLabel *PreInputControls::link(const QString &text)
{
    auto *label = new CLinkLabel(text, page_);
    captions_.insert(text, label);
    return label;
}

// The controls in the order Enter and Tab walk through them.
void PreInputControls::buildControls()
{
    auto *marked = new QCheckBox(QStringLiteral("标记"), page_);
    controls_.insert(QStringLiteral("nmarked"), marked);
    tabOrder_.append(marked);
    auto combo = [this](const QString &field, const QStringList &items) {
        auto *box = new QComboBox(page_);
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
    kind->setStyleSheet(QString::fromLatin1(kLightBackground));
    kind->setFixedWidth(150);
    lineEdit(QStringLiteral("npieces"), 6)->setFixedWidth(40);
    lineEdit(QStringLiteral("cfrom"), 62);
    lineEdit(QStringLiteral("cnum"), 30);
    lineEdit(QStringLiteral("cdes"), 62);
    lineEdit(QStringLiteral("ddate"), 30);
    lineEdit(QStringLiteral("fweight"), 12);
    lineEdit(QStringLiteral("ffee"), 12);
    combo(QStringLiteral("npayway"), PreInputValues::payWays());

    const char *receiver[] = {"creceiver",     "cphone",        "creceiverzip",     "creceiversms",  "creceivermail",
                              "creceivercorp", "creceiveraddr", "creceivercountry", "creceiverprov", "creceivercity"};
    const char *sender[] = {"csender",     "csenderphone", "csenderzip",     "csendersms",  "csendermail",
                            "csendercorp", "csenderaddr",  "csendercountry", "csenderprov", "csendercity"};
    const int limits[] = {30, 62, 15, 22, 62, 126, 126, 62, 30, 30};
    for (const auto *side : {receiver, sender}) {
        for (int i = 0; i < 10; ++i) {
            const QString name = QString::fromLatin1(side[i]);
            if (i == 6) {
                controls_.insert(name, multiLine(page_, 2));
                tabOrder_.append(control(name));
                continue;
            }
            lineEdit(name, limits[i]);
        }
    }
    lineEdit(QStringLiteral("cmark"), 15);
    lineEdit(QStringLiteral("cdepart"), 30);
    lineEdit(QStringLiteral("cpack"), 15);
    combo(QStringLiteral("cpaydir"), PreInputValues::payDirections());
    controls_.insert(QStringLiteral("cremark"), multiLine(page_, 3));
    tabOrder_.append(control(QStringLiteral("cremark")));
    lineEdit(QStringLiteral("cgoods"), 254);
    lineEdit(QStringLiteral("nquantity"), 9);
    lineEdit(QStringLiteral("iprice"), 14);
    combo(QStringLiteral("ccurrency"), PreInputValues::currencies());
    lineEdit(QStringLiteral("cgoodsorigin"), 3);
    lineEdit(QStringLiteral("ideclare"), 14);
    lineEdit(QStringLiteral("iinsure"), 14);

    filterUnmarked_ = new QCheckBox(QStringLiteral("未标记"), page_);
    filterMarked_ = new QCheckBox(QStringLiteral("已标记"), page_);
    filterUnmarked_->setChecked(true);
    filterMarked_->setChecked(true);
    exportHeader_ = new QPushButton(QStringLiteral("导出Excel表头"), page_);
    exportHeader_->setAutoDefault(false);
    tabOrder_ << filterUnmarked_ << filterMarked_ << exportHeader_;
    hideButton_ = new QPushButton(QStringLiteral("C"), page_);
    hideButton_->setFixedWidth(26);
    hideButton_->setFocusPolicy(Qt::NoFocus);
}

QWidget *PreInputControls::withLock(QWidget *field, PreInputForm::Lock lock)
{
    auto *marker = new CLinkLabel(PreInputForm::LockText(false), page_);
    marker->setStyleSheet(QString());
    marker->setFixedWidth(16);
    lockMarkers_[lock] = marker;
    lockFields_[lock] = field;
    auto *box = new QWidget(page_);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(field, 1);
    row->addWidget(marker);
    return box;
}

void PreInputControls::buildLayout()
{
    auto c = [this](const char *field) { return control(QString::fromLatin1(field)); };
    auto plain = [this](const QString &text) { return new QLabel(text, page_); };

    title_ = new QLabel(page_);
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title_->setFont(bold);
    indicator_ = new QLabel(page_);
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
    scaleIndicator_ = new QLabel(page_);
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
        auto *group = new QGroupBox(title, page_);
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

    auto *layout = new QVBoxLayout(page_);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(head);
    layout->addLayout(people);
    layout->addLayout(rest);
    layout->addLayout(filter);
    layout->addStretch();
}

} // namespace quarvel
