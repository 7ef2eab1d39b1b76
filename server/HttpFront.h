#pragma once

#include "ServerOptions.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace quarvel::server {

class BaseDataText;
class LoginService;
class TransService;

// The HTTP side: the commands under /cgi-bin/VEdiz.dll, named by the first
// word of the query ("KVLogin", "KVGetSysData" by GET; "KVTrans",
// "KVGetSysModel" by POST). Replies are GBK text; anything else is 404.
class HttpFront {
public:
    HttpFront(const ServerOptions &options, LoginService &login, BaseDataText &baseData, TransService &trans);
    ~HttpFront();

    // Binds the listening socket; returns the port bound, or -1.
    int bind();
    // Serves until stop(); returns false when the server could not run.
    bool run();
    void stop();

private:
    void get(const httplib::Request &req, httplib::Response &res);
    void post(const httplib::Request &req, httplib::Response &res);
    void reply(httplib::Response &res, const std::string &body) const;
    void log(std::string_view command, const std::string &body);

    ServerOptions options_;
    LoginService &login_;
    BaseDataText &baseData_;
    TransService &trans_;
    std::unique_ptr<httplib::Server> http_;
    std::mutex logMutex_;
};

} // namespace quarvel::server
