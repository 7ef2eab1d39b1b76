#include "contacts/CContactPage.h"

#include "shell/FormKeys.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel {

namespace {

struct Control {
    const char *field;
    const char16_t *caption;
    int maxChars;
    int lines; // 0 for a one-line field
};

// The page's fields in the order Enter and Tab walk through them.
const Control kControls[] = {
    {"ccode", u"编码:", 11, 0},  {"cname", u"姓名:", 30, 0},  {"cphone", u"电话:", 62, 0},
    {"ccorp", u"单位:", 126, 0}, {"caddr", u"地址:", 126, 3}, {"ccountry", u"国家:", 62, 0},
    {"cprov", u"省州:", 30, 0},  {"ccity", u"城市:", 30, 0},  {"czip", u"邮编:", 15, 0},
    {"cmail", u"电邮:", 62, 0},  {"csms", u"短信:", 22, 0},   {"cremark", u"备注:", 254, 4},
};

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

} // namespace

CContactPage::CContactPage(ClientContext &context, Prompter &prompter, QWidget *parent)
    : QWidget(parent), form_(context, prompter)
{
    buildControls();
    buildLayout();
    for (qsizetype i = 1; i < tabOrder_.size(); ++i)
        setTabOrder(tabOrder_.at(i - 1), tabOrder_.at(i));
    FormKeys::Install(this);
    // Installed after the form keys, so this filter sees each key first.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    form_.setRecordChanged([this](bool saved, const ContactRecord &record) { emit recordChanged(saved, record); });
    NewContact();
}

void CContactPage::buildControls()
{
    for (const Control &c : kControls) {
        QWidget *box = nullptr;
        if (c.lines > 0) {
            auto *text = new QPlainTextEdit(this);
            text->setTabChangesFocus(true);
            text->setFixedHeight(text->fontMetrics().lineSpacing() * c.lines + 10);
            box = text;
        } else {
            auto *line = new QLineEdit(this);
            line->setMaxLength(c.maxChars);
            box = line;
        }
        controls_.insert(QString::fromLatin1(c.field), box);
        tabOrder_.append(box);
    }
    exportHeader_ = new QPushButton(QStringLiteral("导出Excel表头"), this);
    exportHeader_->setAutoDefault(false);
    tabOrder_.append(exportHeader_);
    connect(exportHeader_, &QPushButton::clicked, this, &CContactPage::headerExportRequested);
    hideButton_ = new QPushButton(QStringLiteral("C"), this);
    hideButton_->setFixedWidth(26);
    hideButton_->setFocusPolicy(Qt::NoFocus);
    connect(hideButton_, &QPushButton::clicked, this, &CContactPage::hideRequested);
}

void CContactPage::buildLayout()
{
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    title_->setFont(bold);
    auto *top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(hideButton_);

    auto *fields = new QFormLayout;
    fields->setVerticalSpacing(4);
    for (const Control &c : kControls)
        fields->addRow(QString::fromUtf16(c.caption), control(QString::fromLatin1(c.field)));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportHeader_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addStretch();
}

QLineEdit *CContactPage::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(control(field));
}

void CContactPage::showValues()
{
    const ContactValues &v = form_.values();
    for (const ContactValues::Field &f : ContactValues::fields()) {
        QWidget *w = control(QString::fromLatin1(f.name));
        if (auto *line = qobject_cast<QLineEdit *>(w))
            line->setText(v.*(f.value));
        else if (auto *text = qobject_cast<QPlainTextEdit *>(w))
            text->setPlainText(toBox(v.*(f.value)));
    }
    showTitle();
}

void CContactPage::readValues()
{
    ContactValues &v = form_.values();
    for (const ContactValues::Field &f : ContactValues::fields()) {
        QWidget *w = control(QString::fromLatin1(f.name));
        if (auto *line = qobject_cast<QLineEdit *>(w))
            v.*(f.value) = line->text();
        else if (auto *text = qobject_cast<QPlainTextEdit *>(w))
            v.*(f.value) = fromBox(text->toPlainText());
    }
}

void CContactPage::showTitle()
{
    title_->setText(form_.title());
    title_->setStyleSheet(colour(form_.titleColor()));
}

void CContactPage::NewContact()
{
    form_.NewContact();
    showValues();
    control(QStringLiteral("ccode"))->setFocus(Qt::OtherFocusReason);
}

bool CContactPage::LoadContact(int iid)
{
    if (!form_.LoadContact(iid))
        return false;
    showValues();
    control(QStringLiteral("ccode"))->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CContactPage::SaveContact()
{
    readValues();
    const bool saved = form_.SaveContact();
    showValues();
    if (saved)
        control(QStringLiteral("ccode"))->setFocus(Qt::OtherFocusReason);
    return saved;
}

bool CContactPage::DeleteContact()
{
    readValues();
    const bool deleted = form_.DeleteContact();
    if (deleted)
        showValues();
    return deleted;
}

void CContactPage::CopyAll()
{
    readValues();
    form_.CopyAll();
}

void CContactPage::PasteAll()
{
    readValues();
    form_.PasteAll();
    showValues();
}

void CContactPage::lookUp(QWidget *field)
{
    readValues();
    const bool name = field == control(QStringLiteral("cname"));
    const int before = form_.iid();
    if (name)
        form_.LookupName();
    else
        form_.LookupPhone();
    // The check trims what was typed; a contact found replaces every field.
    showValues();
    if (form_.iid() != before)
        emit lookedUp();
}

bool CContactPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_S && key->modifiers() == Qt::ControlModifier) {
        // The page's own Ctrl+S, ahead of the frame's shortcut.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            SaveContact();
        return true;
    }
    if (event->type() != QEvent::KeyPress || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (widget == control(QStringLiteral("cname")) || widget == control(QStringLiteral("cphone"))))
        lookUp(widget);
    // The form keys move on like Tab.
    return false;
}

} // namespace quarvel
