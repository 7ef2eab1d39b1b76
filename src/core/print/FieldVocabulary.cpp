#include "print/FieldVocabulary.h"

#include "text/Gbk.h"

#include <array>

namespace quarvel {

namespace {

constexpr std::array<const char16_t *, FieldVocabulary::kCount> kNames{
    u"发件人",       u"发件单位",   u"发件地址",   u"发件电话",     u"发件城市",  u"发件邮编",    u"发件省州",
    u"发件国家",     u"收件人",     u"收件单位",   u"收件地址",     u"收件电话",  u"收件城市",    u"收件邮编",
    u"收件省州",     u"收件国家",   u"入重",       u"业务日期",     u"出发地",    u"目的地",      u"发件单位简称",
    u"备注1",        u"备注2",      u"备注3",      u"备注4",        u"备注5",     u"物品描述",    u"物品包装",
    u"托运备注",     u"声明价值",   u"投保价值",   u"件数",         u"到付运费",  u"代收货款",    u"客户帐号",
    u"物品名称数量", u"服务商",     u"出重",       u"标价",         u"报关费",    u"标价-报关费", u"收客户费",
    u"内部单号",     u"转运单号",   u"参考号",     u"标签",         u"收件地址1", u"收件地址2",   u"收件地址3",
    u"发件地址1",    u"发件地址2",  u"发件地址3",  u"快件类型",     u"文件√",     u"包裹√",       u"防水袋√",
    u"记录ID",       u"来自ID",     u"报关单号",   u"所属部门",     u"发件邮箱",  u"收件邮箱",    u"收件短信",
    u"发送日期",     u"留用串",     u"发送批次号", u"物品描述外文", u"留用数",    u"所属站点",    u"检查点",
    u"操作员",       u"基础运费",   u"燃附费",     u"提货费",       u"送货费",    u"保险费",      u"包装费",
    u"杂费",         u"结算指示",   u"称重",       u"月结√",        u"现付√",     u"到付√",       u"1件品名",
    u"1件转单号",    u"1件参考号",  u"1件称重",    u"1件尺寸",      u"2件品名",   u"2件转单号",   u"2件参考号",
    u"2件称重",      u"2件尺寸",    u"3件品名",    u"3件转单号",    u"3件参考号", u"3件称重",     u"3件尺寸",
    u"目的地编码",   u"目的地英文", u"发件短信",
};

} // namespace

QString FieldVocabulary::Name(int index)
{
    return index >= 0 && index < kCount ? QString::fromUtf16(kNames[std::size_t(index)]) : QString();
}

QByteArray FieldVocabulary::NameGbk(int index)
{
    static const std::array<QByteArray, kCount> gbk = [] {
        std::array<QByteArray, kCount> names;
        for (int i = 0; i < kCount; ++i)
            names[std::size_t(i)] = Gbk::fromUnicode(Name(i));
        return names;
    }();
    return index >= 0 && index < kCount ? gbk[std::size_t(index)] : QByteArray();
}

int FieldVocabulary::IndexOf(const QString &name)
{
    for (int i = 0; i < kCount; ++i)
        if (name == QString::fromUtf16(kNames[std::size_t(i)]))
            return i;
    return -1;
}

} // namespace quarvel
