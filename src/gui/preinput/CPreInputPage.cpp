#include "preinput/CPreInputPage.h"

#include "app/ClientContext.h"
#include "net/DestinationEntry.h"
#include "preinput/CCollectDlg.h"
#include "preinput/CGoodsDlg.h"
#include "preinput/CLinkLabel.h"
#include "preinput/CListChooseDlg.h"
#include "preinput/CPieceWeightDlg.h"
#include "preinput/CSuggestionList.h"
#include "preinput/CaptionKeys.h"
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

// A stored text that is not one of the list's (an imported "SEK") is shown
// as an extra entry, so that saving the record keeps it; the extra entry
// goes when another record is shown.
void selectText(QComboBox *combo, const QString &text)
{
    constexpr int kExtraRole = Qt::UserRole + 1;
    for (int i = combo->count() - 1; i >= 0; --i)
        if (combo->itemData(i, kExtraRole).toBool() && combo->itemText(i) != text)
            combo->removeItem(i);
    int at = combo->findText(text);
    if (at < 0 && !text.isEmpty()) {
        combo->addItem(text);
        at = combo->count() - 1;
        combo->setItemData(at, true, kExtraRole);
    }
    combo->setCurrentIndex(at);
}

} // namespace

CPreInputPage::CPreInputPage(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QWidget(parent), context_(context), prompter_(prompter), form_(context, prompter),
      chooser_([this](const QString &title, const QStringList &items) {
          return CListChooseDlg::Choose(this, title, items);
      }),
      runDialog_([](QDialog &dialog) { return dialog.exec(); }), ui_(this)
{
    // Group boxes and lock markers re-parent fields; the walk stays in entry order.
    const QList<QWidget *> &order = ui_.tabOrder();
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    connectControls();
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

void CPreInputPage::connectControls()
{
    connect(edit(QStringLiteral("cdes")), &QLineEdit::textEdited, this, &CPreInputPage::suggestDestinations);
    connect(edit(QStringLiteral("cgoods")), &QLineEdit::textEdited, this, &CPreInputPage::suggestGoods);
    for (const char *name : {"creceiver", "cphone", "csender", "csenderphone"}) {
        QLineEdit *box = edit(QString::fromLatin1(name));
        connect(box, &QLineEdit::textEdited, this, [this, box](const QString &t) { suggestContacts(box, t); });
    }
    connect(qobject_cast<QComboBox *>(control(QStringLiteral("npayway"))), &QComboBox::activated, this,
            [this](int index) {
                readValues();
                form_.SetPayWay(index);
                showValues();
            });
    for (QCheckBox *box : {ui_.unmarkedFilter(), ui_.markedFilter()})
        connect(box, &QCheckBox::clicked, this, [this] {
            emit filterModeChanged(
                PreInputRows::ModeOf(ui_.unmarkedFilter()->isChecked(), ui_.markedFilter()->isChecked()));
        });
    connect(ui_.exportHeader(), &QPushButton::clicked, this, &CPreInputPage::headerExportRequested);
    connect(ui_.hideButton(), &QPushButton::clicked, this, &CPreInputPage::hideRequested);
    for (int lock = 0; lock < PreInputForm::kLocks; ++lock)
        connect(static_cast<CLinkLabel *>(ui_.lockMarker(PreInputForm::Lock(lock))), &CLinkLabel::clicked, this,
                [this, lock] { ToggleLock(PreInputForm::Lock(lock)); });
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
    bindCaptionKeys();
}

// Every caption that does something is reachable from the keyboard.
void CPreInputPage::bindCaptionKeys()
{
    auto *keys = new CaptionKeys(this);
    const auto bind = [this, keys](const QString &text, const char *field, const QString &what,
                                   const QKeySequence &shortcut = {}) {
        keys->bind(caption(text), field ? control(QString::fromLatin1(field)) : nullptr, what, shortcut);
    };
    bind(QStringLiteral("类别:"), nullptr, QStringLiteral("选快递类别"), QKeySequence(Qt::ALT | Qt::Key_K));
    bind(QStringLiteral("出发地:"), "cfrom", QStringLiteral("选常用提示输入"));
    bind(QStringLiteral("标签:"), "cmark", QStringLiteral("选常用提示输入"));
    bind(QStringLiteral("包装:"), "cpack", QStringLiteral("选常用提示输入"));
    bind(QStringLiteral("备注:"), "cremark", QStringLiteral("选常用提示输入，加在备注后面"));
    bind(QStringLiteral("日期:"), "ddate", QStringLiteral("换日期：今天、昨天、前天"));
    bind(QStringLiteral("运单号:"), "cnum", QStringLiteral("生成运单号"));
    bind(QStringLiteral("收件人短信:"), "creceiversms", QStringLiteral("收件电话抄作短信号码"));
    bind(QStringLiteral("发件人短信:"), "csendersms", QStringLiteral("发件电话抄作短信号码"));
    bind(QStringLiteral("费用:"), "ffee", QStringLiteral("向服务器查询这件快件的运费"));
    bind(QStringLiteral(" $"), "cdes", QStringLiteral("在线价格查询"));
    bind(QStringLiteral("付款:"), "npayway", QStringLiteral("到付运费及代收货款"), QKeySequence(Qt::ALT | Qt::Key_C));
    bind(QStringLiteral("重量:"), "fweight", QStringLiteral("件数、重量和尺寸明细"), QKeySequence(Qt::ALT | Qt::Key_W));
    bind(QStringLiteral("品名:"), "cgoods", QStringLiteral("物品明细"), QKeySequence(Qt::ALT | Qt::Key_G));
    bind(QStringLiteral("数量:"), "nquantity", QStringLiteral("汇总物品明细"));
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
            if (f.kind == PreInputValues::Kind::Int)
                combo->setCurrentIndex(v.*(f.integer));
            else
                selectText(combo, v.*(f.text));
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
    ui_.title()->setText(form_.title());
    ui_.title()->setStyleSheet(colour(form_.titleColor()));
}

void CPreInputPage::showIndicator()
{
    ui_.indicator()->setText(form_.destinationIndicator());
    ui_.indicator()->setStyleSheet(colour(form_.destinationIndicatorColor()));
}

void CPreInputPage::BaseDataLoaded()
{
    if (form_.TakeDefaultKind())
        showValues();
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
    ui_.lockMarker(lock)->setText(PreInputForm::LockText(locked));
    QWidget *field = ui_.lockField(lock);
    field->setEnabled(!locked);
    if (lock == PreInputForm::LockNumber)
        field->setStyleSheet(locked ? QString::fromLatin1(PreInputControls::kLightBackground) : QString());
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
