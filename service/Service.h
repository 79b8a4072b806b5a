#pragma once
// tovela-service's HTTP side: every exchange the client makes, the browser pages, and with
// test hooks on, the canned replies and the request record.
#include <cstddef>
#include <memory>
#include <string>

namespace httplib
{
class Server;
struct Request;
struct Response;
class ContentReader;
} // namespace httplib

namespace service
{

class Store;
class TestHooks;

struct ServiceOptions {
    size_t orderLimit = 3000;
    bool testHooks = false;
};

// Largest request body taken; uploads of a few hundred megabytes must pass.
inline constexpr size_t kMaxRequestBody = size_t(1) << 30;

class Service
{
public:
    Service(Store &store, ServiceOptions options);
    ~Service();
    Service(const Service &) = delete;
    Service &operator=(const Service &) = delete;

    // Binds to host:port (port 0: any free port); returns the port, or -1.
    int bind(const std::string &host, int port);
    // Serves until stop().
    bool listen();
    void stop();

private:
    void get(const httplib::Request &req, httplib::Response &res);
    void post(const httplib::Request &req, httplib::Response &res,
              const httplib::ContentReader &reader);
    void testHook(const httplib::Request &req, httplib::Response &res, const std::string &body);
    void answerCanned(const struct CannedReply &reply, httplib::Response &res);
    void login(const httplib::Request &req, httplib::Response &res, const std::string &sid);
    void logout(httplib::Response &res, const std::string &sid);
    void folder(const httplib::Request &req, httplib::Response &res, const std::string &sid);
    void image(const httplib::Request &req, httplib::Response &res, const std::string &sid,
               bool orderOnly);
    void orderPageGet(const httplib::Request &req, httplib::Response &res);
    void orderPagePost(httplib::Response &res, const std::string &body);

    Store &store_;
    ServiceOptions options_;
    std::unique_ptr<TestHooks> hooks_;
    std::unique_ptr<httplib::Server> server_;
};

} // namespace service
