#include "scan/CheckForm.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <QDate>

#include <algorithm>
#include <array>

namespace quarvel {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm");
const QString kBadDate = QStringLiteral("业务日期数据不合法。");
const QString kLoginFirst = QStringLiteral("请先登入服务器。");

// The first six runs of digits of a text (year, month, day, hour, minute,
// second), whatever separates them; a missing one is 0.
std::array<int, 6> timeNumbers(const QString &text)
{
    std::array<int, 6> numbers{};
    qsizetype at = 0;
    for (int &n : numbers) {
        while (at < text.size() && !text.at(at).isDigit())
            ++at;
        long long value = 0;
        while (at < text.size() && text.at(at).isDigit()) {
            if (value < 100000000)
                value = value * 10 + text.at(at).digitValue();
            ++at;
        }
        n = static_cast<int>(value);
    }
    return numbers;
}

// An information template: "%s" becomes the signer when the template has
// one, "[下一站]" the next station and "[地点]" the place.
QString expand(QString text, const QString &signer, const QString &next, const QString &place)
{
    if (text.contains(QStringLiteral("%s")))
        text.replace(QStringLiteral("%s"), signer);
    text.replace(QStringLiteral("[下一站]"), next);
    text.replace(QStringLiteral("[地点]"), place);
    return text;
}

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

template <std::size_t N> QString fieldText(const char (&field)[N])
{
    return Gbk::field(field);
}

} // namespace

CheckForm::CheckForm(ClientContext &context, Prompter &prompter, Clock clock)
    : context_(context), prompter_(prompter), clock_(std::move(clock))
{
    NewScan();
}

QString CheckForm::now() const
{
    return (clock_ ? clock_() : context_.now()).toString(kTimeFormat);
}

QString CheckForm::loginLine(int line) const
{
    return context_.session().defaultLine(static_cast<ServerSession::DefaultLine>(line));
}

QString CheckForm::title() const
{
    return isNew() ? QStringLiteral("检查点信息扫描") : QStringLiteral("修改检查点信息:%1").arg(iid_);
}

void CheckForm::NewScan()
{
    iid_ = 0;
    values_.time = autoTime_ = now();
    values_.info.clear();
    values_.infoEn.clear();
    values_.signer.clear();
    values_.number.clear();
    values_.place.clear();
    values_.placeEn.clear();
    if (values_.category == CheckValues::Arrival)
        SelectCategory(CheckValues::Arrival);
}

void CheckForm::SelectCategory(int category)
{
    values_.category = std::clamp(category, 0, CheckValues::kCategories - 1);
    values_.signer.clear();
    const int c = values_.category;
    if (c == CheckValues::Arrival || c == CheckValues::Delivery || c == CheckValues::Signature)
        values_.next = loginLine(ServerSession::StationCode);
    signerLocked_ = c != CheckValues::Delivery && c != CheckValues::Signature;
    if (c == CheckValues::Delivery)
        signerCaption_ = QStringLiteral("派件人:");
    else if (c == CheckValues::Signature)
        signerCaption_ = QStringLiteral("签收人:");
}

bool CheckForm::nextEnabled() const
{
    return values_.category == CheckValues::Departure || values_.category == CheckValues::Exception;
}

bool CheckForm::flightShown() const
{
    return values_.category == CheckValues::Arrival || values_.category == CheckValues::Departure;
}

bool CheckForm::exceptionShown() const
{
    return values_.category == CheckValues::Exception;
}

CheckForm::Focus CheckForm::focusAfterCategory() const
{
    const int c = values_.category;
    return c == CheckValues::Delivery || c == CheckValues::Signature ? Focus::Signer : Focus::Waybill;
}

bool CheckForm::LoadScan(int iid)
{
    NewScan();
    const CheckRecord *found = iid > 0 ? context_.checks().Find(iid) : nullptr;
    if (!found)
        return false;
    const CheckRecord r = *found;
    iid_ = r.iid;
    record_ = r;
    SelectCategory(r.nkind < CheckValues::kCategories ? r.nkind : 0);
    CheckValues &v = values_;
    v.exception = v.category == CheckValues::Exception && r.nstate > 3 ? std::min(r.nstate - 3, 7) : 0;
    v.version = r.nversion <= CheckValues::Both ? int(r.nversion) : int(CheckValues::Chinese);
    if (flightShown())
        v.flight = r.nflight;
    v.number = fieldText(r.cnum);
    v.time = fieldText(r.cdate);
    v.place = fieldText(r.cplace);
    v.info = fieldText(r.cinfo);
    v.placeEn = fieldText(r.cplaceen);
    v.infoEn = fieldText(r.cinfoen);
    v.signer = fieldText(r.csigner);
    v.next = fieldText(r.cnext);
    return true;
}

