#pragma once

#include <QString>

namespace quarvel {

class ServerSession;

// DATA_SYS/last.dat: the account of the last session, in GBK without
// terminator, offered by the login dialog the next time.

// The account in the file (at most 31 bytes of it), or an empty text when the
// file cannot be read or is damaged.
QString LoadLastAccount(const QString &path);
// What is wrong with the file, or an empty text when it is missing or sound.
QString LastAccountDamage(const QString &path);
QString LastAccountDamage(const QByteArray &bytes);
// Writes the session's account when a session is open; otherwise the file
// keeps what it held. Returns false only when writing failed.
bool SaveLastAccount(const ServerSession &session, const QString &path);

} // namespace quarvel
