#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// Procedure calls of the upload operations, built byte for byte as the
// counter builds them, from the values a record holds.

struct GoodsLineValues {
    QString name;
    int quantity = 0;
    double price = 0;
};

struct PieceLineValues {
    int length = 0;
    int width = 0;
    int height = 0;
    int grams = 0;
    int volumePercent = 0;
    QString name;
    int quantity = 0;
    int price = 0; // hundredths
};

// Every field has its own value so that a column stored in the wrong place shows.
struct ShipmentValues {
    int clientId = 101;
    int itemType = 1;
    int language = 0;
    QDate date{2026, 1, 7};
    int payWay = 2;
    QString kind = QStringLiteral("TK");
    QString from = QStringLiteral("深圳");
    QString destination = QStringLiteral("北京");
    QString waybill = QStringLiteral("DE9010700101");
    double weight = 1.25;
    double fee = 26.5;
    QString sender = QStringLiteral("张三");
    QString receiver = QStringLiteral("李四");
    QString phone = QStringLiteral("010-66668888");
    QString receiverCorp = QStringLiteral("北京演示贸易公司");
    QString receiverZip = QStringLiteral("100020");
    QString receiverAddr = QStringLiteral("朝阳区建国路88号");
    QString receiverCountry = QStringLiteral("中国");
    QString receiverCity = QStringLiteral("北京市");
    QString receiverProv = QStringLiteral("北京");
    QString remark = QStringLiteral("轻放");
    QString size = QStringLiteral("30*20*10");
    double weighed = 1.3;
    QString goods = QStringLiteral("样品");
    int quantity = 4;
    int price = 1250;
    QString pack = QStringLiteral("纸箱");
    int declare = 5000;
    int insure = 3000;
    QString currency = QStringLiteral("CNY");
    QString senderCorp = QStringLiteral("演示客户有限公司");
    QString senderAddr = QStringLiteral("南山区科技园演示路1号");
    QString senderPhone = QStringLiteral("0755-88886666");
    QString senderZip = QStringLiteral("518000");
    QString senderCountry = QStringLiteral("中国");
    QString senderProv = QStringLiteral("广东");
    QString senderCity = QStringLiteral("深圳市");
    QString mark = QStringLiteral("A1");
    QString payDir = QStringLiteral("CC");
    QString goodsOrigin = QStringLiteral("CN");
    int pieces = 3;
    double collectSettle = 20.25;
    QString senderSms = QStringLiteral("13800138000");
    double cod = 99.5;
    double codSettle = 98.75;
    QString depart = QStringLiteral("销售部");
    QString senderMail = QStringLiteral("a@example.com");
    QString receiverMail = QStringLiteral("b@example.com");
    QString receiverSms = QStringLiteral("13900139000");
    QList<GoodsLineValues> goodsLines;
    QList<PieceLineValues> pieceLines;
};

// How the names of goods and piece lines are written inside their batch.
enum class LineNames {
    Quoted,   // their quotes doubled for the batch and again for the argument
    Verbatim, // as they are, as a counter that does not double them writes them
};

// The payload of operation 0 for upload target 1 (shipment records) or any
// other target (pre-entries), ending with "')}".
QByteArray shipmentCall(const ShipmentValues &s, int target, LineNames names = LineNames::Quoted);

struct ScanValues {
    int version = 0; // 0 Chinese, 1 English, 2 both
    QString waybill = QStringLiteral("D1010000001");
    QString station = QStringLiteral("SZX01");
    QString next;
    int kind = 0;
    QString signTime;
    QString date = QStringLiteral("2026-01-07 09:30");
    QString place = QStringLiteral("深圳转运中心");
    QString info = QStringLiteral("快件已到达深圳转运中心");
    QString placeEn = QStringLiteral("Shenzhen Hub");
    QString infoEn = QStringLiteral("Arrived at the Shenzhen hub");
    QString signer;
    int flight = 1;
    int state = 0;
};

// The payload of operation 4, ending with ")}".
QByteArray scanCall(const ScanValues &s);

// A text argument: GBK between single quotes, every quote doubled.
QByteArray quoted(const QString &text);
