#pragma once

#include <QString>

namespace quarvel {

// A folder only this user may change, for things another local user must
// not plant or swap (the office's profile, whose settings and macros the
// office runs with): made with mode 0700 when missing; an existing one must
// be a real folder (no symbolic link), owned by this user, and not writable
// by group or others.
class PrivateFolder {
public:
    // False with the reason when the folder cannot be made or is not private.
    static bool Ensure(const QString &path, QString *error = nullptr);
};

} // namespace quarvel
