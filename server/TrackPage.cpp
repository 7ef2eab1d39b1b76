#include "TrackPage.h"

#include "Database.h"
#include "WireText.h"

#include <QString>

#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace quarvel::server {

namespace {

constexpr std::array<const char *, 11> kStates = {"未发送",   "已发送",   "转运中", "送达",     "超时", "扣关",
                                                  "地址错误", "快件丢失", "退件",   "其它异常", "销毁"};
constexpr std::array<const char *, 5> kKinds = {"到站", "出站", "派送", "签收", "异常"};

const char kHead[] = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>快件跟踪 ";
const char kStyle[] = "</title>\n<style>body{font-family:sans-serif;font-size:14px;margin:16px}"
                      "table{border-collapse:collapse}td,th{border:1px solid #999;padding:3px 8px;text-align:left}"
                      "th{background:#e8f0f8}.info td:first-child{color:#555}</style></head>\n<body>\n";

struct Shipment {
    std::int64_t id = 0;
    int state = 0;
    std::string number, from, destination, kind, uploaded, signer, signedAt;
};

std::string name(int index, const auto &names)
{
    return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)]
                                                                : std::to_string(index);
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        const char *digits = text.data() + i + 1;
        const bool escaped =
            text[i] == '%' && i + 2 < text.size() && std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2;
        if (escaped) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

bool isUtf8(const std::string &bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text.toUtf8() == QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The number as the database holds it: a browser sends UTF-8, the client's
// own link GBK; both are tried.
std::vector<std::string> spellings(const std::string &bytes)
{
    std::vector<std::string> out;
    if (isUtf8(bytes))
        out.push_back(bytes);
    std::string fromGbk;
    if (WireText::toUtf8(bytes, fromGbk) && fromGbk != bytes)
        out.push_back(fromGbk);
    return out;
}

std::optional<Shipment> findShipment(Database &db, const std::string &number)
{
    auto q = db.prepare("SELECT r.irid, r.nstate, r.cnum, r.cfrom, r.cdes, COALESCE(k.cname, r.cemskind), r.dsysdate, "
                        "r.csigner, r.dsigndate FROM client_rec r LEFT JOIN ems_kind k ON k.ccode = r.cemskind "
                        "WHERE r.cnum = ?");
    q.bind(1, number);
    if (!q.step())
        return std::nullopt;
    Shipment s;
    s.id = q.integer(0);
    s.state = static_cast<int>(q.integer(1));
    s.number = q.text(2);
    s.from = q.text(3);
    s.destination = q.text(4);
    s.kind = q.text(5);
    s.uploaded = q.text(6);
    s.signer = q.text(7);
    s.signedAt = q.text(8);
    return s;
}

std::string cell(const std::string &text)
{
    return "<td>" + TrackPage::escape(text) + "</td>";
}

void appendInfo(std::string &html, const Shipment &s)
{
    html += "<h2>快件跟踪</h2>\n<table class=\"info\">\n";
    const auto line = [&html](const char *caption, const std::string &value) {
        html += std::string("<tr><td>") + caption + "</td>" + cell(value) + "</tr>\n";
    };
    line("运单号:", s.number);
    line("当前状态:", name(s.state, kStates));
    line("快递类别:", s.kind);
    line("出发地:", s.from);
    line("目的地:", s.destination);
    if (!s.signer.empty() || !s.signedAt.empty()) {
        line("签收人:", s.signer);
        line("签收时间:", s.signedAt);
    }
    html += "</table>\n";
}

// One line per accepted scan, oldest first; the shipment's upload opens it.
void appendHistory(std::string &html, Database &db, const Shipment &s)
{
    html += "<h3>运转记录</h3>\n<table class=\"history\">\n<tr><th>日期时间</th><th>站点</th><th>操作</th>"
            "<th>地点</th><th>详细信息</th><th>下一站</th><th>派件/签收</th></tr>\n";
    html += "<tr>" + cell(s.uploaded) + cell("") + cell("录入") + cell(s.from) + cell("快件信息已录入系统") + cell("") +
            cell("") + "</tr>\n";
    auto q = db.prepare("SELECT cdate, cstation, nkind, nstate, cplace, cinfo, cplaceen, cinfoen, cnext, csigner "
                        "FROM check_detail WHERE cnum = ? AND irid = ? ORDER BY iid");
    q.bind(1, s.number).bind(2, s.id);
    while (q.step()) {
        const int kind = static_cast<int>(q.integer(2));
        const int state = static_cast<int>(q.integer(3));
        std::string operation = name(kind, kKinds);
        if (kind == 4 && state > 3)
            operation += "(" + name(state, kStates) + ")";
        const std::string place = q.text(4).empty() ? q.text(6) : q.text(4);
        const std::string info = q.text(5).empty() ? q.text(7) : q.text(5);
        html += "<tr>" + cell(q.text(0)) + cell(q.text(1)) + cell(operation) + cell(place) + cell(info) +
                cell(q.text(8)) + cell(q.text(9)) + "</tr>\n";
    }
    html += "</table>\n";
}

} // namespace

std::string TrackPage::escape(std::string_view utf8)
{
    std::string out;
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
            break;
        }
    }
    return out;
}

std::string TrackPage::number(std::string_view query)
{
    std::size_t at = 0;
    while (at <= query.size()) {
        const std::size_t end = std::min(query.find('&', at), query.size());
        const std::string_view part = query.substr(at, end - at);
        if (part.starts_with("cno="))
            return percentDecoded(part.substr(4));
        at = end + 1;
    }
    return {};
}

std::string TrackPage::answer(std::string_view query)
{
    const std::string asked = number(query);
    // What the page echoes must be valid UTF-8 whatever the bytes were.
    const std::string shown = QString::fromUtf8(asked.data(), static_cast<qsizetype>(asked.size())).toStdString();
    std::string html = kHead + escape(shown) + kStyle;
    std::optional<Shipment> found;
    {
        const auto lock = db_.lock();
        for (const std::string &spelling : spellings(asked))
            if (!found && !spelling.empty())
                found = findShipment(db_, spelling);
        if (found) {
            appendInfo(html, *found);
            appendHistory(html, db_, *found);
        }
    }
    if (!found)
        html += asked.empty() ? "<p>请在链接中给出运单号(cno=运单号)。</p>\n"
                              : "<p>没有找到运单号为 <b>" + escape(shown) + "</b> 的快件。</p>\n";
    html += "</body></html>\n";
    return html;
}

} // namespace quarvel::server
