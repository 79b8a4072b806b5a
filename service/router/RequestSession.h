#pragma once
// Which session a request belongs to: the path segment after the script, else the "sid" cookie.
#include "service/router/HttpTypes.h"

#include <string>
#include <string_view>

namespace service
{

// The session id given as the path segment after script ("" for none); false when the path
// is not the script's.
bool scriptSession(const std::string &path, std::string_view script, std::string &sid);
// The value of the first "sid" cookie (names in any case), "" for none.
std::string cookieSession(const httplib::Request &req);
// The path segment wins; a request without one is tied to its cookie.
std::string requestSession(const std::string &pathSid, const httplib::Request &req);
void setSessionCookie(httplib::Response &res, const std::string &sid);

} // namespace service
