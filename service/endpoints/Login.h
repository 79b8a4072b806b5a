#pragma once
// wi_login.php and wi_logout.php: a new session, the login check, the member's name and the
// logout.
#include "service/router/HttpTypes.h"

#include <string>

namespace service
{

class Store;

void serveLogin(Store &store, const httplib::Request &req, httplib::Response &res,
                const std::string &sid);
void serveLogout(Store &store, httplib::Response &res, const std::string &sid);

} // namespace service
