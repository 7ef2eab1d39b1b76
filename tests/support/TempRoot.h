#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh root folder for one test, removed afterwards.
class TempRoot {
public:
    TempRoot() { EXPECT_TRUE(dir_.isValid()); }
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString &relative) const { return path() + relative; }
    QByteArray read(const QString &relative) const
    {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(file(relative)).path());
        QFile f(file(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private:
    QTemporaryDir dir_;
};
