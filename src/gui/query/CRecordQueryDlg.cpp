#include "query/CRecordQueryDlg.h"

#include "net/BaseData.h"
#include "net/DestinationEntry.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CSuggestionList.h"
#include "preinput/CaptionKeys.h"
#include "preinput/DestinationMatch.h"
#include "query/QueryDialogButtons.h"
#include "shell/FormKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace quarvel {

namespace {

const QString kPhraseTitle = QStringLiteral("常用提示输入(双击选取！)");
constexpr int kSuggestions = 5;

QString number(double value)
{
    return value == 0 ? QStringLiteral("0") : QString::number(value, 'g', 12);
}

QHBoxLayout *row(std::initializer_list<QWidget *> widgets)
{
    auto *layout = new QHBoxLayout;
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return layout;
}

} // namespace

CRecordQueryDlg::CRecordQueryDlg(RecordQueryForm &form, const BaseData &baseData, const QStringList &phrases,
                                 Prompter &prompter, QWidget *parent)
    : QDialog(parent), form_(form), baseData_(baseData), phrases_(phrases), prompter_(prompter),
      chooser_(
          [this](const QString &title, const QStringList &items) { return CListChooseDlg::Choose(this, title, items); })
{
    setWindowTitle(RecordQueryForm::Title());
    build();
    suggestions_ = new CSuggestionList(this);
    connect(suggestions_, &CSuggestionList::picked, this, [this](int row) {
        suggestions_->setCurrentRow(row);
        takeDestination();
        field(QStringLiteral("des"))->setFocus();
    });
    FormKeys::Install(this);
    // After the form keys, so that Enter in the destination box takes the
    // suggestion before it moves on.
    field(QStringLiteral("des"))->installEventFilter(this);
    showValues();
}

QLineEdit *CRecordQueryDlg::lineEdit(const QString &name, int maxChars)
{
    auto *edit = new QLineEdit(this);
    if (maxChars > 0)
        edit->setMaxLength(maxChars);
    fields_.insert(name, edit);
    return edit;
}

QLineEdit *CRecordQueryDlg::field(const QString &name) const
{
    return fields_.value(name);
}

QCheckBox *CRecordQueryDlg::box(const QString &name) const
{
    return boxes_.value(name);
}