bool CheckForm::checkTime(Prompter &prompter)
{
    if (!CheckText(values_.time, 8, 30, QStringLiteral("业务日期"), prompter, record_.cdate))
        return false;
    const std::array<int, 6> n = timeNumbers(values_.time);
    if (n[0] < 1 || n[0] > 9999 || !QDate::isValid(n[0], n[1], n[2])) {
        prompter.error(QString(), kBadDate);
        return false;
    }
    if (values_.category != CheckValues::Signature)
        return true;
    // A signing time the server cannot read would be replaced by its own clock.
    if (n[3] > 23 || n[4] > 59 || n[5] > 59) {
        prompter.error(QString(), kBadDate);
        return false;
    }
    Gbk::setField(record_.csigntime,
                  QString::asprintf("%d.%02d.%02d %02d:%02d:%02d", n[0], n[1], n[2], n[3], n[4], n[5]));
    return true;
}

bool CheckForm::checkNumber(Prompter &prompter)
{
    values_.number = values_.number.toUpper();
    if (!CheckText(values_.number, 7, 30, QStringLiteral("运单号"), prompter, record_.cnum))
        return false;
    // A scanner's separator or a stray key code inside a number is no waybill number.
    if (hasControlCharacter(values_.number)) {
        prompter.error(QStringLiteral("数据错误"),
                       QStringLiteral("[运单号]含有控制字符，不是有效的运单号，请重新扫描。"));
        return false;
    }
    return true;
}

bool CheckForm::checkTexts(Prompter &prompter)
{
    const int c = values_.category;
    if (c == CheckValues::Delivery &&
        !CheckText(values_.signer, 0, 15, QStringLiteral("派件人"), prompter, record_.csigner))
        return false;
    if (c == CheckValues::Signature &&
        !CheckText(values_.signer, 1, 15, QStringLiteral("签收人"), prompter, record_.csigner))
        return false;
    if ((c == CheckValues::Departure || c == CheckValues::Exception) &&
        !CheckText(values_.next, 0, 15, QStringLiteral("下一站"), prompter, record_.cnext))
        return false;
    return true;
}

bool CheckForm::checkTemplates(Prompter &prompter)
{
    CheckValues &v = values_;
    if (v.version != CheckValues::English) {
        QString info = expand(v.info, v.signer, v.next, v.place);
        if (!CheckText(v.place, 0, 126, QStringLiteral("中文_地点"), prompter, record_.cplace) ||
            !CheckText(info, 0, 254, QStringLiteral("中文_信息"), prompter, record_.cinfo))
            return false;
    }
    if (v.version != CheckValues::Chinese) {
        QString info = expand(v.infoEn, v.signer, v.next, v.placeEn);
        if (!CheckText(v.placeEn, 0, 126, QStringLiteral("英文_地点"), prompter, record_.cplaceen) ||
            !CheckText(info, 0, 254, QStringLiteral("英文_信息"), prompter, record_.cinfoen))
            return false;
    }
    return true;
}

bool CheckForm::SaveScan()
{
    return SaveScan(prompter_);
}

bool CheckForm::SaveScan(Prompter &prompter)
{
    storageFailed_ = false;
    RefreshTime();
    record_ = CheckRecord{};
    record_.iid = iid_;
    values_.version = std::clamp(values_.version, 0, 2);
    values_.category = std::clamp(values_.category, 0, CheckValues::kCategories - 1);
    if (!checkTime(prompter) || !checkNumber(prompter))
        return false;
    record_.nversion = static_cast<std::uint8_t>(values_.version);
    record_.nflight = static_cast<std::uint8_t>(values_.flight);
    if (!checkTexts(prompter) || !checkTemplates(prompter))
        return false;
    record_.nkind = static_cast<std::uint8_t>(values_.category);
    if (values_.category == CheckValues::Exception && values_.exception > 0)
        record_.nstate = static_cast<std::uint8_t>(std::min(values_.exception, CheckValues::kExceptions - 1) + 3);

    const CheckRecord *same = context_.checks().FindLastByNumber(QByteArray(record_.cnum));
    if (same && same->iid != iid_) {
        prompter.error(QString(), QStringLiteral("相同运单号的扫描记录已经存在。"));
        return false;
    }
    const bool added = iid_ <= 0;
    if (!store(prompter))
        return false;
    const CheckRecord saved = record_;
    if (added)
        values_.number.clear();
    else
        NewScan();
    if (recordChanged_)
        recordChanged_(added ? Change::Added : Change::Rewritten, saved);
    return true;
}

