#pragma once

#include "ServerOptions.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
struct Response;
} // namespace httplib

namespace quarvel::server {

class BaseDataText;
class ConnectionWorkers;
class LoginService;
class ReceivedRequest;
class RequestGate;
class RoutingServer;
class SysModelText;
class TestHooks;
class TrackPage;
class TransService;

// The HTTP side: the commands under /cgi-bin/VEdiz.dll, named by the first
// word of the query ("KVLogin", "KVGetSysData" by GET; "KVTrans",
// "KVGetSysModel" by POST). Replies are GBK text; anything else is 404, and
// another method on a path served here is 405. The browser's tracking page
// ("TarvoTrack" by GET) is HTML in UTF-8.
// With --test-hooks it also serves /test-hooks and lets its rules answer,
// delay or drop requests before they are handled.
// RequestGate takes the connections and reads their requests; each request
// that arrived whole is read, routed and answered by the HTTP library
// (RoutingServer) on a thread of ConnectionWorkers.
class HttpFront {
public:
    HttpFront(const ServerOptions &options, LoginService &login, BaseDataText &baseData, TransService &trans,
              SysModelText &templates);
    ~HttpFront();

    // Binds the listening socket; returns the port bound, or -1.
    int bind();
    // Serves until stop(); returns false when the server could not run.
    bool run();
    // Ends run(), also when called before run() has started to serve.
    void stop();
    // Serves the browser's tracking page (GET ?TarvoTrack&cno=NUMBER).
    void setTrackPage(TrackPage *page) { track_ = page; }

private:
    void serve(ReceivedRequest &request);
    // Answers what no handler should see: an HTTP/1.1 request without one
    // Host, a path not served here, a method a served path does not take.
    bool screened(const httplib::Request &req, httplib::Response &res) const;
    void get(const httplib::Request &req, httplib::Response &res);
    void post(const httplib::Request &req, httplib::Response &res);
    void reply(httplib::Response &res, const std::string &body) const;
    void trackPage(std::string_view q, httplib::Response &res);
    void log(std::string_view command, const std::string &body);
    void note(std::string_view command, std::string_view what);
    // True when a test hook answered the request or dropped its connection.
    bool hooked(const httplib::Request &req, httplib::Response &res, std::string_view command, bool trans);
    void controlHooks(const httplib::Request &req, httplib::Response &res);

    ServerOptions options_;
    LoginService &login_;
    BaseDataText &baseData_;
    TransService &trans_;
    SysModelText &templates_;
    TrackPage *track_ = nullptr;
    std::unique_ptr<TestHooks> hooks_;
    std::unique_ptr<RoutingServer> routes_;
    // Declared in this order so that the workers, which hold connections
    // the gate counts, end before the gate.
    std::unique_ptr<RequestGate> gate_;
    std::unique_ptr<ConnectionWorkers> workers_;
    std::mutex logMutex_;
};

} // namespace quarvel::server
