#include "HttpFront.h"

#include "BaseDataText.h"
#include "ConnectionWorkers.h"
#include "DescriptorLimit.h"
#include "LoginService.h"
#include "ReceivedRequest.h"
#include "RequestGate.h"
#include "RoutingServer.h"
#include "SysModelText.h"
#include "TestHooks.h"
#include "TrackPage.h"
#include "TransService.h"
#include "TransStatus.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <exception>

namespace quarvel::server {

namespace {

constexpr const char *kPath = R"(/cgi-bin/VEdiz\.dll)";
constexpr std::string_view kServedPath = "/cgi-bin/VEdiz.dll";
constexpr std::string_view kHooksPath = "/test-hooks";
constexpr const char *kAllowed = "GET, POST";
// The client's largest envelope is 64000 bytes.
constexpr std::size_t kMaxBody = 1 << 20;
// Connections whose requests are handled at once. Requests reach them
// whole, so a thread is only held by the work of a request (or a hook
// that stalls it).
constexpr std::size_t kRequestThreads = 512;
// Connections the server holds when the command line names no number, and
// the descriptors kept back for the data file and the server's own use.
constexpr std::size_t kDefaultConnections = 4000;
constexpr std::size_t kSpareDescriptors = 64;

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

// Closes the request's connection without a reply.
void dropConnection()
{
    if (ReceivedRequest *request = ReceivedRequest::current())
        request->drop();
}

RequestGate::Settings gateSettings(const ServerOptions &options)
{
    RequestGate::Settings s;
    const std::size_t descriptors = DescriptorLimit::raise();
    const std::size_t room = descriptors > 2 * kSpareDescriptors ? descriptors - kSpareDescriptors : kSpareDescriptors;
    const std::size_t wanted =
        options.maxConnections > 0 ? static_cast<std::size_t>(options.maxConnections) : kDefaultConnections;
    s.maxConnections = std::min(wanted, room);
    s.maxPerAddress = static_cast<std::size_t>(options.maxPerAddress);
    s.headTime = std::chrono::milliseconds(static_cast<long long>(options.headTimeoutSeconds * 1000));
    s.requestTime = std::max(s.requestTime, s.headTime);
    s.maxBody = kMaxBody;
    return s;
}

// RFC 9112: an HTTP/1.1 request carries exactly one Host; no request more than one.
bool hostFieldsValid(const httplib::Request &req)
{
    const std::size_t hosts = req.get_header_value_count("Host");
    return hosts <= 1 && (hosts == 1 || req.version != "HTTP/1.1");
}

} // namespace

HttpFront::HttpFront(const ServerOptions &options, LoginService &login, BaseDataText &baseData, TransService &trans,
                     SysModelText &templates)
    : options_(options), login_(login), baseData_(baseData), trans_(trans), templates_(templates),
      routes_(std::make_unique<RoutingServer>()),
      gate_(std::make_unique<RequestGate>(gateSettings(options),
                                          [this](std::unique_ptr<ReceivedRequest> request) {
                                              const std::shared_ptr<ReceivedRequest> held(std::move(request));
                                              workers_->enqueue([this, held] { serve(*held); });
                                          })),
      workers_(std::make_unique<ConnectionWorkers>(kRequestThreads))
{
    if (options_.testHooks) {
        hooks_ = std::make_unique<TestHooks>();
        for (const std::string &rule : options_.hooks) {
            std::string error;
            hooks_->apply(rule, error);
        }
    }
    routes_->set_payload_max_length(kMaxBody);
    routes_->set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
        return screened(req, res) ? httplib::Server::HandlerResponse::Handled
                                  : httplib::Server::HandlerResponse::Unhandled;
    });
    routes_->Get(kPath, [this](const httplib::Request &req, httplib::Response &res) { get(req, res); });
    routes_->Post(kPath, [this](const httplib::Request &req, httplib::Response &res) { post(req, res); });
    if (hooks_) {
        routes_->Get("/test-hooks",
                     [this](const httplib::Request &req, httplib::Response &res) { controlHooks(req, res); });
        routes_->Post("/test-hooks",
                      [this](const httplib::Request &req, httplib::Response &res) { controlHooks(req, res); });
    }
}

HttpFront::~HttpFront() = default;

int HttpFront::bind()
{
    return gate_->bind(options_.address, options_.port);
}

bool HttpFront::run()
{
    const bool served = gate_->run();
    // Requests that came in whole are still answered.
    workers_->shutdown();
    return served;
}

void HttpFront::stop()
{
    // Requests held by a hook must end, or the workers wait for them.
    if (hooks_)
        hooks_->stop();
    login_.stop();
    gate_->stop();
}

void HttpFront::serve(ReceivedRequest &request)
{
    const ReceivedRequest::Serving serving(request);
    routes_->serve(request);
}

bool HttpFront::screened(const httplib::Request &req, httplib::Response &res) const
{
    if (!hostFieldsValid(req)) {
        res.status = 400;
        return true;
    }
    const bool served = req.path == kServedPath || (hooks_ && req.path == kHooksPath);
    if (!served) {
        res.status = 404;
        return true;
    }
    if (req.method != "GET" && req.method != "POST") {
        res.status = 405;
        res.set_header("Allow", kAllowed);
        return true;
    }
    return false;
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
        dropConnection();
        return true;
    case HookRule::Action::Close:
        dropConnection();
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