bool CheckForm::store(Prompter &prompter)
{
    CheckFile &file = context_.checks();
    if (iid_ > 0) {
        const int index = file.FindIndexById(iid_);
        if (index < 0) {
            // Uploaded or deleted meanwhile: appending it would send it twice.
            prompter.error(QString(), QStringLiteral("扫描记录%1已经不存在（可能已上传或删除），未能保存。").arg(iid_));
            return false;
        }
        const CheckRecord before = *file.At(index);
        file.WriteAt(index, &record_);
        if (file.Flush())
            return true;
        // Not on disk: the stored scan stays as it was.
        failOnDisk(prompter, file.errorText());
        file.WriteAt(index, &before);
        file.Flush();
        return false;
    }
    if (file.Append(&record_) == 0)
        return failOnDisk(prompter, file.errorText());
    if (file.Flush())
        return true;
    failOnDisk(prompter, file.errorText());
    file.DeleteById(record_.iid);
    file.Flush();
    return false;
}

bool CheckForm::failOnDisk(Prompter &prompter, const QString &reason)
{
    storageFailed_ = true;
    prompter.error(QString(), QStringLiteral("扫描记录保存失败：%1").arg(reason));
    return false;
}

bool CheckForm::DeleteScan()
{
    if (iid_ <= 0)
        return false;
    if (!prompter_.ask(QStringLiteral("确认提示"),
                       QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！")))
        return false;
    CheckFile &file = context_.checks();
    const CheckRecord *stored = file.Find(iid_);
    CheckRecord gone = stored ? *stored : record_;
    gone.iid = iid_;
    file.DeleteById(iid_);
    file.Flush();
    if (recordChanged_)
        recordChanged_(Change::Deleted, gone);
    NewScan();
    return true;
}

void CheckForm::NextFromLogin()
{
    values_.next = loginLine(ServerSession::SecondStationCode);
}

QStringList CheckForm::phrases() const
{
    return context_.promptPhrases().phrases();
}

void CheckForm::PickPhrase(PhraseTarget target, const QString &phrase)
{
    if (phrase.isEmpty())
        return;
    QString *fields[] = {&values_.signer, &values_.place, &values_.placeEn, &values_.info, &values_.infoEn};
    *fields[target] = phrase;
}

bool CheckForm::ToggleSignerLock()
{
    if (values_.category != CheckValues::Delivery && values_.category != CheckValues::Signature)
        return false;
    signerLocked_ = !signerLocked_;
    return true;
}

void CheckForm::TimeNow()
{
    values_.time = autoTime_ = now();
}

bool CheckForm::RefreshTime()
{
    if (!isNew() || values_.time != autoTime_)
        return false;
    const QString current = now();
    if (current == values_.time)
        return false;
    values_.time = autoTime_ = current;
    return true;
}

bool CheckForm::requireLogin()
{
    if (context_.session().loggedIn())
        return true;
    prompter_.warning(QString(), kLoginFirst);
    return false;
}

bool CheckForm::ApplyDefaults()
{
    if (!requireLogin())
        return false;
    values_.place = loginLine(ServerSession::Place);
    values_.info = loginLine(ServerSession::Information);
    values_.placeEn = loginLine(ServerSession::PlaceEnglish);
    values_.infoEn = loginLine(ServerSession::InformationEnglish);
    return true;
}

bool CheckForm::ToggleMode()
{
    if (!requireLogin())
        return false;
    online_ = !online_;
    return true;
}

void CheckForm::ToggleFlight()
{
    values_.flight =
        values_.flight == CheckValues::kAfterFlight ? CheckValues::kBeforeFlight : CheckValues::kAfterFlight;
}

QString CheckForm::flightText() const
{
    return values_.flight == CheckValues::kAfterFlight ? QStringLiteral("●位置在航班后")
                                                       : QStringLiteral("〇位置在航班前");
}

unsigned CheckForm::flightColor() const
{
    return values_.flight == CheckValues::kAfterFlight ? kAfterFlightRed : kGreen;
}

} // namespace quarvel
