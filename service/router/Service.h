#pragma once
// tovela-service's HTTP side: the server and the router that hands every exchange the client
// makes, and the browser pages, to its endpoint; with test hooks on, the hooks see each
// request first (testhooks/).
#include "service/router/HttpTypes.h"

#include <cstddef>
#include <memory>
#include <string>

namespace service
{

class HookedRequest;
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
    // Every request comes in here (reader: none for a GET): the test hook paths, else the
    // hooks' part in the request (testhooks/HookedRequest.h), then the real logic.
    void serve(const httplib::Request &req, httplib::Response &res,
               const httplib::ContentReader *reader);
    void serveHook(const httplib::Request &req, httplib::Response &res,
                   const httplib::ContentReader *reader);
    // The real logic of a GET, by path.
    void get(const httplib::Request &req, httplib::Response &res);
    // The real logic of a POST: reads the body as it streams in (the hooks see it too), then
    // answers unless a canned reply does.
    void post(const httplib::Request &req, httplib::Response &res,
              const httplib::ContentReader &reader, HookedRequest &hooked);

    Store &store_;
    ServiceOptions options_;
    std::unique_ptr<TestHooks> hooks_;
    std::unique_ptr<httplib::Server> server_;
};

} // namespace service
