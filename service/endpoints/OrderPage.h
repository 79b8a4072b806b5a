#pragma once
// order.php, the order page in the user's browser: shown, its quantities and sizes saved, and
// the member form (MemberLogin.h) acted on.
#include "service/router/HttpTypes.h"

#include <string>

namespace service
{

class Store;

void serveOrderPage(Store &store, const httplib::Request &req, httplib::Response &res);
// body: the url-encoded form as posted.
void serveOrderPagePost(Store &store, httplib::Response &res, const std::string &body);

} // namespace service
