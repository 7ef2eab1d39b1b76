#pragma once

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "net/LoginReply.h"
#include "preinput/PreInputForm.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <memory>

// A started context in a fresh root with a small base data: two express
// kinds (特快专递 serves 北京 and 广东深圳), four destinations.
struct PreInputFixture {
    TempRoot root;
    quarvel::ClientContext context{root.path()};
    quarvel::ScriptedPrompter prompter;
    std::unique_ptr<quarvel::PreInputForm> form;

    static QByteArray gbk(const char16_t *text) { return quarvel::Gbk::fromUnicode(QString::fromUtf16(text)); }

    static QByteArray baseText(bool modeD)
    {
        return QByteArray(modeD ? "xD" : "xx") + "\nEMB\nEMS\t" + gbk(u"特快专递") + "\nEXP\t" + gbk(u"经济快递") +
               "\n\nEME\n\nGPB\n" + "0,1\tBJ\tBEIJING\t100000\t" + gbk(u"北京市") + "\t" + gbk(u"中国") + "\n" +
               "0,2\tSZ\tSHENZHEN\t518000\t" + gbk(u"广东深圳") + "\t" + gbk(u"中国") + "\n" + "1,3\tHK\tHONGKONG\t\t" +
               gbk(u"香港") + "\t" + gbk(u"中国") + "\n" + "2,12\tUS\tAMERICA\t\tUSA\tUnited States\n" +
               "\nGPE\n\nEPB\n" + "EMS\n" + gbk(u"北京市") + "\t" + gbk(u"广东深圳") + "\t\n" + "\nEPE\n";
    }

    explicit PreInputFixture(bool modeD = false)
    {
        EXPECT_TRUE(context.Start(prompter));
        context.baseData().parse(baseText(modeD));
        form = std::make_unique<quarvel::PreInputForm>(context, prompter);
    }

    void login(int clientId)
    {
        context.session().applyLogin(
            quarvel::LoginReply::parse(QByteArray("0,") + QByteArray::number(clientId) + ",7001,1"),
            QStringLiteral("alice"), QStringLiteral("pw"));
    }

    // The values of a shipment that passes every check.
    void fillValid(const QString &number = QStringLiteral("AB12345"))
    {
        quarvel::PreInputValues &v = form->values();
        v.cnum = number;
        v.cdes = QStringLiteral("北京市");
        v.creceiver = QStringLiteral("王五");
        v.cphone = QStringLiteral("13800138000");
        v.creceiveraddr = QStringLiteral("朝阳区建国路1号");
        v.creceivercountry = QStringLiteral("中国");
        v.creceiverprov = QStringLiteral("北京");
    }
};
