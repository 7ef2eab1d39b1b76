#include "contacts/ContactForm.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "text/CheckText.h"

namespace quarvel {

namespace {

const QString kDeleteQuestion = QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！");

template <std::size_t N>
bool check(QString &value, int min, int max, const char16_t *caption, Prompter &prompter, char (&field)[N])
{
    return CheckText(value, min, max, QString::fromUtf16(caption), prompter, field);
}

} // namespace

ContactForm::ContactForm(ClientContext &context, Prompter &prompter)
    : context_(context), file_(context.contacts()), prompter_(prompter)
{
    NewContact();
}

QString ContactForm::title() const
{
    return isNew() ? QStringLiteral("添加新收/发件人信息记录") : QStringLiteral("修改信息记录:%1").arg(iid_);
}

void ContactForm::NewContact()
{
    iid_ = -1;
    values_ = ContactValues();
}

bool ContactForm::LoadContact(int iid)
{
    if (iid == -1) {
        iid_ = -1;
        return false;
    }
    const ContactRecord *found = file_.Find(iid);
    if (!found)
        return false;
    record_ = *found;
    iid_ = record_.iid;
    values_ = ContactValues::Of(record_);
    return true;
}

bool ContactForm::checkUnique()
{
    ContactValues &v = values_;
    const ContactRecord *same = file_.FindLastByName(v.cname);
    if (same && same->iid != iid_) {
        prompter_.error(QString(), QStringLiteral("相同姓名的记录已经存在。"));
        return false;
    }
    if (v.ccode.trimmed().isEmpty())
        v.ccode = file_.MakeUniqueCode(v.cname);
    v.ccode = v.ccode.toLower();
    if (!check(v.ccode, 1, 11, u"编码", prompter_, record_.ccode))
        return false;
    if (file_.IsCodeTaken(v.ccode, iid_)) {
        prompter_.error(QString(), QStringLiteral("编码重复，不能保存。"));
        return false;
    }
    if (!check(v.cphone, 0, 62, u"电话号码", prompter_, record_.cphone))
        return false;
    // The phone is a key of the address book, an empty one included.
    same = file_.FindLastByPhone(v.cphone);
    if (same && same->iid != iid_) {
        prompter_.error(QString(), QStringLiteral("相同电话号码的记录已经存在。"));
        return false;
    }
    return true;
}

bool ContactForm::checkAll()
{
    ContactValues &v = values_;
    ContactRecord &r = record_;
    return check(v.caddr, 5, 126, u"详细地址", prompter_, r.caddr) &&
           check(v.ccorp, 0, 126, u"单位名称", prompter_, r.ccorp) &&
           check(v.czip, 0, 15, u"邮编", prompter_, r.czip) &&
           check(v.ccountry, 0, 62, u"国家", prompter_, r.ccountry) &&
           check(v.cprov, 0, 30, u"省州", prompter_, r.cprov) && check(v.ccity, 0, 30, u"城市", prompter_, r.ccity) &&
           check(v.cmail, 0, 62, u"电子邮件", prompter_, r.cmail) &&
           check(v.csms, 0, 22, u"短信号码", prompter_, r.csms) &&
           check(v.cremark, 0, 254, u"备注", prompter_, r.cremark);
}

bool ContactForm::SaveContact()
{
    record_ = ContactRecord{};
    record_.iid = iid_;
    storageFailed_ = false;
    if (!check(values_.cname, 1, 30, u"姓名", prompter_, record_.cname) || !checkUnique() || !checkAll() || !store())
        return false;
    const ContactRecord saved = record_;
    if (recordChanged_)
        recordChanged_(true, saved);
    file_.RebuildIndexes();
    NewContact();
    return true;
}

bool ContactForm::store()
{
    if (iid_ < 0) {
        if (file_.Append(&record_) == 0)
            return failOnDisk(file_.errorText());
        if (file_.Flush())
            return true;
        // Not on disk: the new contact goes again rather than be said saved.
        failOnDisk(file_.errorText());
        file_.DeleteById(record_.iid);
        file_.Flush();
        return false;
    }
    const int index = file_.FindIndexById(iid_);
    if (index < 0) {
        prompter_.error(QString(), QStringLiteral("名录记录%1已经不存在，未能保存。").arg(iid_));
        return false;
    }
    const ContactRecord before = *file_.At(index);
    file_.WriteAt(index, &record_);
    if (file_.Flush())
        return true;
    failOnDisk(file_.errorText());
    file_.WriteAt(index, &before);
    file_.Flush();
    return false;
}

bool ContactForm::failOnDisk(const QString &reason)
{
    storageFailed_ = true;
    prompter_.error(QString(), QStringLiteral("名录保存失败：%1").arg(reason));
    return false;
}

bool ContactForm::DeleteContact()
{
    if (iid_ < 0)
        return false;
    if (!prompter_.ask(QStringLiteral("确认提示"), kDeleteQuestion))
        return false;
    record_ = ContactRecord{};
    record_.iid = iid_;
    file_.DeleteById(iid_);
    context_.FlushRecords();
    const ContactRecord gone = record_;
    if (recordChanged_)
        recordChanged_(false, gone);
    NewContact();
    return true;
}

void ContactForm::CopyAll()
{
    copy_ = values_;
}

void ContactForm::PasteAll()
{
    if (!copy_)
        return;
    const QString code = values_.ccode;
    values_ = *copy_;
    values_.ccode = code;
}

bool ContactForm::LookupName()
{
    if (!CheckText(values_.cname, 1, 30, QStringLiteral("姓名"), prompter_))
        return false;
    const ContactRecord *found = file_.FindLastByName(values_.cname);
    return found && LoadContact(found->iid);
}

bool ContactForm::LookupPhone()
{
    if (!CheckText(values_.cphone, 0, 62, QStringLiteral("电话号码"), prompter_))
        return false;
    const ContactRecord *found = file_.FindLastByPhone(values_.cphone);
    return found && LoadContact(found->iid);
}

} // namespace quarvel
