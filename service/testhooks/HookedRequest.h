#pragma once
// The test hooks' part in one request to the service's own paths: the canned reply due for its
// path, which either answers instead of the real logic or, when it passes, only paces the
// request (a slow line); and the request's record as it came on the wire. With the hooks off
// (no TestHooks) it does nothing and the real logic answers. The router makes one for every
// request outside /__test/, in one place (Service::serve).
#include "service/router/HttpTypes.h"
#include "service/testhooks/TestHooks.h"

#include <chrono>
#include <cstddef>
#include <optional>

namespace service
{

class HookedRequest
{
public:
    // Takes the canned reply due for the request's path; record is the request as sent.
    HookedRequest(TestHooks *hooks, const httplib::Request &req, RecordedRequest record);

    // A canned reply answers this request: the real logic is not to see it.
    bool answersInstead() const { return canned_.has_value(); }
    // Each piece of the body as it is read: false once a canned reset has read half of it.
    // Waits as the read rate asks and keeps the bytes for the record.
    bool body(const char *data, size_t size);
    // Once the body is read: records the request, waits a passing reply's delay, and answers
    // with the canned reply; true when it answered.
    bool answer(httplib::Response &res);

private:
    void answerCanned(const CannedReply &reply, httplib::Response &res);

    TestHooks *hooks_;
    RecordedRequest record_;
    std::optional<CannedReply> canned_;
    std::optional<CannedReply> pacing_;
    size_t stopAt_;
    int readRate_ = 0;
    std::chrono::steady_clock::time_point readStart_;
};

} // namespace service
