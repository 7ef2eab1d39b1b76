#include "preinput/PreInputForm.h"

#include "app/ClientContext.h"
#include "app/Prompter.h"
#include "preinput/DestinationMatch.h"
#include "preinput/Hundredths.h"
#include "preinput/PieceWeightForm.h"
#include "preinput/ProvinceTable.h"
#include "preinput/ShipmentStore.h"
#include "preinput/WaybillNumber.h"
#include "text/CheckText.h"
#include "text/Gbk.h"

#include <cstddef>
#include <cstring>

namespace quarvel {

namespace {

const QString kDateFormat = QStringLiteral("yyyy.MM.dd");

// One text of the page with its record field, caption and limits, in the
// order the save checks them (the order of the messages the operator meets).
struct TextCheck {
    QString PreInputValues::*value;
    const char16_t *caption;
    int min;
    int max;
    std::size_t offset;
    std::size_t width;
};

#define TEXT_CHECK(f, caption, min, max)                                                                               \
    TextCheck                                                                                                          \
    {                                                                                                                  \
        &PreInputValues::f, caption, min, max, offsetof(PreInputRecord, f), sizeof(PreInputRecord::f)                  \
    }

const TextCheck kTextChecks[] = {
    TEXT_CHECK(cnum, u"运单号", 7, 30),
    TEXT_CHECK(cfrom, u"出发地", 0, 62),
    TEXT_CHECK(cdepart, u"部门", 0, 30),
    TEXT_CHECK(cdes, u"目的地", 0, 62),
    TEXT_CHECK(cemskind, u"快递类别", 0, 15),
    TEXT_CHECK(cgoods, u"物品名称", 0, 254),
    TEXT_CHECK(cmark, u"标签", 0, 15),
    TEXT_CHECK(cremark, u"备注", 0, 254),
    TEXT_CHECK(ccurrency, u"货币", 0, 3),
    TEXT_CHECK(cgoodsorigin, u"原产地", 0, 3),
    TEXT_CHECK(cpack, u"包装", 0, 15),
    TEXT_CHECK(cpaydir, u"结算指示", 0, 3),
    TEXT_CHECK(creceiveraddr, u"收件地址", 5, 126),
    TEXT_CHECK(creceivercity, u"收件城市", 0, 30),
    TEXT_CHECK(creceivercountry, u"收件国家", 2, 62),
    TEXT_CHECK(creceiver, u"收件人", 1, 30),
    TEXT_CHECK(creceivermail, u"收件E-Mail", 0, 62),
    TEXT_CHECK(cphone, u"收件电话", 7, 62),
    TEXT_CHECK(creceiverzip, u"收件邮编", 0, 15),
    TEXT_CHECK(creceiverprov, u"收件省州", 2, 30),
    TEXT_CHECK(creceiversms, u"收件短信", 0, 22),
    TEXT_CHECK(creceivercorp, u"收件单位", 0, 126),
    TEXT_CHECK(csenderaddr, u"发件地址", 0, 126),
    TEXT_CHECK(csendercity, u"发件城市", 0, 30),
    TEXT_CHECK(csendercountry, u"发件国家", 0, 62),
    TEXT_CHECK(csender, u"发件人", 0, 30),
    TEXT_CHECK(csendermail, u"发件E-Mail", 0, 62),
    TEXT_CHECK(csenderphone, u"发件电话", 0, 62),
    TEXT_CHECK(csenderzip, u"发件邮编", 0, 15),
    TEXT_CHECK(csenderprov, u"发件省州", 0, 30),
    TEXT_CHECK(csendersms, u"发件短信", 0, 22),
    TEXT_CHECK(csendercorp, u"发件单位", 0, 126),
};

#undef TEXT_CHECK

// Reads the next run of digits after skipping anything else; 0 when none.
int nextNumber(const QString &text, qsizetype &at)
{
    while (at < text.size() && !text.at(at).isDigit())
        ++at;
    long long n = 0;
    while (at < text.size() && text.at(at).isDigit()) {
        if (n < 100000000)
            n = n * 10 + text.at(at).digitValue();
        ++at;
    }
    return static_cast<int>(n);
}

template <std::size_t N> void setText(char (&field)[N], const QString &text)
{
    Gbk::setField(field, text);
}

} // namespace

PreInputForm::PreInputForm(ClientContext &context, Prompter &prompter, QDate today)
    : context_(context), prompter_(prompter)
{
    dates_ = {today.toString(kDateFormat), today.addDays(-1).toString(kDateFormat),
              today.addDays(-2).toString(kDateFormat)};
    values_.ddate = dates_.first();
    NewRecord();
}

bool PreInputForm::TakeDefaultKind()
{
    const QStringList kinds = context_.baseData().kindNames();
    if (!isNew() || !values_.cemskind.isEmpty() || kinds.isEmpty())
        return false;
    values_.cemskind = kinds.first();
    return true;
}

QList<PreInputForm::TextRule> PreInputForm::TextRules()
{
    QList<TextRule> rules{{QStringLiteral("ddate"), QStringLiteral("业务日期"), 8, 30}};
    for (const TextCheck &check : kTextChecks)
        for (const PreInputValues::Field &f : PreInputValues::fields())
            if (f.kind == PreInputValues::Kind::Text && f.text == check.value)
                rules.append({QString::fromLatin1(f.name), QString::fromUtf16(check.caption), check.min, check.max});
    return rules;
}

QString PreInputForm::title() const
{
    return isNew() ? QStringLiteral("添加新业务记录") : QStringLiteral("修改业务记录:%1").arg(iid_);
}

void PreInputForm::NewRecord()
{
    iid_ = -1;
    collectSettle_ = cod_ = codSettle_ = 0;
    piecesChanged_ = false;
    goods_.clear();
    pieces_.clear();
    saving_ = false;
    zeroShown_ = true;

    PreInputValues &v = values_;
    v.nlanguage = 0;
    v.nitemtype = 1;
    v.cpaydir = QStringLiteral("PP");
    v.cpack.clear();
    v.ffee = 0;
    if (v.ddate.trimmed().isEmpty())
        v.ddate = dates_.first();
    v.cdes.clear();
    v.cgoods.clear();
    v.cmark.clear();
    v.cremark.clear();
    v.cnum.clear();
    for (QString PreInputValues::*f : PreInputValues::sideFields(PreInputValues::Receiver))
        (v.*f).clear();
    v.cgoodsorigin = QStringLiteral("CN");
    v.ideclare = v.iinsure = 0;
    v.npieces = 1;
    v.iprice = 1.0;
    v.nquantity = 1;
    v.fweight = 0;
    v.nmarked = false;
    // The kind stays from the last record; the first kind of the base data
    // when there was none yet (base data downloaded after the page opened).
    TakeDefaultKind();

    const ProgramSettings &s = context_.settings();
    if (!locks_[LockFrom])
        v.cfrom = s.origin;
    v.cdepart = s.department;
    const QString sender[] = {s.senderName, s.company,  s.address, s.phone, s.postcode,
                              s.country,    s.province, s.city,    s.mail,  s.sms};
    const auto fields = PreInputValues::sideFields(PreInputValues::Sender);
    for (std::size_t i = 0; i < fields.size(); ++i)
        v.*fields[i] = sender[i];
    markClean();
}

void PreInputForm::markClean()
{
    clean_ = values_;
    cleanCollect_ = {collectSettle_, cod_, codSettle_};
}

bool PreInputForm::hasEdits() const
{
    // Goods of a stored record are written by their dialog at once; those
    // of a new record wait for its save.
    return values_ != clean_ || piecesChanged_ || (isNew() && !goods_.empty()) ||
           cleanCollect_ != std::array<double, 3>{collectSettle_, cod_, codSettle_};
}

bool PreInputForm::ConfirmLeave()
{
    if (!hasEdits())
        return true;
    const QString text = isNew() ? QStringLiteral("新记录还没有保存。\r\n保存这条记录吗？")
                                 : QStringLiteral("业务记录%1已修改，还没有保存。\r\n保存修改吗？").arg(iid_);
    switch (prompter_.askSave(QStringLiteral("确认提示"), text)) {
    case Prompter::SaveChoice::Save:
        return SaveRecord();
    case Prompter::SaveChoice::Discard:
        return true;
    case Prompter::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool PreInputForm::ReloadIfUnchanged(int iid)
{
    if (iid < 0 || iid != iid_ || hasEdits())
        return false;
    if (!LoadRecord(iid))
        NewRecord();
    return true;
}

bool PreInputForm::LoadRecord(int iid)
{
    if (iid == -1)
        return false;
    const PreInputRecord *found = context_.preInputs().Find(iid);
    if (!found)
        return false;
    const PreInputRecord r = *found;
    iid_ = r.iid;
    record_ = r;
    PreInputValues &v = values_;
    v.nmarked = r.nmarked == 1;
    v.nitemtype = r.nitemtype;
    v.nlanguage = r.nlanguage;
    v.npayway = r.npayway;
    v.npieces = r.npieces;
    v.nquantity = r.nquantity;
    v.fweight = r.fweight;
    v.ffee = r.ffee;
    v.iprice = r.iprice / 100.0;
    v.ideclare = r.ideclare / 100.0;
    v.iinsure = r.iinsure / 100.0;
    const RecordDate date = r.ddate;
    v.ddate = QString::asprintf("%d.%02d.%02d", int(date.year), int(date.month), int(date.day));
    for (const TextCheck &check : kTextChecks) {
        const char *field = reinterpret_cast<const char *>(&r) + check.offset;
        v.*(check.value) = Gbk::toUnicode(field, ::strnlen(field, check.width));
    }
    collectSettle_ = r.fcollectsettle;
    cod_ = r.fcod;
    codSettle_ = r.fcodsettle;
    goods_.clear();
    pieces_.clear();
    context_.goods().CopyByParent(goods_, iid_);
    context_.weights().CopyByParent(pieces_, iid_);
    piecesChanged_ = false;
    markClean();
    return true;
}

bool PreInputForm::checkDate()
{
    if (!CheckText(values_.ddate, 8, 30, QStringLiteral("业务日期"), prompter_))
        return false;
    qsizetype at = 0;
    const int year = nextNumber(values_.ddate, at);
    const int month = nextNumber(values_.ddate, at);
    const int day = nextNumber(values_.ddate, at);
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day)) {
        prompter_.error(QString(), QStringLiteral("业务日期数据不合法。"));
        return false;
    }
    record_.ddate = {static_cast<unsigned short>(year), static_cast<unsigned char>(month),
                     static_cast<unsigned char>(day)};
    return true;
}

bool PreInputForm::checkAll()
{
    for (const TextCheck &check : kTextChecks) {
        char *field = reinterpret_cast<char *>(&record_) + check.offset;
        const QString caption = QString::fromUtf16(check.caption);
        if (!CheckText(values_.*(check.value), check.min, check.max, caption, prompter_, field, check.width))
            return false;
        // The destination is the base data's name, and it fills the
        // receiver's country, province and city where they are empty.
        if (check.value == &PreInputValues::cdes &&
            (!checkDestination() ||
             !CheckText(values_.cdes, check.min, check.max, caption, prompter_, field, check.width)))
            return false;
    }
    return true;
}

bool PreInputForm::checkDestination()
{
    const BaseData &base = context_.baseData();
    // Without base data there is nothing to check a destination against.
    if (values_.cdes.isEmpty() || base.destinations().isEmpty() || CompleteDestination())
        return true;
    const QStringList nearest = ResolveDestination(base, values_.cdes).nearest;
    QString text = QStringLiteral("目的地不在基本数据中：%1").arg(values_.cdes);
    if (!nearest.isEmpty())
        text += QStringLiteral("\r\n相近的目的地：%1").arg(nearest.join(u'、'));
    prompter_.error(QString(), text);
    return false;
}

void PreInputForm::fillNumbers()
{
    const PreInputValues &v = values_;
    record_.ffee = v.ffee;
    record_.fcollectsettle = collectSettle_;
    record_.fcod = cod_;
    record_.fcodsettle = codSettle_;
    record_.fweight = v.fweight;
    record_.fweighed = v.fweight;
    record_.ideclare = Hundredths(v.ideclare);
    record_.iinsure = Hundredths(v.iinsure);
    record_.iprice = Hundredths(v.iprice);
    record_.npieces = v.npieces;
    record_.nquantity = v.nquantity;
    record_.nlanguage = static_cast<std::uint8_t>(v.nlanguage);
    record_.nitemtype = static_cast<std::uint8_t>(v.nitemtype);
    record_.npayway = static_cast<std::uint8_t>(v.npayway);
    record_.nmarked = v.nmarked ? 1 : 0;
}

void PreInputForm::fillPieces()
{
    record_.nweightlines = static_cast<std::int32_t>(pieces_.size());
    QString size;
    if (pieces_.size() == 1) {
        const WeightRecord &p = pieces_.front();
        if (p.nlength > 0 && p.nwidth > 0 && p.nheight > 0) {
            size = QString::asprintf("%d*%d*%d", int(p.nlength), int(p.nwidth), int(p.nheight));
            const double kg = int(p.nweight) / 1000.0;
            if (kg > 0.0001)
                record_.fweighed = kg;
        }
    } else if (pieces_.size() >= 2) {
        const std::size_t counted = std::min(pieces_.size(), static_cast<std::size_t>(std::max(values_.npieces, 0)));
        double kg = 0;
        for (std::size_t i = 0; i < counted; ++i)
            kg += int(pieces_[i].nweight) / 1000.0;
        if (kg > 0.0001)
            record_.fweighed = kg;
    }
    if (volumeModeD())
        size += u'D';
    setText(record_.csize, size);
    record_.ngoodslines = static_cast<std::int32_t>(goods_.size());
}

bool PreInputForm::SaveRecord()
{
    storageFailed_ = false;
    record_ = PreInputRecord{};
    record_.iid = iid_;
    if (!checkDate())
        return false;
    if (values_.cnum.size() >= 7)
        values_.cnum = values_.cnum.toUpper();
    else
        values_.cnum = MakeNumber();
    values_.creceiverzip = values_.creceiverzip.toUpper();
    values_.csenderzip = values_.csenderzip.toUpper();
    if (!checkAll())
        return false;
    fillNumbers();
    fillPieces();

    const PreInputRecord *same = context_.preInputs().FindLastByNumber(QByteArray(record_.cnum));
    if (same && same->iid != iid_) {
        prompter_.error(QString(), QStringLiteral("相同运单号的记录已经存在。"));
        return false;
    }
    if (!store())
        return false;
    notify(true);
    return true;
}

bool PreInputForm::roomFor(int records, int goods, int pieces)
{
    // Asked before anything is written, so that a refusal never leaves a
    // record without its lines.
    const std::pair<const RecordFile *, int> needs[] = {
        {&context_.preInputs(), records}, {&context_.goods(), goods}, {&context_.weights(), pieces}};
    for (const auto &[file, appends] : needs) {
        const QString refusal = file->CheckRoom(appends);
        if (!refusal.isEmpty()) {
            prompter_.error(QString(), QStringLiteral("业务记录保存失败：%1").arg(refusal));
            return false;
        }
    }
    return true;
}

bool PreInputForm::store()
{
    const int pieceAppends = iid_ < 0 || piecesChanged_ ? static_cast<int>(pieces_.size()) : 0;
    if (!roomFor(iid_ < 0 ? 1 : 0, iid_ < 0 ? static_cast<int>(goods_.size()) : 0, pieceAppends))
        return false;
    ShipmentStore shipments(context_);
    if (iid_ < 0) {
        if (shipments.Add(record_, goods_, pieces_))
            return true;
    } else if (context_.preInputs().FindIndexById(iid_) < 0) {
        // Uploaded or deleted meanwhile: saying "saved" would lose the edits.
        prompter_.error(QString(), QStringLiteral("业务记录%1已经不存在（可能已上传或删除），未能保存。").arg(iid_));
        return false;
    } else if (shipments.Rewrite(record_, piecesChanged_ ? &pieces_ : nullptr)) {
        return true;
    }
    storageFailed_ = true;
    prompter_.error(QString(), QStringLiteral("业务记录保存失败：%1").arg(shipments.failure()));
    return false;
}

void PreInputForm::notify(bool saved)
{
    const PreInputRecord changed = record_;
    NewRecord();
    if (recordChanged_)
        recordChanged_(saved, changed);
}

bool PreInputForm::DeleteRecord()
{
    if (iid_ < 0)
        return false;
    if (!prompter_.ask(QStringLiteral("确认提示"),
                       QStringLiteral("记录数据删除后不能恢复！\r\n━━━━━━━━━━━━\r\n想好了要删除吗？请确认！")))
        return false;
    record_ = PreInputRecord{};
    record_.iid = iid_;
    context_.preInputs().DeleteById(iid_);
    context_.goods().DeleteByParent(iid_);
    context_.weights().DeleteByParent(iid_);
    context_.FlushRecords();
    notify(false);
    return true;
}

void PreInputForm::CopyAll()
{
    copy_ = values_;
}

void PreInputForm::PasteAll()
{
    if (!copy_)
        return;
    const bool marked = values_.nmarked;
    values_ = *copy_;
    values_.nmarked = marked;
}

void PreInputForm::SummariseGoods()
{
    if (goods_.empty())
        return;
    QString names;
    double total = 0;
    long long quantity = 0;
    const std::size_t count = std::min<std::size_t>(goods_.size(), 100);
    for (std::size_t i = 0; i < count; ++i) {
        const GoodsRecord &line = goods_[i];
        names += Gbk::field(line.cname) + u' ';
        total += int(line.nquantity) * double(line.fprice);
        quantity += int(line.nquantity);
    }
    while (!names.isEmpty() && names.back().isSpace())
        names.chop(1);
    // Cut by GBK bytes, so that the summary always passes the goods name's
    // own limit of 254 bytes.
    const QByteArray gbk = Gbk::fromUnicode(names);
    if (gbk.size() > 254)
        names = Gbk::toUnicode(gbk.left(
                    static_cast<qsizetype>(Gbk::characterBoundary(gbk.constData(), std::size_t(gbk.size()), 250)))) +
                QStringLiteral("...");
    if (quantity == 0)
        quantity = 1;
    values_.cgoods = names;
    values_.ideclare = total;
    values_.nquantity = static_cast<int>(quantity);
    values_.iprice = Hundredths(total / double(quantity)) / 100.0;
}

void PreInputForm::PiecesEdited(bool changed)
{
    if (!changed)
        return;
    piecesChanged_ = true;
    values_.fweight = double(PieceWeightForm::TotalGrams(pieces_, volumeModeD())) / 1000.0;
}

void PreInputForm::GoodsEdited()
{
    if (values_.cgoods.trimmed().isEmpty())
        SummariseGoods();
}

bool PreInputForm::volumeModeD() const
{
    return context_.baseData().volumeModeD();
}

CollectForm PreInputForm::OpenCollect()
{
    const bool onDelivery = values_.npayway == 2;
    if (!onDelivery)
        collectSettle_ = 0;
    return CollectForm(values_.ffee, collectSettle_, cod_, codSettle_, onDelivery);
}

void PreInputForm::ApplyCollect(const CollectForm &form)
{
    collectSettle_ = form.collectSettle;
    cod_ = form.cod;
    codSettle_ = form.codSettle;
}

void PreInputForm::SetPayWay(int index)
{
    values_.npayway = index;
    values_.cpaydir = index == 2 ? QStringLiteral("CC") : QStringLiteral("PP");
}

const ExpressKind *PreInputForm::currentKind() const
{
    return context_.baseData().kindByName(values_.cemskind);
}

void PreInputForm::ChooseExpressKind(const QString &name)
{
    values_.cemskind = name;
}

QStringList PreInputForm::expressKindNames() const
{
    return context_.baseData().kindNames();
}

bool PreInputForm::destinationServed() const
{
    const ExpressKind *kind = currentKind();
    return !values_.cdes.isEmpty() && kind && kind->serves(values_.cdes);
}

QList<const DestinationEntry *> PreInputForm::DestinationSuggestions(const QString &typed) const
{
    return MatchDestinations(context_.baseData(), typed.left(30), 5);
}

bool PreInputForm::Serves(const DestinationEntry &destination) const
{
    const ExpressKind *kind = currentKind();
    return !kind || kind->serves(destination.name);
}

void PreInputForm::LookupDestination(const DestinationEntry *highlighted)
{
    PreInputValues &v = values_;
    if (!highlighted) {
        v.nlanguage = 0;
        return;
    }
    v.cdes = highlighted->text(DestinationEntry::Name);
    v.nlanguage = highlighted->region <= 2 ? highlighted->region : 0;
    if (!highlighted->postcode.isEmpty())
        v.creceiverzip = highlighted->text(DestinationEntry::Postcode);
    if (highlighted->region == 2) {
        v.creceivercountry = highlighted->text(DestinationEntry::Country);
        v.creceiverprov.clear();
        v.creceivercity.clear();
        return;
    }
    v.creceivercountry = QStringLiteral("中国");
    if (const std::optional<ProvinceTable::Split> split = ProvinceTable::SplitDestination(v.cdes)) {
        v.creceiverprov = split->province;
        v.creceivercity = split->city;
    }
}

bool PreInputForm::CompleteDestination()
{
    PreInputValues &v = values_;
    const QString typed = v.cdes.trimmed();
    const DestinationEntry *d = ResolveDestination(context_.baseData(), typed).entry;
    if (!d)
        return false;
    // The record keeps the base data's own name, which pricing and the
    // express kinds know (北京, not 北京市).
    v.cdes = d->text(DestinationEntry::Name);
    v.nlanguage = d->region <= 2 ? d->region : 0;
    ReceiverPlace place{v.creceiverzip, v.creceivercountry, v.creceiverprov, v.creceivercity};
    FillFromDestination(*d, typed, place);
    v.creceiverzip = place.postcode;
    v.creceivercountry = place.country;
    v.creceiverprov = place.province;
    v.creceivercity = place.city;
    return true;
}

QList<const ContactRecord *> PreInputForm::ContactSuggestions(const QString &typed, bool byPhone) const
{
    ContactFile &contacts = context_.contacts();
    const QString text = typed.left(61);
    return byPhone ? contacts.LookupByPhone(text) : contacts.LookupByCodeOrName(text);
}

void PreInputForm::PickContact(PreInputValues::Side side, const ContactRecord &c)
{
    const QString from[] = {Gbk::field(c.cname), Gbk::field(c.ccorp),    Gbk::field(c.caddr), Gbk::field(c.cphone),
                            Gbk::field(c.czip),  Gbk::field(c.ccountry), Gbk::field(c.cprov), Gbk::field(c.ccity),
                            Gbk::field(c.cmail), Gbk::field(c.csms)};
    const auto fields = PreInputValues::sideFields(side);
    for (std::size_t i = 0; i < fields.size(); ++i)
        values_.*fields[i] = from[i];
}

void PreInputForm::CycleDate()
{
    const qsizetype at = dates_.indexOf(values_.ddate);
    values_.ddate = at >= 0 && at + 1 < dates_.size() ? dates_.at(at + 1) : dates_.first();
}

QString PreInputForm::MakeNumber() const
{
    const ServerSession &session = context_.session();
    return MakeWaybillNumber(QDate::currentDate(), context_.preInputs().GetNextId(), context_.settings().programNumber,
                             session.loggedIn() ? session.clientId() : 0);
}

bool PreInputForm::FillGeneratedNumber()
{
    if (!isNew())
        return false;
    values_.cnum = MakeNumber();
    return true;
}

QStringList PreInputForm::phrases() const
{
    return context_.promptPhrases().phrases();
}

void PreInputForm::PickPhrase(PhraseTarget target, const QString &phrase)
{
    if (phrase.isEmpty())
        return;
    switch (target) {
    case PhraseFrom:
        values_.cfrom = phrase;
        return;
    case PhraseMark:
        values_.cmark = phrase;
        return;
    case PhrasePack:
        values_.cpack = phrase;
        return;
    case PhraseRemark:
        break;
    }
    QString remark = values_.cremark;
    if (remark.contains(phrase))
        return;
    while (!remark.isEmpty() && remark.back().isSpace())
        remark.chop(1);
    values_.cremark = remark.isEmpty() ? phrase : remark + QStringLiteral("\r\n") + phrase;
}

std::optional<QString> PreInputForm::ScaleReading(int grams)
{
    if (saving_ || !isNew() || grams < 0)
        return std::nullopt;
    if (grams == 0) {
        if (zeroShown_)
            return std::nullopt;
        zeroShown_ = true;
        values_.fweight = 0;
        return QStringLiteral("0");
    }
    zeroShown_ = false;
    values_.fweight = grams * 0.001;
    return QString::asprintf("%.3f", values_.fweight);
}

std::optional<QString> PreInputForm::WithdrawScaleReading()
{
    if (!takesScaleReadings())
        return std::nullopt;
    // The field's empty state, as a new record shows it.
    zeroShown_ = true;
    values_.fweight = 0;
    return QStringLiteral("0");
}

bool PreInputForm::CheckQuotation()
{
    if (values_.cdes.trimmed().isEmpty()) {
        prompter_.error(QString(), QStringLiteral("在线价格查询：\r\n目的地不能为空。"));
        return false;
    }
    if (values_.fweight <= 0.001) {
        prompter_.error(QString(), QStringLiteral("在线价格查询：\r\n必须提供重量。"));
        return false;
    }
    return true;
}

void PreInputForm::CopyPhoneToSms(PreInputValues::Side side)
{
    PreInputValues &v = values_;
    const QString &phone = side == PreInputValues::Receiver ? v.cphone : v.csenderphone;
    if (phone.size() >= 8 && phone.size() <= 22)
        (side == PreInputValues::Receiver ? v.creceiversms : v.csendersms) = phone;
}

} // namespace quarvel
