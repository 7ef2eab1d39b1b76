#include "HttpFront.h"

#include "BaseDataText.h"
#include "ConnectionWorkers.h"
#include "LoginService.h"
#include "SysModelText.h"
#include "TestHooks.h"
#include "TrackPage.h"
#include "TransService.h"
#include "TransStatus.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

namespace quarvel::server {

namespace {

constexpr const char *kPath = R"(/cgi-bin/VEdiz\.dll)";
// The client's largest envelope is 64000 bytes.
constexpr std::size_t kMaxBody = 1 << 20;
// A client sends its whole request as soon as it is connected; one that has
// sent nothing for this long is not going to.
constexpr time_t kReadTimeoutSeconds = 5;
// Connections served at once: far more than counters ever open together, so
// that a few clients that hang cannot keep the others waiting.
constexpr std::size_t kConnectionThreads = 512;

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

// Closes the request's connection without a reply. The library does not hand
// out its socket, so it is found among the process's descriptors by the
// addresses of both ends; what the library writes afterwards goes nowhere.
void dropConnection(const httplib::Request &req)
{
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        const std::string name = entry.path().filename().string();
        if (std::from_chars(name.data(), name.data() + name.size(), fd).ec != std::errc())
            continue;
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t size = sizeof local;
        if (getsockname(fd, reinterpret_cast<sockaddr *>(&local), &size) != 0 || local.sin_family != AF_INET)
            continue;
        size = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr *>(&peer), &size) != 0)
            continue;
        char address[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &peer.sin_addr, address, sizeof address);
        if (ntohs(local.sin_port) == req.local_port && ntohs(peer.sin_port) == req.remote_port &&
            req.remote_addr == address) {
            shutdown(fd, SHUT_RDWR);
            return;
        }
    }
}

} // namespace

HttpFront::HttpFront(const ServerOptions &options, LoginService &login, BaseDataText &baseData, TransService &trans,
                     SysModelText &templates)
    : options_(options), login_(login), baseData_(baseData), trans_(trans), templates_(templates),
      http_(std::make_unique<httplib::Server>())
{
    if (options_.testHooks) {
        hooks_ = std::make_unique<TestHooks>();
        for (const std::string &rule : options_.hooks) {
            std::string error;
            hooks_->apply(rule, error);
        }
    }
    // The library's default socket options let a second server share a busy
    // port; with two servers on one machine that must fail instead.
    http_->set_socket_options([this](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listener_ = sock;
    });
    http_->set_payload_max_length(kMaxBody);
    // One request per connection, as the client works: a connection is never
    // kept waiting for a second one.
    http_->set_keep_alive_max_count(1);
    http_->set_read_timeout(kReadTimeoutSeconds);
    http_->set_write_timeout(10);
    http_->new_task_queue = [] { return new ConnectionWorkers(kConnectionThreads); };
    http_->Get(kPath, [this](const httplib::Request &req, httplib::Response &res) { get(req, res); });
    http_->Post(kPath, [this](const httplib::Request &req, httplib::Response &res) { post(req, res); });
    if (hooks_) {
        http_->Get("/test-hooks",
                   [this](const httplib::Request &req, httplib::Response &res) { controlHooks(req, res); });
        http_->Post("/test-hooks",
                    [this](const httplib::Request &req, httplib::Response &res) { controlHooks(req, res); });
    }
}

HttpFront::~HttpFront() = default;

int HttpFront::bind()
{
    int port = -1;
    if (options_.port == 0)
        port = http_->bind_to_any_port(options_.address);
    else if (http_->bind_to_port(options_.address, options_.port))
        port = options_.port;
    // The library listens with a queue of 5: a burst of connections beyond
    // that waits a second for the retry of its handshake.
    if (port > 0)
        ::listen(listener_, SOMAXCONN);
    return port;
}

bool HttpFront::run()
{
    const bool served = http_->listen_after_bind();
    finished_ = true;
    return served;
}

void HttpFront::stop()
{
    // Requests held by a hook must end, or the library waits for them.
    if (hooks_)
        hooks_->stop();
    login_.stop();
    // The library ignores a stop that comes before its loop runs, as a
    // signal right after start-up does: wait until it serves (or gave up).
    while (!http_->is_running() && !finished_)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    http_->stop();
}

void HttpFront::get(const httplib::Request &req, httplib::Response &res)
{
    const std::string_view q = query(req);
    const std::string_view cmd = command(q);
    if (cmd == "TarvoTrack" && track_) {
        trackPage(q, res);
        return;
    }
    if (cmd != "KVLogin" && cmd != "KVGetSysData") {
        res.status = 404;
        return;
    }
    if (hooked(req, res, cmd, false))
        return;
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
    const bool model = cmd == "KVGetSysModel";
    if (!model && cmd != "KVTrans") {
        res.status = 404;
        return;
    }
    if (hooked(req, res, cmd, cmd == "KVTrans"))
        return;
    std::string body;
    if (model && !options_.redirectTo.empty()) {
        body = options_.redirectTo;
    } else if (model) {
        try {
            body = templates_.answer(req.body);
        } catch (const std::exception &) {
            body = statusLine(DatabaseFailure);
        }
    } else {
        try {
            body = trans_.answer(req.body);
        } catch (const std::exception &) {
            body = statusLine(DatabaseFailure);
        }
    }
    log(cmd, body);
    reply(res, body);
}

void HttpFront::trackPage(std::string_view q, httplib::Response &res)
{
    std::string page;
    try {
        page = track_->answer(q);
    } catch (const std::exception &) {
        res.status = 500;
        return;
    }
    note("TarvoTrack", "page");
    res.status = 200;
    res.set_content(page, "text/html; charset=utf-8");
}

void HttpFront::reply(httplib::Response &res, const std::string &body) const
{
    res.status = 200;
    res.set_content(body, "text/plain; charset=gbk");
}

void HttpFront::log(std::string_view cmd, const std::string &body)
{
    note(cmd, head(body));
}

void HttpFront::note(std::string_view cmd, std::string_view what)
{
    if (options_.quiet)
        return;
    const std::lock_guard guard(logMutex_);
    std::fprintf(stderr, "%.*s -> %.*s\n", static_cast<int>(cmd.size()), cmd.data(), static_cast<int>(what.size()),
                 what.data());
}

bool HttpFront::hooked(const httplib::Request &req, httplib::Response &res, std::string_view cmd, bool trans)
{
    if (!hooks_)
        return false;
    TransService::Subject subject;
    if (trans)
        subject = trans_.subject(req.body);
    const auto rule = hooks_->take(trans, subject.operation, subject.waybill);
    if (!rule)
        return false;
    note(cmd, "hook: " + rule->text);
    switch (rule->action) {
    case HookRule::Action::Reply:
        reply(res, rule->reply);
        return true;
    case HookRule::Action::Stall:
        hooks_->stall(rule->seconds);
        return false;
    case HookRule::Action::Hang:
        hooks_->hang();
        dropConnection(req);
        return true;
    case HookRule::Action::Close:
        dropConnection(req);
        return true;
    }
    return false;
}

void HttpFront::controlHooks(const httplib::Request &req, httplib::Response &res)
{
    std::string error;
    if (req.method == "POST" && !hooks_->apply(req.body, error)) {
        res.status = 400;
        res.set_content(error + "\n", "text/plain");
        return;
    }
    res.status = 200;
    res.set_content(req.method == "POST" ? std::string("ok\n") : hooks_->list(), "text/plain");
}

} // namespace quarvel::server
