#include "net/EnvelopeStatus.h"

#include "net/ReplyText.h"

namespace quarvel {

namespace {

struct Entry {
    int status;
    const char16_t *text;
};

const Entry kTexts[] = {
    {0, u"没有查询结果。"},
    {-9, u"服务器数据库内部错误。"},
    {-10, u"VEdiz版本不支持。"},
    {-11, u"网站不存在。"},
    {-12, u"会员不存在。"},
    {-13, u"没有会员登入信息。"},
    {-15, u"未登入或工作期错误。"},
    {-18, u"会员类型错误。不支持提交的操作！"},
    {-100, u"版本错误。"},
    {-101, u"网站ID错误。"},
    {-102, u"帐号错误。"},
    {-103, u"操作不支持。"},
    {-104, u"ID错误。"},
    {-105, u"计数器错误。"},
    {-106, u"语言编码错误。"},
    {-107, u"工作期错误。"},
    {-108, u"查询命令错误。"},
    {-1000, u"没有可用的查询命令。"},
};

} // namespace

int EnvelopeStatus::read(const QByteArray &reply)
{
    return ReplyText::integer(reply);
}

QString EnvelopeStatus::text(int status)
{
    for (const Entry &e : kTexts)
        if (e.status == status)
            return QString::fromUtf16(e.text);
    return QStringLiteral("未知错误，查询失败。");
}

} // namespace quarvel
