#include "service/router/RequestSession.h"

#include <httplib.h>

#include <algorithm>

namespace service
{

bool scriptSession(const std::string &path, std::string_view script, std::string &sid)
{
    if (path == script) {
        sid.clear();
        return true;
    }
    if (path.size() > script.size() && path.compare(0, script.size(), script) == 0 &&
        path[script.size()] == '/') {
        sid = path.substr(script.size() + 1);
        return true;
    }
    return false;
}

std::string cookieSession(const httplib::Request &req)
{
    size_t n = req.get_header_value_count("Cookie");
    for (size_t i = 0; i < n; ++i) {
        std::string value = req.get_header_value("Cookie", i);
        size_t pos = 0;
        while (pos < value.size()) {
            size_t end = value.find(';', pos);
            if (end == std::string::npos)
                end = value.size();
            std::string item = value.substr(pos, end - pos);
            pos = end + 1;
            size_t start = item.find_first_not_of(' ');
            if (start == std::string::npos)
                continue;
            item.erase(0, start);
            size_t eq = item.find('=');
            if (eq == std::string::npos)
                continue;
            std::string name = item.substr(0, eq);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            if (name == "sid")
                return item.substr(eq + 1);
        }
    }
    return std::string();
}

std::string requestSession(const std::string &pathSid, const httplib::Request &req)
{
    return pathSid.empty() ? cookieSession(req) : pathSid;
}

void setSessionCookie(httplib::Response &res, const std::string &sid)
{
    res.set_header("Set-Cookie", "sid=" + sid + "; path=/");
}

} // namespace service
