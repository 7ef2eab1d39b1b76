#include "query/PreEntryDeletion.h"

#include "app/Prompter.h"
#include "net/Envelope.h"
#include "net/EnvelopeStatus.h"
#include "net/ReplyText.h"

#include <algorithm>
#include <vector>

namespace quarvel {

QByteArray PreEntryDeletion::Statement(const QList<int> &ids)
{
    QByteArray text = "DELETE tarvo.dbo.rec_pre_input WHERE iid IN(";
    for (qsizetype i = 0; i < ids.size(); ++i)
        text += (i ? "," : "") + QByteArray::number(ids.at(i));
    return text + ')';
}

PreEntryDeletion::Result PreEntryDeletion::Run(const ServerSession &session, const QList<int> &ids, Prompter &prompter)
{
    Result r;
    if (ids.isEmpty()) {
        prompter.warning(QString(), QStringLiteral("没有选择需要删除的记录。"));
        return r;
    }
    if (!prompter.ask(
            QStringLiteral("删除记录确认提示"),
            QStringLiteral("选中的 %1 条记录删除后不能恢复！\r\n━━━━━━━━━━━━━━━━━\r\n想好了要删除记录吗？请确认！")
                .arg(ids.size()))) {
        r.outcome = Outcome::Declined;
        return r;
    }
    std::vector<char> buffer(kReplySize);
    for (qsizetype from = 0; from < ids.size(); from += kIdsPerRequest) {
        const QList<int> part = ids.mid(from, kIdsPerRequest);
        const int count = static_cast<int>(part.size());
        const int sent = Envelope::Post(session, Envelope::deletePreInputs(session, count, Statement(part)), buffer);
        if (sent <= 0) {
            prompter.error(QString(), QStringLiteral("与服务器通讯失败。返回值：%1").arg(sent));
            r.outcome = Outcome::NoConnection;
            return r;
        }
        const int status = EnvelopeStatus::read(ReplyText::cString(buffer.data(), sent));
        if (status < 0) {
            prompter.error(QString(), QStringLiteral("操作失败。返回值：%1").arg(status));
            r.outcome = Outcome::Refused;
            return r;
        }
        r.deleted += std::min(status, count);
    }
    r.outcome = Outcome::Deleted;
    return r;
}

} // namespace quarvel
