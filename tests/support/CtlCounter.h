#pragma once

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "support/Quarvelctl.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QDate>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A counter folder set up for the demo site of a running server through
// quarvelctl itself; `account` logs in with `password` for every command
// that asks for it.
struct CtlCounter {
    CtlCounter(const TarvoServer &server, std::string account, std::string password)
        : account(std::move(account)), password(std::move(password))
    {
        EXPECT_EQ(ctl({"config", "set", "host", server.host().toStdString()}, false).code, 0);
        EXPECT_EQ(ctl({"config", "set", "site", "DEMO"}, false).code, 0);
        EXPECT_EQ(ctl({"basedata", "download"}, false).code, 0);
    }

    CtlResult ctl(const std::vector<std::string> &args, bool logIn = true) const
    {
        QStringList all{QStringLiteral("--root"), root.path()};
        if (logIn)
            all << QStringLiteral("--account") << QString::fromStdString(account) << QStringLiteral("--password-stdin");
        for (const std::string &a : args)
            all << QString::fromStdString(a);
        return runQuarvelctl(all, logIn ? QByteArray::fromStdString(password + '\n') : QByteArray());
    }

    // Today's shipments by 特快专递 to 北京, written as the pre-entry page saves them.
    void addShipments(const QStringList &numbers) const
    {
        for (const QString &number : numbers)
            addShipment(number, 1.2, 0);
    }

    void addShipment(const QString &number, double weight, double fee) const
    {
        quarvel::ClientContext context(root.path());
        quarvel::ScriptedPrompter prompter;
        ASSERT_TRUE(context.Start(prompter));
        quarvel::PreInputRecord r{};
        const QDate today = QDate::currentDate();
        r.ddate = {static_cast<unsigned short>(today.year()), static_cast<unsigned char>(today.month()),
                   static_cast<unsigned char>(today.day())};
        r.nitemtype = 1;
        r.fweight = weight;
        r.ffee = fee;
        r.npieces = 2;
        quarvel::Gbk::setField(r.cnum, number);
        quarvel::Gbk::setField(r.cdes, QStringLiteral("北京"));
        quarvel::Gbk::setField(r.cemskind, QStringLiteral("特快专递"));
        quarvel::Gbk::setField(r.creceiver, QStringLiteral("王'五"));
        context.preInputs().Append(&r);
        context.Shutdown();
    }

    std::string account;
    std::string password;
    TempRoot root;
};
