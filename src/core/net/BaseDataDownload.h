#pragma once

#include <QByteArray>
#include <QString>

namespace quarvel {

class BaseData;
class HttpByteSource;
class Prompter;
class ServerSession;

// Fetching the base data from the configured server into DATA_SYS/0.dat: a
// GET whose body starts with 'C' and ends with BEL, stored byte by byte XOR 8
// (the BEL included). A body that names another server's IPv4 address sends
// the request there once. The previous file is replaced only by a complete
// body that holds express kinds and destinations, so a failed, cut-off,
// oversized or empty download leaves it as it was.
class BaseDataDownload {
public:
    enum Result {
        Stored = 0,
        Redirected = 1,
        NoConnection = -100,
        NoBody = -101,
        NotWritten = -102,
        NotBaseData = -103,
        CutOff = -104,
        TooLarge = -105,
        Empty = -106,
    };
    // The most bytes a body may carry after its 'C'. The field client kept
    // the whole download in a buffer of this size; real base data (every
    // destination line well under 150 bytes, a few thousand of them, and the
    // served lists) stays far below it, so a body beyond it is no base data
    // but a server that does not stop.
    static constexpr int kMaxBytes = 4'000'000;

    static QByteArray request(const QString &siteCode, const QByteArray &host);
    // Downloads into `path`, following one redirect.
    static int Fetch(const ServerSession &session, const QString &path);
    // Reads one reply: Stored with the bytes to store (XOR 8, BEL included)
    // in `stored`, Redirected with the address in `named`, or the failure.
    static int Read(HttpByteSource &source, QByteArray &stored, QByteArray &named);

private:
    static int fetchOnce(const ServerSession &session, const QByteArray &host, const QString &path, QByteArray &named);
    static int readBody(HttpByteSource &source, QByteArray &stored);
};

// The menu command "下载更新基本数据(&D)": downloads, loads the file into the
// base data and tells the operator how it went. Returns the download result.
int DownloadBaseData(const ServerSession &session, BaseData &baseData, const QString &path, Prompter &prompter);
// Its second half, for a download fetched elsewhere (the window fetches on a
// worker): loads the file and tells the operator. Returns the result.
int ShowBaseDataDownload(int result, BaseData &baseData, const QString &path, Prompter &prompter);

} // namespace quarvel