void CRecordQueryDlg::build()
{
    using F = RecordQueryForm;
    auto *grid = new QGridLayout;
    int line = 0;
    const auto label = [this](const char16_t *text) { return new QLabel(QString::fromUtf16(text), this); };
    const auto link = [this](const char16_t *text, void (CRecordQueryDlg::*action)()) {
        auto *l = new CLinkLabel(QString::fromUtf16(text), this);
        connect(l, &CLinkLabel::clicked, this, action);
        return l;
    };
    const auto boxes = [this](const QString &prefix, std::initializer_list<const char16_t *> texts) {
        auto *layout = new QHBoxLayout;
        int i = 0;
        for (const char16_t *t : texts) {
            auto *b = new QCheckBox(QString::fromUtf16(t), this);
            boxes_.insert(prefix + QString::number(i++), b);
            layout->addWidget(b);
        }
        layout->addStretch();
        return layout;
    };
    const auto add = [&](QWidget *caption, QLayout *content) {
        grid->addWidget(caption, line, 0, Qt::AlignRight);
        grid->addLayout(content, line++, 1);
    };

    add(label(u"运单号:"), row({lineEdit(QStringLiteral("num"), F::kWaybillChars)}));
    auto *pieces = lineEdit(QStringLiteral("pieces"), 9);
    pieces->setFixedWidth(60);
    // A negative count means "all but that many", so a sign is allowed.
    pieces->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,8}")), pieces));
    add(label(u"件数:"), row({pieces, label(u"(负非)")}));
    modeMarker_ = link(u"", &CRecordQueryDlg::NextDateMode);
    auto *from = lineEdit(QStringLiteral("from"), F::kFromChars);
    auto *to = lineEdit(QStringLiteral("to"), 31);
    auto *keys = new CaptionKeys(this);
    CLinkLabel *dates = link(u"日期:", &CRecordQueryDlg::StepDates);
    keys->bind(dates, from, QStringLiteral("换日期范围"));
    add(dates, row({from, label(u"至"), to}));
    add(new QLabel(this), row({modeMarker_}));
    CLinkLabel *kind = link(u"(渠道)类别:", &CRecordQueryDlg::ChooseKind);
    add(kind, row({lineEdit(QStringLiteral("kind"), F::kKindChars)}));
    keys->bind(kind, field(QStringLiteral("kind")), QStringLiteral("选快递类别"));
    add(label(u"类型:"), boxes(QStringLiteral("type"), {u"文件", u"包裹", u"防水袋"}));
    auto *des = lineEdit(QStringLiteral("des"), F::kDestinationChars);
    connect(des, &QLineEdit::textEdited, this, &CRecordQueryDlg::suggest);
    add(label(u"目的地:"), row({des}));
    add(label(u"地域:"), boxes(QStringLiteral("region"), {u"大陆", u"华语", u"外语"}));
    add(label(u"付款情况:"), boxes(QStringLiteral("pay"), {u"未核收", u"已核收"}));
    add(label(u"方式:"), boxes(QStringLiteral("way"), {u"月结", u"现付", u"到付"}));
    state_ = new QComboBox(this);
    state_->addItems(F::StateChoices());
    settlement_ = new QComboBox(this);
    settlement_->setEditable(true);
    settlement_->addItems(F::SettlementCodes());
    settlement_->lineEdit()->setMaxLength(F::kSettlementChars);
    add(label(u"记录状态:"), row({state_, label(u"结算:"), settlement_}));
    add(label(u"发件人:"), row({lineEdit(QStringLiteral("sender"), F::kNameChars), label(u"所属部门:"),
                                lineEdit(QStringLiteral("depart"), F::kNameChars)}));
    add(label(u"收件人:"), row({lineEdit(QStringLiteral("receiver"), F::kNameChars)}));
    add(label(u"收件电话:"), row({lineEdit(QStringLiteral("phone"), F::kPhoneChars)}));
    add(label(u"重量:"), row({lineEdit(QStringLiteral("wfrom"), 12), label(u"至"), lineEdit(QStringLiteral("wto"), 12),
                              label(u"公斤")}));
    add(label(u"运费:"),
        row({lineEdit(QStringLiteral("ffrom"), 12), label(u"至"), lineEdit(QStringLiteral("fto"), 12)}));
    const QRegularExpression amount(QStringLiteral("\\d{0,8}(\\.\\d{0,3})?"));
    for (const char *name : {"wfrom", "wto", "ffrom", "fto"})
        field(QString::fromLatin1(name))->setValidator(new QRegularExpressionValidator(amount, this));
    CLinkLabel *mark = link(u"标签:", &CRecordQueryDlg::ChoosePhrase);
    add(mark, row({lineEdit(QStringLiteral("label"), F::kLabelChars)}));
    keys->bind(mark, field(QStringLiteral("label")), QStringLiteral("选常用提示输入"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(QueryDialogButtons(
        this, [this] { Confirm(); }, [this] { Reset(); }));
}

void CRecordQueryDlg::showValues()
{
    const RecordQueryForm::Values &v = form_.values();
    field(QStringLiteral("num"))->setText(v.waybill);
    field(QStringLiteral("pieces"))->setText(QString::number(v.pieces));
    field(QStringLiteral("from"))->setText(v.from);
    field(QStringLiteral("to"))->setText(v.to);
    field(QStringLiteral("kind"))->setText(v.kind);
    field(QStringLiteral("des"))->setText(v.destination);
    field(QStringLiteral("sender"))->setText(v.sender);
    field(QStringLiteral("depart"))->setText(v.department);
    field(QStringLiteral("receiver"))->setText(v.receiver);
    field(QStringLiteral("phone"))->setText(v.phone);
    field(QStringLiteral("wfrom"))->setText(number(v.weightFrom));
    field(QStringLiteral("wto"))->setText(number(v.weightTo));
    field(QStringLiteral("ffrom"))->setText(number(v.feeFrom));
    field(QStringLiteral("fto"))->setText(number(v.feeTo));
    field(QStringLiteral("label"))->setText(v.label);
    for (int i = 0; i < 3; ++i) {
        box(QStringLiteral("type%1").arg(i))->setChecked(v.itemTypes[static_cast<std::size_t>(i)]);
        box(QStringLiteral("region%1").arg(i))->setChecked(v.regions[static_cast<std::size_t>(i)]);
        box(QStringLiteral("way%1").arg(i))->setChecked(v.payWays[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 2; ++i)
        box(QStringLiteral("pay%1").arg(i))->setChecked(v.payStates[static_cast<std::size_t>(i)]);
    state_->setCurrentIndex(v.state);
    settlement_->setCurrentText(v.settlement);
    modeMarker_->setText(RecordQueryForm::DateModeCaption(v.dateMode));
    modeMarker_->setStyleSheet(
        QStringLiteral("color: #%1;").arg(RecordQueryForm::DateModeColor(v.dateMode), 6, 16, QLatin1Char('0')));
}

void CRecordQueryDlg::readValues()
{
    RecordQueryForm::Values &v = form_.values();
    // Numbers that do not read are 0, as typed numbers always were.
    const auto real = [this](const char *name) {
        return field(QString::fromLatin1(name))->text().trimmed().toDouble();
    };
    v.waybill = field(QStringLiteral("num"))->text();
    v.pieces = field(QStringLiteral("pieces"))->text().trimmed().toInt();
    v.from = field(QStringLiteral("from"))->text();
    v.to = field(QStringLiteral("to"))->text();
    v.kind = field(QStringLiteral("kind"))->text();
    v.destination = field(QStringLiteral("des"))->text();
    v.sender = field(QStringLiteral("sender"))->text();
    v.department = field(QStringLiteral("depart"))->text();
    v.receiver = field(QStringLiteral("receiver"))->text();
    v.phone = field(QStringLiteral("phone"))->text();
    v.weightFrom = real("wfrom");
    v.weightTo = real("wto");
    v.feeFrom = real("ffrom");
    v.feeTo = real("fto");
    v.label = field(QStringLiteral("label"))->text();
    for (int i = 0; i < 3; ++i) {
        v.itemTypes[static_cast<std::size_t>(i)] = box(QStringLiteral("type%1").arg(i))->isChecked();
        v.regions[static_cast<std::size_t>(i)] = box(QStringLiteral("region%1").arg(i))->isChecked();
        v.payWays[static_cast<std::size_t>(i)] = box(QStringLiteral("way%1").arg(i))->isChecked();
    }
    for (int i = 0; i < 2; ++i)
        v.payStates[static_cast<std::size_t>(i)] = box(QStringLiteral("pay%1").arg(i))->isChecked();
    v.state = state_->currentIndex();
    v.settlement = settlement_->currentText();
}

void CRecordQueryDlg::Confirm()
{
    readValues();
    const bool ok = form_.Confirm(prompter_);
    showValues();
    if (ok)
        accept();
}

void CRecordQueryDlg::Reset()
{
    readValues();
    form_.Reset();
    showValues();
}

void CRecordQueryDlg::StepDates()
{
    readValues();
    form_.StepDates();
    showValues();
}

void CRecordQueryDlg::NextDateMode()
{
    readValues();
    form_.NextDateMode();
    showValues();
}

void CRecordQueryDlg::ChooseKind()
{
    const QString chosen = chooser_(RecordQueryForm::KindChooserTitle(), baseData_.kindNames());
    if (!chosen.isEmpty())
        field(QStringLiteral("kind"))->setText(chosen);
}

void CRecordQueryDlg::ChoosePhrase()
{
    const QString chosen = chooser_(kPhraseTitle, phrases_);
    if (!chosen.isEmpty())
        field(QStringLiteral("label"))->setText(chosen.left(RecordQueryForm::kLabelChars));
}

void CRecordQueryDlg::suggest(const QString &text)
{
    destinations_ =
        text.isEmpty() ? QList<const DestinationEntry *>() : MatchDestinations(baseData_, text.left(30), kSuggestions);
    QStringList rows;
    for (const DestinationEntry *d : destinations_)
        rows << d->text(DestinationEntry::Name);
    suggestions_->showUnder(field(QStringLiteral("des")), rows);
}

bool CRecordQueryDlg::takeDestination()
{
    const int row = suggestions_->highlighted();
    suggestions_->hide();
    if (row < 0 || row >= destinations_.size())
        return false;
    field(QStringLiteral("des"))->setText(destinations_.at(row)->text(DestinationEntry::Name));
    return true;
}

bool CRecordQueryDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        suggestions_->hide();
    } else if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            takeDestination(); // then on like Tab
        else if (suggestions_->isVisible() && (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
            suggestions_->moveHighlight(key->key() == Qt::Key_PageDown ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quarvel
