#include "shell/PageCatalog.h"

namespace quarvel {

namespace {

using A = ListColumn::Align;

ListColumn col(const char16_t *caption, int width, A align = A::Left)
{
    return {QString::fromUtf16(caption), width, align};
}

} // namespace

QString PageCatalog::Title(int page)
{
    switch (page) {
    case PreInput:
        return QStringLiteral("●预录未上传业务记录列表");
    case RecordCheck:
        return QStringLiteral("●业务记录列表");
    case Scan:
        return QStringLiteral("●检查点扫描记录列表");
    case Contacts:
        return QStringLiteral("●收/发件人记录列表");
    case Settlement:
        return QStringLiteral("●快递业务结算记录列表");
    case PreQuery:
        return QStringLiteral("●已上传未处理预录业务记录列表");
    case DayReport:
        return QStringLiteral("●日结-当日快件列表");
    default:
        return {};
    }
}

QList<ListColumn> PageCatalog::Columns(int page)
{
    switch (page) {
    case PreInput:
        return {col(u"序号", 50),
                col(u"记", 25),
                col(u"业务日期", 80),
                col(u"运单号", 100),
                col(u"类别", 40, A::Center),
                col(u"件", 25, A::Center),
                col(u"重量", 60, A::Right),
                col(u"金额", 60, A::Right),
                col(u"目的地", 100),
                col(u"快递类别", 80),
                col(u"付款", 40),
                col(u"发件人", 60),
                col(u"所属部门", 70),
                col(u"收件人", 60),
                col(u"标签", 60),
                col(u"品名", 80),
                col(u"备注", 80)};
    case RecordCheck:
        return {col(u"序号", 55),           col(u"业务日期", 80),
                col(u"运单号", 100),        col(u"类别", 40, A::Center),
                col(u"件数", 40, A::Right), col(u"重量", 60, A::Right),
                col(u"金额", 60, A::Right), col(u"目的地", 100),
                col(u"快递类别", 80),       col(u"付款", 40),
                col(u"核收", 40),           col(u"发件人", 60),
                col(u"所属部门", 70),       col(u"收件人", 60),
                col(u"标签", 50),           col(u"品名", 80),
                col(u"状态", 60),           col(u"签收人", 100),
                col(u"送达日期时间", 110)};
    case Scan:
        return {col(u"序号", 50),
                col(u"运单号", 100),
                col(u"下一站", 80),
                col(u"日期时间", 110),
                col(u"服务地点", 100),
                col(u"详细信息", 150),
                col(u"Place", 100),
                col(u"Detail", 150),
                col(u"操作", 40),
                col(u"派件签收", 70),
                col(u"签收日期时间", 110),
                col(u"业务日期", 80),
                col(u"类别", 40, A::Center),
                col(u"件", 25, A::Center),
                col(u"重量", 60, A::Right),
                col(u"出发地", 100, A::Right),
                col(u"目的地", 100, A::Right),
                col(u"标签", 60, A::Right)};
    case Contacts:
        return {col(u"序号", 40),  col(u"编码", 80),  col(u"姓名", 100),     col(u"单位名称", 200),
                col(u"地址", 200), col(u"电话", 100), col(u"邮编", 70),      col(u"城市", 80),
                col(u"省州", 80),  col(u"国家", 70),  col(u"短信电话", 100), col(u"电子邮件", 150),
                col(u"备注", 200)};
    case Settlement:
        return {col(u"序号", 50),
                col(u"结算日期", 80),
                col(u"发票号", 150),
                col(u"类别", 40, A::Center),
                col(u"结算金额", 80, A::Right),
                col(u"票单金额", 80, A::Right),
                col(u"币种", 40),
                col(u"原币金额", 80, A::Right),
                col(u"经办人", 100),
                col(u"录入", 100),
                col(u"备注", 290)};
    case PreQuery:
        return {col(u"序号", 55),
                col(u"业务日期", 80),
                col(u"运单号", 120),
                col(u"类别", 40, A::Center),
                col(u"件数", 40, A::Center),
                col(u"重量", 70, A::Right),
                col(u"目的地", 110),
                col(u"快递类别", 90),
                col(u"付款", 40),
                col(u"发件人", 70),
                col(u"收件人", 70),
                col(u"收件人电话", 110),
                col(u"品名", 110),
                col(u"上传日期时间", 110)};
    case DayReport:
        return {col(u"序号", 50),         col(u"运单号", 100),    col(u"状态", 150),
                col(u"上传时间", 70),     col(u"目的地", 100),    col(u"省份", 60),
                col(u"快递类别", 80),     col(u"付款", 40),       col(u"件", 40, A::Right),
                col(u"重量", 60, A::Right), col(u"金额", 60, A::Right)};
    default:
        return {};
    }
}

} // namespace quarvel
