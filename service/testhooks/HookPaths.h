#pragma once
// The paths under /__test/ that tests drive the stand-in by: canned replies, a reset, the
// request record, accounts and the stored uploads. Without --test-hooks they are unknown paths.
#include "service/router/HttpTypes.h"

#include <cstddef>
#include <string>

namespace service
{

class Store;
class TestHooks;

// Largest form a test posts to a hook path.
inline constexpr size_t kMaxHookBody = 256 * 1024 * 1024;

bool isHookPath(const std::string &path);
// hooks: none when they are off. contentType: the request's as sent; body: the whole body.
void serveHookPath(TestHooks *hooks, Store &store, const httplib::Request &req,
                   const std::string &contentType, const std::string &body, httplib::Response &res);

} // namespace service
