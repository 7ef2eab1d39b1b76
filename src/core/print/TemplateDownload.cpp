#include "print/TemplateDownload.h"

#include "app/Prompter.h"
#include "net/HttpTransport.h"
#include "net/ReplyText.h"
#include "net/ServerSession.h"
#include "print/PrintTemplate.h"
#include "print/TemplateFiles.h"
#include "print/TemplatePairWrite.h"
#include "text/Gbk.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace quarvel {

namespace {

const QByteArray kPath = QByteArrayLiteral("/cgi-bin/VEdiz.dll?KVGetSysModel");
const QString kNoData = QStringLiteral("未能读取服务器数据。更新失败");

// The reply body, or an empty array after a transport failure.
QByteArray post(const ServerSession &session, const QByteArray &host, const QByteArray &body)
{
    std::vector<char> buffer(TemplateDownload::kReplySize + 1);
    const int n =
        HttpPost(host, kPath, body, std::span<char>(buffer.data(), TemplateDownload::kReplySize), session.timeouts());
    return n > 0 ? QByteArray(buffer.data(), n) : QByteArray();
}

// A decimal line starting at `from`; the position after its line feed in `next`.
bool numberLine(const QByteArray &reply, qsizetype from, qint64 &value, qsizetype &next)
{
    const qsizetype end = reply.indexOf('\n', from);
    if (end < 0)
        return false;
    value = ReplyText::integer(reply, from);
    next = end + 1;
    return true;
}

// The path of one of the entry's files inside the folder, or empty when it
// would lie anywhere else.
QString inside(const QString &folder, const QString &fileName)
{
    const QString path = TemplateFiles::Find(folder, fileName);
    const QString parent = QFileInfo(path).absolutePath();
    return parent == QDir(folder).absolutePath() ? path : QString();
}

} // namespace

QByteArray TemplateDownload::ListRequest(const QString &siteCode)
{
    return "w=" + Gbk::fromUnicode(siteCode);
}

QByteArray TemplateDownload::TemplateRequest(const QString &siteCode, const QByteArray &name)
{
    return ListRequest(siteCode) + "&cmodel=" + name;
}

QList<TemplateDownload::Entry> TemplateDownload::ParseList(const QByteArray &reply)
{
    QList<Entry> entries;
    qsizetype at = reply.indexOf('\n');
    while (at >= 0 && entries.size() < kMaxEntries) {
        const qsizetype end = reply.indexOf('\n', at + 1);
        if (end < 0)
            break;
        QByteArray line = reply.mid(at + 1, end - at - 1);
        at = end;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() <= 1)
            break;
        const QByteArray name = line.mid(1);
        if (PrintTemplate::IsValidName(name))
            entries.append({TemplateKinds::FromListCharacter(line[0]), name});
    }
    return entries;
}

bool TemplateDownload::ParseTemplate(const QByteArray &reply, QByteArray &definition, QByteArray &spreadsheet)
{
    if (!reply.startsWith("+0\n"))
        return false;
    qint64 t = 0;
    qint64 x = 0;
    qsizetype at = 3;
    if (!numberLine(reply, at, t, at) || !numberLine(reply, at, x, at) || t < 1 || x < 1)
        return false;
    if (reply.size() - at < t + 1 + x)
        return false;
    definition = reply.mid(at, t + 1);
    spreadsheet = reply.mid(at + t + 1, x);
    return true;
}

bool TemplateDownload::Store(const QString &modelFolder, const Entry &entry, const QByteArray &definition,
                             const QByteArray &spreadsheet, QString *error)
{
    if (!PrintTemplate::IsValidName(entry.name) || !QDir().mkpath(modelFolder))
        return false;
    const QString stem = TemplateKinds::Prefix(entry.kind) + Gbk::toUnicode(entry.name);
    const QString txtPath = inside(modelFolder, stem + QStringLiteral(".txt"));
    const QString xlsPath = inside(modelFolder, stem + QStringLiteral(".xls"));
    if (txtPath.isEmpty() || xlsPath.isEmpty())
        return false;
    TemplatePairWrite pair(txtPath, xlsPath);
    if (pair.Prepare(definition, spreadsheet) && pair.Commit())
        return true;
    if (error)
        *error = pair.errorText();
    return false;
}

TemplateDownload::Result TemplateDownload::Run(const ServerSession &session, const QString &modelFolder,
                                               const Progress &progress,
                                               const PrintTemplate::WorkbookCheck &officeOpens)
{
    const QByteArray body = ListRequest(session.siteCode());
    QByteArray host = session.CurrentServerHost();
    QByteArray list = post(session, host, body);
    if (list.isEmpty())
        return {-1, kNoData};
    const QByteArray named = list.startsWith('+') ? QByteArray() : RedirectAddress(list);
    if (!named.isEmpty()) {
        host = session.redirectTarget(named);
        list = post(session, host, body);
        if (!list.startsWith('+'))
            return {-1, kNoData};
    }
    int stored = 0;
    QStringList refused;
    const QList<Entry> entries = ParseList(list);
    for (int i = 0; i < entries.size(); ++i) {
        if (progress && !progress(i, int(entries.size())))
            return {stored, QStringLiteral("下载已停止，共下载更新 %1 个打印模版。").arg(stored)};
        const Entry &entry = entries[i];
        QByteArray definition;
        QByteArray spreadsheet;
        const QByteArray reply = post(session, host, TemplateRequest(session.siteCode(), entry.name));
        // A spreadsheet that is no workbook would only replace a good template with junk.
        if (!ParseTemplate(reply, definition, spreadsheet) || !PrintTemplate::IsWorkbook(spreadsheet, officeOpens))
            continue;
        QString why;
        if (Store(modelFolder, entry, definition, spreadsheet, &why))
            ++stored;
        else if (!why.isEmpty())
            refused << why;
    }
    QString text = QStringLiteral("共下载更新 %1 个打印模版。").arg(stored);
    if (!refused.isEmpty())
        text += QStringLiteral("\r\n") + refused.join(QStringLiteral("\r\n"));
    return {stored, text};
}

int TemplateDownload::Download(const ServerSession &session, const QString &modelFolder, Prompter &prompter)
{
    return Show(Run(session, modelFolder), prompter);
}

int TemplateDownload::Show(const Result &r, Prompter &prompter)
{
    if (r.stored < 0)
        prompter.error(QString(), r.message);
    else
        prompter.inform(QString(), r.message);
    return r.stored;
}

} // namespace quarvel
