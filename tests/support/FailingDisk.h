#pragma once

#include <QProcessEnvironment>
#include <QString>

// The environment of a program whose writes below `folder` fail as `faults`
// says (the shim in tests/iofault, preloaded).
inline QProcessEnvironment failingDiskEnvironment(const QString &folder, const QString &faults)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(IOFAULT_PATH));
    env.insert(QStringLiteral("QUARVEL_IOFAULT"), faults);
    env.insert(QStringLiteral("QUARVEL_IOFAULT_DIR"), folder);
    // The sanitizers' runtime need not come first for this library.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    return env;
}
