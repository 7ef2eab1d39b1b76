#include "DemoShipments.h"

#include "Column.h"
#include "Database.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quarvel::server {

namespace {

struct Place {
    const char *destination;
    int region;
    const char *kinds[2];
    const char *city;
    const char *province;
    const char *country;
    const char *postcode;
};

const Place kPlaces[] = {
    {"北京", 0, {"TK", "JJ"}, "北京", "北京", "中国", "100000"},
    {"上海", 0, {"TK", "CR"}, "上海", "上海", "中国", "200000"},
    {"广州", 0, {"TC", "TK"}, "广州", "广东", "中国", "510000"},
    {"杭州", 0, {"CR", "JJ"}, "杭州", "浙江", "中国", "310000"},
    {"成都", 0, {"TK", "JJ"}, "成都", "四川", "中国", "610000"},
    {"武汉", 0, {"JJ", "CR"}, "武汉", "湖北", "中国", "430000"},
    {"香港", 1, {"GA", "TK"}, "香港", "", "HONG KONG", ""},
    {"台湾", 1, {"GA", "GJ"}, "台北", "", "TAIWAN", ""},
    {"日本", 2, {"GJ", "GJJJ"}, "Tokyo", "", "JAPAN", ""},
    {"美国", 2, {"GJ", "GJ"}, "New York", "NY", "UNITED STATES", ""},
};

const char *const kReceivers[] = {"李四", "王五", "赵六", "陈晓明", "刘芳", "周杰", "Mary Chan", "John Smith"};
const char *const kSenders[] = {"张三", "李明", "王芳"};
const char *const kDepartments[] = {"销售部", "市场部", "技术部", "财务部"};
const char *const kLabels[] = {"", "加急", "样品", "合同"};
const char *const kPayDirections[] = {"PP", "CC", "COD", "DP"};
const char *const kGoods[] = {"文件", "样品", "配件", "手机壳", "衣服", "书籍", "茶叶"};
const char *const kPacks[] = {"纸箱", "文件袋", "木箱", "编织袋"};
const char *const kSigners[] = {"本人", "OK.", "前台", "门卫", "同事代收"};

constexpr int kDays = 60;
constexpr int kFirstFee = 1001;

std::string text(const char *format, int value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// "YYYY-MM-DD HH:MM:SS" of a day before today, at a minute of that day.
std::string timeAt(Database &db, int daysAgo, int minute)
{
    auto q = db.prepare("SELECT datetime('now', 'localtime', 'start of day', ?, ?)");
    q.bind(1, text("-%d days", daysAgo)).bind(2, text("+%d minutes", minute));
    q.step();
    return q.text(0);
}

// Older shipments are delivered, recent ones on their way; every exception
// occurs now and then.
int stateOf(int i, int daysAgo)
{
    if (i % 23 == 7)
        return 4 + (i / 23) % 7;
    if (daysAgo < 2)
        return i % 2;
    if (daysAgo < 5)
        return 1 + i % 2;
    return 3;
}

struct Shipment {
    int customer;
    const char *account;
    std::string waybill;
    int daysAgo;
    int state;
    int fee; // settlement id, 0 when not settled
};

void insertShipment(Database &db, const Shipment &s, int i)
{
    const Place &p = kPlaces[i % std::size(kPlaces)];
    const double weight = 0.5 + (i % 17) * 0.7;
    const double freight = 12 + (i % 13) * 4.5 + (p.region ? 40 : 0);
    const double fuel = (i % 3 == 0) ? freight * 0.1 : 0;
    const double insurance = (i % 5 == 0) ? 5 : 0;
    const double packing = (i % 7 == 0) ? 3 : 0;
    const std::string day = timeAt(db, s.daysAgo, 0);
    const int entered = 8 * 60 + (i * 37) % 600;
    auto add = db.prepare(
        "INSERT OR IGNORE INTO client_rec (icid, cac, nitemtype, nlanguage, npayway, ddate, dsysdate, dsenddate, "
        "dsigndate, csigner, cemskind, cfrom, cdes, cnum, fweight, ffee, famount, fbase, faddon, fsafe, fpack, "
        "csender, csenderphone, csenderaddr, csendercorp, csendercity, csenderprov, csendercountry, creceiver, cphone, "
        "creceiveraddr, creceivercity, creceiverprov, creceivercountry, creceiverzip, cgoods, nquantity, iprice, "
        "ideclare, iinsure, cpack, iitem, nstate, ifid, cpaydir, cdepart, cmark, cremark, cinput) VALUES "
        "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '深圳', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '0755-88886666', "
        "'广东省深圳市南山区科技园演示路1号', '演示客户有限公司', '深圳', '广东', '中国', ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '录单员')");
    const bool delivered = s.state == 3;
    using V = ColumnValue;
    const std::string phone = text("138%08d", 10000000 + i * 7919 % 9000000);
    const std::string address = std::string(p.city) + "演示大道" + std::to_string(i % 200 + 1) + "号";
    const std::vector<ColumnValue> values = {
        V{std::int64_t{s.customer}},
        V{std::string(s.account)},
        V{std::int64_t{i % 3}},
        V{std::int64_t{p.region}},
        V{std::int64_t{(i / 3) % 3}},
        V{day},
        V{timeAt(db, s.daysAgo, entered)},
        V{s.state >= 1 ? timeAt(db, s.daysAgo, entered + 300) : std::string()},
        V{delivered ? timeAt(db, s.daysAgo - 2, 10 * 60 + i % 400) : std::string()},
        V{std::string(delivered ? kSigners[i % std::size(kSigners)] : "")},
        V{std::string(p.kinds[i % 2])},
        V{std::string(p.destination)},
        V{s.waybill},
        V{weight},
        V{freight},
        V{freight + fuel + insurance + packing},
        V{freight},
        V{fuel},
        V{insurance},
        V{packing},
        V{std::string(kSenders[i % std::size(kSenders)])},
        V{std::string(kReceivers[i % std::size(kReceivers)])},
        V{phone},
        V{address},
        V{std::string(p.city)},
        V{std::string(p.province)},
        V{std::string(p.country)},
        V{std::string(p.postcode)},
        V{std::string(kGoods[i % std::size(kGoods)])},
        V{std::int64_t{1 + i % 5}},
        V{std::int64_t{(i % 9) * 1250}},
        V{std::int64_t{(i % 4) * 10000}},
        V{std::int64_t{insurance > 0 ? 50000 : 0}},
        V{std::string(kPacks[i % std::size(kPacks)])},
        V{std::int64_t{1 + i % 4}},
        V{std::int64_t{s.state}},
        V{std::int64_t{s.fee}},
        V{std::string(kPayDirections[i % 4])},
        V{std::string(kDepartments[(i / 2) % std::size(kDepartments)])},
        V{std::string(kLabels[i % std::size(kLabels)])},
        V{std::string(i % 11 == 0 ? "请工作日送达" : "")},
    };
    for (std::size_t v = 0; v < values.size(); ++v)
        Column::bind(add, static_cast<int>(v + 1), values[v], 0);
    add.run();
}

// One settlement a week that settles the week's shipments (every other one
// with an invoice), and a payment ("清缴") at the start of each month.
void seedSettlements(Database &db)
{
    auto add = db.prepare("INSERT OR IGNORE INTO client_fee (iid, icid, dpdate, cinvoice, ntype, ffee, fbill, "
                          "ccurrency, foriginal, cmname, cinput, cremark) VALUES (?, ?, ?, ?, ?, 0, 0, 'CNY', 0, ?, "
                          "'system', ?)");
    const int weeks = kDays / 7 + 1;
    for (int w = 0; w < weeks; ++w) {
        add.bind(1, kFirstFee + w).bind(2, 101).bind(3, timeAt(db, 7 * w, 0));
        add.bind(4, w % 2 ? text("FP2026%04d", 100 + w) : std::string()).bind(5, 0).bind(6, "王会计");
        add.bind(7, text("第%d周运费核收", weeks - w)).run();
    }
    for (int m = 0; m < 2; ++m) {
        add.bind(1, kFirstFee + 50 + m).bind(2, 101).bind(3, timeAt(db, 30 * m + 1, 0)).bind(4, std::string());
        add.bind(5, 1).bind(6, "李出纳").bind(7, "银行转账清缴").run();
    }
    db.exec("UPDATE client_fee SET ffee = (SELECT TOTAL(famount) FROM client_rec r WHERE r.ifid = client_fee.iid), "
            "fbill = (SELECT TOTAL(famount) FROM client_rec r WHERE r.ifid = client_fee.iid) "
            "WHERE icid = 101 AND ntype = 0 AND iid >= 1001");
    db.exec("UPDATE client_fee SET foriginal = ffee WHERE icid = 101 AND iid >= 1001");
    db.exec("UPDATE client_fee SET ffee = 2000, foriginal = 2000 WHERE icid = 101 AND ntype = 1 AND iid >= 1001");
}

void seedOtherCustomer(Database &db)
{
    db.exec("INSERT OR IGNORE INTO client (icid, cwcid, cname, caddr, cphone, fcredit, fbalance) VALUES "
            "(102, 'DEMO', '另一演示客户', '广东省广州市天河区另一路2号', '020-12345678', 1000, 300)");
    db.exec("INSERT OR IGNORE INTO client_account (cwcid, cac, cpassword, icid, nkind, nright, ntarget) VALUES "
            "('DEMO', 'other', 'other', 102, 0, 1, 1)");
    for (int i = 0; i < DemoShipments::kOtherShipments; ++i)
        insertShipment(db, {102, "other", text("D102%07d", 1001 + i), i % kDays, stateOf(i, i % kDays), 0}, i);
    auto pre = db.prepare("INSERT OR IGNORE INTO rec_pre_input (icid, cac, nitemtype, ddate, cemskind, cfrom, cdes, "
                          "cnum, fweight, ffee, csender, creceiver, cphone, cgoods, iitem) VALUES (102, 'other', 1, ?, "
                          "'TK', '广州', '北京', ?, 1.5, 20, '钱七', '孙八', '010-11112222', '茶叶', 1)");
    for (int i = 0; i < 3; ++i)
        pre.bind(1, timeAt(db, i, 0)).bind(2, text("D102900%04d", i + 1)).run();
    auto fee = db.prepare("INSERT OR IGNORE INTO client_fee (iid, icid, dpdate, cinvoice, ntype, ffee, fbill, "
                          "foriginal, cmname, cinput, cremark) VALUES (?, 102, ?, 'FP1029999', ?, 99, 99, 99, "
                          "'另一会计', 'system', '另一客户结算')");
    for (int i = 0; i < 2; ++i)
        fee.bind(1, kFirstFee + 90 + i).bind(2, timeAt(db, 3 + i, 0)).bind(3, i).run();
}

} // namespace

void DemoShipments::seed(Database &db)
{
    for (int i = 0; i < kShipments; ++i) {
        const int daysAgo = i * kDays / kShipments;
        // Every shipment is settled (the balance counts only the older demo
        // shipments as open), in the settlement of its week.
        insertShipment(
            db, {101, "demo", text("D101%07d", 1001 + i), daysAgo, stateOf(i, daysAgo), kFirstFee + daysAgo / 7}, i);
    }
    seedSettlements(db);
    seedOtherCustomer(db);
}

} // namespace quarvel::server
