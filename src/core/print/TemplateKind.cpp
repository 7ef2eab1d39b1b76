#include "print/TemplateKind.h"

namespace quarvel {

QString TemplateKinds::Prefix(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Invoice:
        return QStringLiteral("IVC_");
    case TemplateKind::Waybill:
        return QStringLiteral("TAB_");
    case TemplateKind::Manifest:
        return QStringLiteral("JJD_");
    case TemplateKind::Label:
        break;
    }
    return QStringLiteral("LBL_");
}

QString TemplateKinds::KindName(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Invoice:
        return QStringLiteral("形式发票");
    case TemplateKind::Waybill:
        return QStringLiteral("快件面单");
    case TemplateKind::Manifest:
        return QStringLiteral("交接单");
    case TemplateKind::Label:
        break;
    }
    return QStringLiteral("快件标签");
}

QString TemplateKinds::DefaultName(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Invoice:
        return QStringLiteral("默认形式发票");
    case TemplateKind::Waybill:
        return QStringLiteral("默认面单");
    case TemplateKind::Manifest:
        return QStringLiteral("默认交接单");
    case TemplateKind::Label:
        break;
    }
    return QStringLiteral("默认标签");
}

QString TemplateKinds::MissingText(TemplateKind kind)
{
    switch (kind) {
    case TemplateKind::Invoice:
        return QStringLiteral("没有选择可用的形式发票模版。");
    case TemplateKind::Waybill:
        return QStringLiteral("没有选择可用的面单模版。");
    case TemplateKind::Manifest:
        return QStringLiteral("没有选择可用的交接单模版。");
    case TemplateKind::Label:
        break;
    }
    return QStringLiteral("没有选择可用的标签模版。");
}

TemplateKind TemplateKinds::FromListCharacter(char c)
{
    if (c == '0')
        return TemplateKind::Invoice;
    if (c == '1')
        return TemplateKind::Waybill;
    return TemplateKind::Label;
}

} // namespace quarvel
