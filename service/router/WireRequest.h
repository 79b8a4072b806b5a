#pragma once
// The request as it came on the wire. httplib insists on parsing multipart bodies itself once
// it sees their content type, which would hide the raw bytes that both the streaming upload and
// the request record need; the type is therefore hidden before routing and read back here.
#include "service/router/HttpTypes.h"
#include "service/testhooks/TestHooks.h"

#include <string>

namespace service
{

// Hides every multipart Content-Type of each request from the server's own body parsing.
void hideMultipartType(httplib::Server &server);
// The request's Content-Type as sent.
std::string contentTypeOf(const httplib::Request &req);
// Method, path, raw query and headers as sent (not the server's own address headers); the
// body is added while it is read.
RecordedRequest recordOf(const httplib::Request &req);

} // namespace service
