#include "query/ServerList.h"

#include "net/Envelope.h"
#include "shell/PageCatalog.h"

namespace quarvel {

namespace {

QString named(const QStringList &names, int index)
{
    return index >= 0 && index < names.size() ? names.at(index) : QString::number(index);
}

} // namespace

int ServerList::Operation(ServerListKind kind)
{
    switch (kind) {
    case ServerListKind::Records:
        return Envelope::RecordList;
    case ServerListKind::PreEntries:
        return Envelope::PreInputList;
    case ServerListKind::Settlements:
        break;
    }
    return Envelope::SettlementList;
}

int ServerList::PageIndex(ServerListKind kind)
{
    switch (kind) {
    case ServerListKind::Records:
        return PageCatalog::RecordCheck;
    case ServerListKind::PreEntries:
        return PageCatalog::PreQuery;
    case ServerListKind::Settlements:
        break;
    }
    return PageCatalog::Settlement;
}

QString ServerList::Title(ServerListKind kind)
{
    return PageCatalog::Title(PageIndex(kind));
}

QList<ListColumn> ServerList::Columns(ServerListKind kind)
{
    return PageCatalog::Columns(PageIndex(kind));
}

QString ServerList::ExportTitle(ServerListKind kind)
{
    switch (kind) {
    case ServerListKind::Records:
        return QStringLiteral("快件记录清单");
    case ServerListKind::PreEntries:
        return QStringLiteral("未处理的预录快件记录清单");
    case ServerListKind::Settlements:
        break;
    }
    return QStringLiteral("快件结算记录清单");
}

QString ServerList::PreEntryCondition(int clientId)
{
    return QStringLiteral(" FROM tarvo.dbo.rec_pre_input WHERE icid=%1 AND irid=0").arg(clientId);
}

QString ServerList::ItemTypeName(int index)
{
    static const QStringList names{QStringLiteral("文件"), QStringLiteral("包裹"), QStringLiteral("防水袋")};
    return named(names, index);
}

QString ServerList::PayWayName(int index)
{
    static const QStringList names{QStringLiteral("月结"), QStringLiteral("现付"), QStringLiteral("到付")};
    return named(names, index);
}

QString ServerList::StateName(int index)
{
    static const QStringList names{QStringLiteral("未发"), QStringLiteral("已发"), QStringLiteral("转运"),
                                   QStringLiteral("送达"), QStringLiteral("超时"), QStringLiteral("扣关"),
                                   QStringLiteral("错误"), QStringLiteral("丢失"), QStringLiteral("退件"),
                                   QStringLiteral("异常"), QStringLiteral("销毁")};
    return named(names, index);
}

unsigned ServerList::StateColor(int state)
{
    if (state == 1)
        return 0x000000;
    if (state == 2)
        return 0x808000;
    if (state == 3)
        return 0x008000;
    if (state >= 4 && state <= 10)
        return 0xFF0000;
    return 0x808080;
}

} // namespace quarvel
