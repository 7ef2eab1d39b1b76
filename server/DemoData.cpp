#include "DemoData.h"

#include "Database.h"
#include "DemoShipments.h"
#include "DemoTemplates.h"

#include <cstdio>
#include <string>

namespace quarvel::server {

namespace {

struct DemoAccount {
    const char *name;
    const char *password;
    int clientId;
    int kind;
    int right;
    int target;
    const char *defaults[6];
};

const DemoAccount kAccounts[] = {
    {"demo", "demo", 101, 0, 1, 1, {}},
    {"demopre", "demo", 101, 0, 1, 2, {}},
    {"演示员", "demo", 101, 0, 1, 1, {}},
    {"check",
     "check",
     0,
     1,
     1,
     0,
     {"SZX01", "CAN02", "深圳转运中心", "快件已到达深圳转运中心", "Shenzhen Hub", "Arrived at the Shenzhen hub"}},
    {"stopped", "stopped", 101, 0, 0, 1, {}},
};

struct DemoKind {
    const char *code;
    const char *name;
};

const DemoKind kKinds[] = {
    {"TK", "特快专递"},   {"JJ", "经济快递"}, {"CR", "次日达"},         {"TC", "同城快递"},
    {"GA", "港澳台快递"}, {"GJ", "国际快递"}, {"GJJJ", "国际经济快递"},
};

// Region: 0 mainland, 1 Chinese-speaking, 2 foreign. Zone: the price zone
// seen from the demo site in Shenzhen (1 Guangdong .. 5 the far west, 6 Hong
// Kong, Macao and Taiwan, 7 Asia, 8 the rest of the world).
struct DemoDestination {
    int region;
    int zone;
    const char *key1;
    const char *key2;
    const char *postcode;
    const char *name;
    const char *country;
};

const DemoDestination kDestinations[] = {
    {0, 4, "BJ", "BEIJING", "100000", "北京", "中国"},
    {0, 4, "TJ", "TIANJIN", "300000", "天津", "中国"},
    {0, 3, "SH", "SHANGHAI", "200000", "上海", "中国"},
    {0, 3, "CQ", "CHONGQING", "400000", "重庆", "中国"},
    {0, 4, "HEB", "HEBEI", "", "河北", "中国"},
    {0, 4, "SX", "SHANXI", "", "山西", "中国"},
    {0, 4, "NMG", "NEIMENGGU", "", "内蒙古", "中国"},
    {0, 4, "LN", "LIAONING", "", "辽宁", "中国"},
    {0, 4, "JL", "JILIN", "", "吉林", "中国"},
    {0, 4, "HLJ", "HEILONGJIANG", "", "黑龙江", "中国"},
    {0, 3, "JS", "JIANGSU", "", "江苏", "中国"},
    {0, 3, "ZJ", "ZHEJIANG", "", "浙江", "中国"},
    {0, 3, "AH", "ANHUI", "", "安徽", "中国"},
    {0, 2, "FJ", "FUJIAN", "", "福建", "中国"},
    {0, 2, "JX", "JIANGXI", "", "江西", "中国"},
    {0, 4, "SD", "SHANDONG", "", "山东", "中国"},
    {0, 3, "HEN", "HENAN", "", "河南", "中国"},
    {0, 3, "HUB", "HUBEI", "", "湖北", "中国"},
    {0, 2, "HUN", "HUNAN", "", "湖南", "中国"},
    {0, 1, "GD", "GUANGDONG", "", "广东", "中国"},
    {0, 2, "GX", "GUANGXI", "", "广西", "中国"},
    {0, 2, "HI", "HAINAN", "", "海南", "中国"},
    {0, 3, "SC", "SICHUAN", "", "四川", "中国"},
    {0, 3, "GZ", "GUIZHOU", "", "贵州", "中国"},
    {0, 3, "YN", "YUNNAN", "", "云南", "中国"},
    {0, 5, "XZ", "XIZANG", "", "西藏", "中国"},
    {0, 4, "SN", "SHAANXI", "", "陕西", "中国"},
    {0, 4, "GS", "GANSU", "", "甘肃", "中国"},
    {0, 4, "QH", "QINGHAI", "", "青海", "中国"},
    {0, 4, "NX", "NINGXIA", "", "宁夏", "中国"},
    {0, 5, "XJ", "XINJIANG", "", "新疆", "中国"},
    {0, 4, "SJZ", "SHIJIAZHUANG", "050000", "河北石家庄", "中国"},
    {0, 4, "TY", "TAIYUAN", "030000", "山西太原", "中国"},
    {0, 4, "HHHT", "HUHEHAOTE", "010000", "内蒙古呼和浩特", "中国"},
    {0, 4, "SY", "SHENYANG", "110000", "辽宁沈阳", "中国"},
    {0, 4, "DL", "DALIAN", "116000", "辽宁大连", "中国"},
    {0, 4, "CC", "CHANGCHUN", "130000", "吉林长春", "中国"},
    {0, 4, "HEB", "HAERBIN", "150000", "黑龙江哈尔滨", "中国"},
    {0, 3, "NJ", "NANJING", "210000", "江苏南京", "中国"},
    {0, 3, "SZ", "SUZHOU", "215000", "江苏苏州", "中国"},
    {0, 3, "WX", "WUXI", "214000", "江苏无锡", "中国"},
    {0, 3, "HZ", "HANGZHOU", "310000", "浙江杭州", "中国"},
    {0, 3, "NB", "NINGBO", "315000", "浙江宁波", "中国"},
    {0, 3, "WZ", "WENZHOU", "325000", "浙江温州", "中国"},
    {0, 3, "HF", "HEFEI", "230000", "安徽合肥", "中国"},
    {0, 2, "FZ", "FUZHOU", "350000", "福建福州", "中国"},
    {0, 2, "XM", "XIAMEN", "361000", "福建厦门", "中国"},
    {0, 2, "NC", "NANCHANG", "330000", "江西南昌", "中国"},
    {0, 4, "JN", "JINAN", "250000", "山东济南", "中国"},
    {0, 4, "QD", "QINGDAO", "266000", "山东青岛", "中国"},
    {0, 3, "ZZ", "ZHENGZHOU", "450000", "河南郑州", "中国"},
    {0, 3, "WH", "WUHAN", "430000", "湖北武汉", "中国"},
    {0, 2, "CS", "CHANGSHA", "410000", "湖南长沙", "中国"},
    {0, 1, "GZ", "GUANGZHOU", "510000", "广东广州", "中国"},
    {0, 1, "SZ", "SHENZHEN", "518000", "广东深圳", "中国"},
    {0, 1, "DG", "DONGGUAN", "523000", "广东东莞", "中国"},
    {0, 1, "FS", "FOSHAN", "528000", "广东佛山", "中国"},
    {0, 1, "ZH", "ZHUHAI", "519000", "广东珠海", "中国"},
    {0, 1, "ST", "SHANTOU", "515000", "广东汕头", "中国"},
    {0, 2, "NN", "NANNING", "530000", "广西南宁", "中国"},
    {0, 2, "GL", "GUILIN", "541000", "广西桂林", "中国"},
    {0, 2, "HK", "HAIKOU", "570000", "海南海口", "中国"},
    {0, 2, "SY", "SANYA", "572000", "海南三亚", "中国"},
    {0, 3, "CD", "CHENGDU", "610000", "四川成都", "中国"},
    {0, 3, "GY", "GUIYANG", "550000", "贵州贵阳", "中国"},
    {0, 3, "KM", "KUNMING", "650000", "云南昆明", "中国"},
    {0, 5, "LS", "LASA", "850000", "西藏拉萨", "中国"},
    {0, 4, "XA", "XIAN", "710000", "陕西西安", "中国"},
    {0, 4, "LZ", "LANZHOU", "730000", "甘肃兰州", "中国"},
    {0, 4, "XN", "XINING", "810000", "青海西宁", "中国"},
    {0, 4, "YC", "YINCHUAN", "750000", "宁夏银川", "中国"},
    {0, 5, "WLMQ", "WULUMUQI", "830000", "新疆乌鲁木齐", "中国"},
    {1, 6, "HK", "HONGKONG", "", "香港", "HONG KONG"},
    {1, 6, "MO", "MACAO", "", "澳门", "MACAO"},
    {1, 6, "TW", "TAIWAN", "", "台湾", "TAIWAN"},
    {2, 7, "JP", "JAPAN", "", "日本", "JAPAN"},
    {2, 7, "KR", "KOREA", "", "韩国", "KOREA, REPUBLIC OF"},
    {2, 7, "SG", "SINGAPORE", "", "新加坡", "SINGAPORE"},
    {2, 7, "MY", "MALAYSIA", "", "马来西亚", "MALAYSIA"},
    {2, 7, "TH", "THAILAND", "", "泰国", "THAILAND"},
    {2, 7, "VN", "VIETNAM", "", "越南", "VIET NAM"},
    {2, 7, "PH", "PHILIPPINES", "", "菲律宾", "PHILIPPINES"},
    {2, 7, "ID", "INDONESIA", "", "印度尼西亚", "INDONESIA"},
    {2, 7, "IN", "INDIA", "", "印度", "INDIA"},
    {2, 7, "MN", "MONGOLIA", "", "蒙古", "MONGOLIA"},
    {2, 7, "AE", "UAE", "", "阿联酋", "UNITED ARAB EMIRATES"},
    {2, 8, "US", "USA", "", "美国", "UNITED STATES"},
    {2, 8, "CA", "CANADA", "", "加拿大", "CANADA"},
    {2, 8, "MX", "MEXICO", "", "墨西哥", "MEXICO"},
    {2, 8, "BR", "BRAZIL", "", "巴西", "BRAZIL"},
    {2, 8, "GB", "UK", "", "英国", "UNITED KINGDOM"},
    {2, 8, "FR", "FRANCE", "", "法国", "FRANCE"},
    {2, 8, "DE", "GERMANY", "", "德国", "GERMANY"},
    {2, 8, "IT", "ITALY", "", "意大利", "ITALY"},
    {2, 8, "ES", "SPAIN", "", "西班牙", "SPAIN"},
    {2, 8, "NL", "NETHERLANDS", "", "荷兰", "NETHERLANDS"},
    {2, 8, "BE", "BELGIUM", "", "比利时", "BELGIUM"},
    {2, 8, "CH", "SWITZERLAND", "", "瑞士", "SWITZERLAND"},
    {2, 8, "SE", "SWEDEN", "", "瑞典", "SWEDEN"},
    {2, 8, "RU", "RUSSIA", "", "俄罗斯", "RUSSIAN FEDERATION"},
    {2, 8, "AU", "AUSTRALIA", "", "澳大利亚", "AUSTRALIA"},
    {2, 8, "NZ", "NEW ZEALAND", "", "新西兰", "NEW ZEALAND"},
    {2, 8, "ZA", "SOUTH AFRICA", "", "南非", "SOUTH AFRICA"},
};

// Which destinations each kind serves, as a condition on the destination table.
struct DemoService {
    const char *kind;
    const char *where;
};

const DemoService kServices[] = {
    {"TK", "nregion IN (0, 1)"},
    {"JJ", "nregion = 0 AND nzone <= 4"},
    {"CR", "nregion = 0 AND nzone <= 3 AND cpost <> ''"},
    {"TC", "nregion = 0 AND nzone = 1 AND cpost <> ''"},
    {"GA", "nregion = 1"},
    {"GJ", "nregion IN (1, 2)"},
    {"GJJJ", "nregion = 2 AND nzone = 7"},
};

// Freight of each kind: first and next kilogram, rising by a step for every
// zone above the nearest zone the kind serves; documents are cheaper and
// waterproof bags dearer than parcels.
struct DemoRate {
    const char *kind;
    double first;
    double firstStep;
    double next;
    double nextStep;
    int minDays;
    int maxDays;
};

const DemoRate kRates[] = {
    {"TK", 12, 3, 2, 1, 1, 2},  {"JJ", 8, 1, 1, 0.5, 3, 5},   {"CR", 15, 3, 3, 1, 1, 1},       {"TC", 6, 0, 1, 0, 0, 1},
    {"GA", 45, 0, 15, 0, 2, 4}, {"GJ", 60, 60, 20, 20, 3, 7}, {"GJJJ", 80, 40, 25, 10, 7, 15},
};

const double kItemTypeSurcharge[] = {-2, 0, 3};

void seedPrices(Database &db)
{
    auto add = db.prepare("INSERT OR IGNORE INTO ems_price (ccode, nzone, nitemtype, nfirstgrams, ffirst, nnextgrams, "
                          "fnext, fextra, nmindays, nmaxdays) VALUES (?, ?, ?, 1000, ?, 1000, ?, ?, ?, ?)");
    for (const DemoRate &r : kRates) {
        auto zones = db.prepare("SELECT DISTINCT d.nzone FROM destination d JOIN ems_kind_des s ON s.ides = d.ides "
                                "WHERE s.ccode = ? ORDER BY d.nzone");
        zones.bind(1, r.kind);
        int nearest = -1;
        while (zones.step()) {
            const int zone = static_cast<int>(zones.integer(0));
            if (nearest < 0)
                nearest = zone;
            const int above = zone - nearest;
            const double next = r.next + r.nextStep * above;
            const int extraDays = above / 2;
            for (int itemType = 0; itemType < 3; ++itemType) {
                const double first = r.first + r.firstStep * above + kItemTypeSurcharge[itemType];
                char rule[96];
                std::snprintf(rule, sizeof rule, "首重1000克%.2f元,续重每1000克%.2f元", first, next);
                add.bind(1, r.kind).bind(2, zone).bind(3, itemType).bind(4, first).bind(5, next).bind(6, rule);
                add.bind(7, r.minDays + extraDays).bind(8, r.maxDays + extraDays).run();
            }
        }
    }
}

void seedSite(Database &db)
{
    db.exec("INSERT OR IGNORE INTO site (cwcid, cname, cvolmode) VALUES ('DEMO', '演示网点', '')");
    db.exec("INSERT OR IGNORE INTO client (icid, cwcid, cname, caddr, cphone, fcredit, fbalance) VALUES "
            "(101, 'DEMO', '演示客户有限公司', '广东省深圳市南山区科技园演示路1号', '0755-88886666', 5000, 1200.5)");
    auto add = db.prepare("INSERT OR IGNORE INTO client_account (cwcid, cac, cpassword, icid, nkind, nright, ntarget, "
                          "cstation, cstation2, cplace, cinfo, cplaceen, cinfoen) "
                          "VALUES ('DEMO', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const DemoAccount &a : kAccounts) {
        add.bind(1, a.name).bind(2, a.password).bind(3, a.clientId).bind(4, a.kind).bind(5, a.right).bind(6, a.target);
        for (int i = 0; i < 6; ++i)
            add.bind(7 + i, a.defaults[i] ? a.defaults[i] : "");
        add.run();
    }
}

void seedBaseData(Database &db)
{
    int sort = 0;
    auto kind = db.prepare("INSERT OR IGNORE INTO ems_kind (ccode, cname, nsort) VALUES (?, ?, ?)");
    for (const DemoKind &k : kKinds)
        kind.bind(1, k.code).bind(2, k.name).bind(3, ++sort).run();
    auto add = db.prepare("INSERT OR IGNORE INTO destination (nregion, nzone, ckey1, ckey2, cpost, cname, ccountry) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const DemoDestination &d : kDestinations) {
        add.bind(1, d.region).bind(2, d.zone).bind(3, d.key1).bind(4, d.key2).bind(5, d.postcode).bind(6, d.name);
        add.bind(7, d.country).run();
    }
    for (const DemoService &s : kServices) {
        auto serve = db.prepare(std::string("INSERT OR IGNORE INTO ems_kind_des (ccode, ides) SELECT ?, ides FROM "
                                            "destination WHERE ") +
                                s.where);
        serve.bind(1, s.kind).run();
    }
}

// Two shipments not yet settled, one settled and one pre-entry waiting, all
// of the last days, so that the balance and the lists have something to show.
void seedShipments(Database &db)
{
    db.exec(R"(
INSERT OR IGNORE INTO client_fee (iid, icid, dpdate, cinvoice, ntype, ffee, fbill, ccurrency, foriginal, cmname, cinput, cremark)
VALUES (1, 101, date('now', 'localtime', '-3 days') || ' 00:00:00', 'FP20260001', 0, 12, 12, 'CNY', 12, '王会计', 'demo', '演示结算');
INSERT OR IGNORE INTO client_rec (icid, cac, nitemtype, nlanguage, npayway, ddate, cemskind, cfrom, cdes, cnum, fweight,
    ffee, famount, fbase, csender, creceiver, cphone, creceiveraddr, cgoods, iitem, nstate, ifid)
VALUES
 (101, 'demo', 1, 0, 0, date('now', 'localtime', '-2 days') || ' 00:00:00', 'TK', '深圳', '北京', 'D1010000001', 1.2,
  23, 23, 23, '张三', '李四', '010-66668888', '北京市朝阳区演示大街8号', '样品', 1, 1, 0),
 (101, 'demo', 0, 0, 0, date('now', 'localtime', '-1 days') || ' 00:00:00', 'JJ', '深圳', '上海', 'D1010000002', 3.5,
  45.5, 45.5, 45.5, '张三', '王五', '021-55557777', '上海市浦东新区演示路9号', '文件', 2, 2, 0),
 (101, 'demo', 1, 2, 0, date('now', 'localtime', '-4 days') || ' 00:00:00', 'GJ', '深圳', '美国', 'D1010000003', 0.8,
  12, 12, 12, '张三', 'John Smith', '+1-212-5550100', '1 Demo Street, New York', '礼品', 1, 3, 1);
INSERT OR IGNORE INTO rec_pre_input (icid, cac, nitemtype, nlanguage, npayway, ddate, cemskind, cfrom, cdes, cnum,
    fweight, ffee, csender, creceiver, cphone, cgoods, iitem)
VALUES (101, 'demopre', 1, 0, 0, date('now', 'localtime') || ' 00:00:00', 'TK', '深圳', '广东广州', 'D1010000004', 2,
  18, '张三', '赵六', '020-33332222', '配件', 1);
)");
}

} // namespace

std::string DemoData::otherCustomer(Database &db)
{
    auto other =
        db.prepare("SELECT icid, cname, cwcid FROM client WHERE NOT ((icid = 101 AND cwcid = 'DEMO' AND "
                   "cname = '演示客户有限公司') OR (icid = 102 AND cwcid = 'DEMO' AND cname = '另一演示客户')) "
                   "ORDER BY icid LIMIT 1");
    if (!other.step())
        return {};
    return std::to_string(other.integer(0)) + " " + other.text(1) + " (site " + other.text(2) + ")";
}

void DemoData::seed(Database &db)
{
    const auto lock = db.lock();
    const std::string other = otherCustomer(db);
    if (!other.empty())
        throw DemoRefused("--demo refused: the data file holds customer " + other +
                          ", which is not demo data; the demo accounts and their published passwords go only into "
                          "a new data file or one that holds the demo data alone");
    Transaction t(db);
    seedSite(db);
    seedBaseData(db);
    seedPrices(db);
    seedShipments(db);
    DemoShipments::seed(db);
    DemoTemplates::seed(db, "DEMO");
    t.commit();
}

} // namespace quarvel::server
