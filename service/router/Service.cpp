#include "service/router/Service.h"

#include "service/endpoints/Album.h"
#include "service/endpoints/Login.h"
#include "service/endpoints/OrderPage.h"
#include "service/endpoints/Pages.h"
#include "service/endpoints/Upload.h"
#include "service/router/ConnectionThreads.h"
#include "service/router/Reply.h"
#include "service/router/RequestSession.h"
#include "service/router/WireRequest.h"
#include "service/store/Store.h"
#include "service/testhooks/HookPaths.h"
#include "service/testhooks/HookedRequest.h"
#include "service/testhooks/TestHooks.h"
#include "service/wire/Query.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>

namespace service
{

namespace
{

constexpr size_t kMaxFormBody = 1024 * 1024;
// Connections served at once; more wait until one ends.
constexpr size_t kMaxConnections = 256;

// A failure inside a request: written to the log and answered with 500.
void answerFailure(const httplib::Request &, httplib::Response &res, std::exception_ptr ep)
{
    std::string what = "error";
    try {
        std::rethrow_exception(ep);
    } catch (const std::exception &e) {
        what = e.what();
    } catch (...) {
    }
    std::fprintf(stderr, "tovela-service: %s\n", what.c_str());
    res.status = 500;
    res.set_content("ERROR", "text/plain");
}

// A POST without a length or chunks has no body, and the reader would count it as cut off.
bool readBody(const httplib::Request &req, const httplib::ContentReader &reader,
              const httplib::ContentReceiver &receiver)
{
    bool hasBody = req.has_header("Content-Length") || req.has_header("Transfer-Encoding");
    return !hasBody || reader(receiver);
}

} // namespace

Service::Service(Store &store, ServiceOptions options)
    : store_(store), options_(options), server_(std::make_unique<httplib::Server>())
{
    if (options_.testHooks)
        hooks_ = std::make_unique<TestHooks>();
    // The queue is handed over to the server, which deletes it.
    server_->new_task_queue = [] { return new ConnectionThreads(kMaxConnections); };
    // The port is this service's alone: the library's default lets a second server bind the
    // same port beside it (SO_REUSEPORT), and the kernel would then share the clients out
    // between two services that know nothing of each other. SO_REUSEADDR only allows a
    // restart while old connections linger.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server_->set_payload_max_length(kMaxRequestBody);
    // Headers and body go out in separate writes; without this every kept-alive request waits
    // for the peer's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_max_count(1000);
    // A client silent for this long in the middle of a request is gone; a slow one only
    // holds its own thread meanwhile.
    server_->set_read_timeout(30, 0);
    server_->set_write_timeout(120, 0);
    server_->Get(".*", [this](const httplib::Request &req, httplib::Response &res) {
        serve(req, res, nullptr);
    });
    server_->Post(".*", [this](const httplib::Request &req, httplib::Response &res,
                               const httplib::ContentReader &reader) { serve(req, res, &reader); });
    hideMultipartType(*server_);
    server_->set_exception_handler(answerFailure);
}

Service::~Service()
{
    stop();
}

int Service::bind(const std::string &host, int port)
{
    if (port == 0)
        return server_->bind_to_any_port(host);
    return server_->bind_to_port(host, port) ? port : -1;
}

bool Service::listen()
{
    return server_->listen_after_bind();
}

void Service::stop()
{
    if (hooks_)
        hooks_->shutdown();
    server_->stop();
}

void Service::serve(const httplib::Request &req, httplib::Response &res,
                    const httplib::ContentReader *reader)
{
    if (isHookPath(req.path)) {
        serveHook(req, res, reader);
        return;
    }
    HookedRequest hooked(hooks_.get(), req, recordOf(req));
    if (reader)
        post(req, res, *reader, hooked);
    else if (!hooked.answer(res))
        get(req, res);
}

void Service::serveHook(const httplib::Request &req, httplib::Response &res,
                        const httplib::ContentReader *reader)
{
    std::string body;
    bool complete = !reader || readBody(req, *reader, [&body](const char *data, size_t size) {
        body.append(data, size);
        return body.size() <= kMaxHookBody;
    });
    if (!complete) {
        text(res, "body too large or cut off", 400);
        return;
    }
    serveHookPath(hooks_.get(), store_, req, contentTypeOf(req), body, res);
}

void Service::get(const httplib::Request &req, httplib::Response &res)
{
    std::string sid;
    const std::string &path = req.path;
    if (scriptSession(path, "/wis/wi_login.php", sid))
        serveLogin(store_, req, res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_logout.php", sid))
        serveLogout(store_, res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_folder.php", sid))
        serveFolder(store_, req, res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_image.php", sid))
        serveImage(store_, req, res, requestSession(sid, req), false);
    else if (path == "/wis/order_image.php")
        serveImage(store_, req, res, Query::parse(rawQueryOf(req.target)).value("sid"), true);
    else if (path == "/wis/order.php")
        serveOrderPage(store_, req, res);
    else if (path == "/order_help.php")
        res.set_content(helpPage(), kHtmlType);
    else if (path == "/download.php")
        res.set_content(downloadPage(), kHtmlType);
    else if (path == "/" || path == "/index.php")
        res.set_content(indexPage(), kHtmlType);
    else
        text(res, "NG", 404);
}

void Service::post(const httplib::Request &req, httplib::Response &res,
                   const httplib::ContentReader &reader, HookedRequest &hooked)
{
    std::string pathSid;
    const bool isUpload = scriptSession(req.path, "/wis/wi_upload.php", pathSid);
    const bool realLogic = !hooked.answersInstead();
    std::unique_ptr<UploadRequest> upload;
    if (realLogic && isUpload)
        upload = std::make_unique<UploadRequest>(store_, requestSession(pathSid, req),
                                                 contentTypeOf(req), options_.orderLimit);
    std::string form;
    bool complete = readBody(req, reader, [&](const char *data, size_t size) {
        if (!hooked.body(data, size))
            return false;
        if (upload)
            return upload->feed(data, size);
        if (realLogic && form.size() < kMaxFormBody)
            form.append(data, std::min(size, kMaxFormBody - form.size()));
        return true;
    });
    if (hooked.answer(res))
        return;
    if (!complete)
        text(res, "NG", 400); // the client is gone; any pending file is removed with upload
    else if (upload)
        upload->answer(res);
    else if (req.path == "/wis/order.php")
        serveOrderPagePost(store_, res, form);
    else
        text(res, "NG", 404);
}

} // namespace service
