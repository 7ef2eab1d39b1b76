#pragma once

#include "PrintTestSupport.h"
#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "storage/PreInputRecord.h"
#include "support/TempRoot.h"

#include <gtest/gtest.h>

// A started context in a fresh root: start-up has copied the shipped
// templates and dictionary and loaded the defaults. Records are added
// directly to its files.
struct PrintContextFixture : ::testing::Test {
    PrintContextFixture() { EXPECT_TRUE(context.Start(prompter)); }

    int addRecord(const QString &number, const QString &receiver = QStringLiteral("李四"))
    {
        quarvel::PreInputRecord r{};
        r.ddate = {2024, 3, 5};
        r.npieces = 1;
        r.fweight = 1.5;
        quarvel::Gbk::setField(r.cnum, number);
        quarvel::Gbk::setField(r.creceiver, receiver);
        quarvel::Gbk::setField(r.cgoods, QStringLiteral("茶叶"));
        return context.preInputs().Append(&r);
    }

    TempRoot root;
    quarvel::ClientContext context{root.path()};
    quarvel::ScriptedPrompter prompter;
};
