#include "HttpFront.h"

#include "BaseDataText.h"
#include "LoginService.h"
#include "TransService.h"
#include "TransStatus.h"

#include <httplib.h>

#include <cstdio>
#include <exception>
#include <sys/socket.h>

namespace quarvel::server {

namespace {

constexpr const char *kPath = R"(/cgi-bin/VEdiz\.dll)";
// The client's largest envelope is 64000 bytes.
constexpr std::size_t kMaxBody = 1 << 20;

// The query of the raw request target: everything after the first '?'.
std::string_view query(const httplib::Request &req)
{
    const std::string_view target = req.target;
    const auto mark = target.find('?');
    return mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
}

std::string_view command(std::string_view q)
{
    return q.substr(0, q.find('&'));
}

// The leading status of a reply, for the request log (never a session number).
std::string_view head(const std::string &body)
{
    return std::string_view(body).substr(0, std::min(body.find_first_of(",\n\a"), std::size_t{16}));
}

} // namespace

HttpFront::HttpFront(const ServerOptions &options, LoginService &login, BaseDataText &baseData, TransService &trans)
    : options_(options), login_(login), baseData_(baseData), trans_(trans), http_(std::make_unique<httplib::Server>())
{
    // The library's default socket options let a second server share a busy
    // port; with two servers on one machine that must fail instead.
    http_->set_socket_options([](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http_->set_payload_max_length(kMaxBody);
    // One request per connection, as the client works: a connection is never
    // kept waiting for a second one.
    http_->set_keep_alive_max_count(1);
    http_->set_read_timeout(10);
    http_->set_write_timeout(10);
    http_->Get(kPath, [this](const httplib::Request &req, httplib::Response &res) { get(req, res); });
    http_->Post(kPath, [this](const httplib::Request &req, httplib::Response &res) { post(req, res); });
}

HttpFront::~HttpFront() = default;

int HttpFront::bind()
{
    if (options_.port == 0)
        return http_->bind_to_any_port(options_.address);
    return http_->bind_to_port(options_.address, options_.port) ? options_.port : -1;
}

bool HttpFront::run()
{
    return http_->listen_after_bind();
}

void HttpFront::stop()
{
    http_->stop();
}

void HttpFront::get(const httplib::Request &req, httplib::Response &res)
{
    const std::string_view q = query(req);
    const std::string_view cmd = command(q);
    if (cmd != "KVLogin" && cmd != "KVGetSysData") {
        res.status = 404;
        return;
    }
    std::string body;
    if (!options_.redirectTo.empty()) {
        body = options_.redirectTo;
    } else if (cmd == "KVLogin") {
        try {
            const LoginService::Reply r = login_.answer(q);
            body = r.body;
            // The client keeps cookies only for the one login exchange and
            // never sends them back; the session lives in the envelope.
            if (r.session > 0)
                res.set_header("Set-Cookie", "KVSESSION=" + std::to_string(r.session) + "; Path=/");
        } catch (const std::exception &) {
            body = statusLine(LoginService::ServerError);
        }
    } else {
        constexpr std::string_view site = "KVGetSysData&w=";
        try {
            body = q.starts_with(site) ? baseData_.answer(q.substr(site.size())) : statusLine(-1);
        } catch (const std::exception &) {
            body = statusLine(-3);
        }
    }
    log(cmd, body);
    reply(res, body);
}

void HttpFront::post(const httplib::Request &req, httplib::Response &res)
{
    const std::string_view cmd = command(query(req));
    std::string body;
    if (cmd == "KVGetSysModel" && !options_.redirectTo.empty()) {
        body = options_.redirectTo;
    } else if (cmd == "KVTrans") {
        try {
            body = trans_.answer(req.body);
        } catch (const std::exception &) {
            body = statusLine(DatabaseFailure);
        }
    } else {
        res.status = 404;
        return;
    }
    log(cmd, body);
    reply(res, body);
}

void HttpFront::reply(httplib::Response &res, const std::string &body) const
{
    res.status = 200;
    res.set_content(body, "text/plain; charset=gbk");
}

void HttpFront::log(std::string_view cmd, const std::string &body)
{
    if (options_.quiet)
        return;
    const std::lock_guard guard(logMutex_);
    std::fprintf(stderr, "%.*s -> %.*s\n", static_cast<int>(cmd.size()), cmd.data(),
                 static_cast<int>(head(body).size()), head(body).data());
}

} // namespace quarvel::server
