#include "service/router/WireRequest.h"

#include "service/wire/Query.h"

#include <httplib.h>

#include <string_view>

namespace service
{

namespace
{

// Header values never start with a blank, as the server trims them.
constexpr std::string_view kHiddenMultipart = " ";

bool hidden(const std::string &value)
{
    return value.rfind(kHiddenMultipart, 0) == 0;
}

} // namespace

void hideMultipartType(httplib::Server &server)
{
    server.set_pre_routing_handler([](const httplib::Request &req, httplib::Response &) {
        // The request object is the server's own, non-const one; only the header is touched.
        auto &headers = const_cast<httplib::Request &>(req).headers;
        auto [from, to] = headers.equal_range("Content-Type");
        for (auto it = from; it != to; ++it)
            if (it->second.rfind("multipart/form-data", 0) == 0)
                it->second = std::string(kHiddenMultipart) + it->second;
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

std::string contentTypeOf(const httplib::Request &req)
{
    std::string value = req.get_header_value("Content-Type");
    if (hidden(value))
        value.erase(0, kHiddenMultipart.size());
    return value;
}

RecordedRequest recordOf(const httplib::Request &req)
{
    RecordedRequest r;
    r.method = req.method;
    r.path = req.path;
    r.queryRaw = rawQueryOf(req.target);
    for (const auto &[name, value] : req.headers) {
        // The server adds the socket's addresses as headers of its own.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
            name == "LOCAL_PORT")
            continue;
        bool isHidden = name == "Content-Type" && hidden(value);
        r.headers.emplace_back(name, isHidden ? value.substr(kHiddenMultipart.size()) : value);
    }
    return r;
}

} // namespace service
