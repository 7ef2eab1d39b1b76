#include "upload/UploadProgress.h"

namespace quarvel {

QString UploadProgress::counts(int total, int successes, int failures)
{
    const int done = successes + failures;
    const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 0;
    return QStringLiteral("共 %1 条，已处理 %2 条(%3%)。%4 成功; %5 失败。")
        .arg(total)
        .arg(done)
        .arg(percent)
        .arg(successes)
        .arg(failures);
}

QString UploadProgress::transportText(int code)
{
    switch (code) {
    case -2:
        return QStringLiteral("网络连接套接字创建失败。");
    case -3:
        return QStringLiteral("服务器域名解析失败。");
    case -4:
        return QStringLiteral("网络连接参数设置失败。");
    case -5:
        return QStringLiteral("服务器连接失败。");
    case -6:
        return QStringLiteral("服务器返回错误状态码,请求不支持或不存在。");
    case -7:
        return QStringLiteral("服务器返回数据不完整。");
    case -8:
        return QStringLiteral("服务器应答超时。");
    case -20:
        return QStringLiteral("上传日志(DATA_SYS/upload.jnl)写入失败，终止传送。");
    default:
        return QStringLiteral("数据不正确或未知错误。");
    }
}

QString UploadProgress::journalText(const QString &reason)
{
    return QStringLiteral("上传日志(DATA_SYS/upload.jnl)写入失败：%1终止传送。").arg(reason);
}

QString UploadProgress::final(UploadEnding ending, int code, int total, int successes, int failures)
{
    switch (ending) {
    case UploadEnding::Cancelled:
        return counts(total, successes, failures) + QStringLiteral("终止传送");
    case UploadEnding::TransportFailed:
        return transportText(code);
    case UploadEnding::EmptyReply:
        return counts(total, successes, failures) + QStringLiteral("服务器没有返回数据，终止传送");
    case UploadEnding::AllSent:
    case UploadEnding::StoppedByServer:
        break;
    }
    return counts(total, successes, failures);
}

} // namespace quarvel
