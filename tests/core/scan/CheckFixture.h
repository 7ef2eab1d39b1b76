#pragma once

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/LoginReply.h"
#include "scan/CheckForm.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <memory>
#include <vector>

// A started context in a fresh root with a scan form whose clock stands at
// 2026-03-04 05:06, and every change the form reported.
struct CheckFixture {
    struct Reported {
        quarvel::CheckForm::Change change;
        quarvel::CheckRecord record;
    };

    TempRoot root;
    quarvel::ClientContext context{root.path()};
    quarvel::ScriptedPrompter prompter;
    std::unique_ptr<quarvel::CheckForm> form;
    std::vector<Reported> reported;

    CheckFixture() { EXPECT_TRUE(context.Start(prompter)); }

    // The form made after an optional checkpoint login, as the page is made.
    quarvel::CheckForm &make()
    {
        form = std::make_unique<quarvel::CheckForm>(context, prompter,
                                                    [] { return QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)); });
        form->setRecordChanged([this](quarvel::CheckForm::Change c, const quarvel::CheckRecord &r) {
            reported.push_back({c, r});
        });
        return *form;
    }

    // A checkpoint login with its six default lines.
    void login()
    {
        const QByteArray reply = "1,0,7002,1\nSZX01\nCAN02\n" + gbk(u"深圳转运中心") + "\n" + gbk(u"快件已到达[地点]") +
                                 "\nShenzhen Hub\n" + gbk(u"Arrived at [地点]") + "\n";
        context.session().applyLogin(quarvel::LoginReply::parse(reply), QStringLiteral("check"),
                                     QStringLiteral("check"));
    }

    static QByteArray gbk(const char16_t *text) { return quarvel::Gbk::fromUnicode(QString::fromUtf16(text)); }

    // Saves a new scan of this number with the form's other values as they are.
    bool scan(const QString &number)
    {
        form->values().number = number;
        return form->SaveScan();
    }

    const quarvel::CheckRecord *stored(int iid) { return context.checks().Find(iid); }
};
