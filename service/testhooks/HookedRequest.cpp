#include "service/testhooks/HookedRequest.h"

#include <httplib.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

namespace service
{

HookedRequest::HookedRequest(TestHooks *hooks, const httplib::Request &req, RecordedRequest record)
    : hooks_(hooks), record_(std::move(record)), stopAt_(std::numeric_limits<size_t>::max())
{
    if (hooks_)
        canned_ = hooks_->take(req.path);
    if (canned_ && canned_->pass)
        pacing_ = std::exchange(canned_, std::nullopt);
    readRate_ = canned_ ? canned_->readRate : pacing_ ? pacing_->readRate : 0;
    readStart_ = std::chrono::steady_clock::now();
    // A canned reset stops reading half-way, leaving the rest of the body unread: closing the
    // connection then resets it under the sending client.
    if (canned_ && canned_->resetMid)
        stopAt_ = req.get_header_value<uint64_t>("Content-Length") / 2;
}

bool HookedRequest::body(const char *data, size_t size)
{
    if (record_.bodySize >= stopAt_)
        return false;
    if (readRate_ > 0)
        std::this_thread::sleep_until(
            readStart_ + std::chrono::microseconds(record_.bodySize * 1000000 / readRate_));
    if (hooks_ && record_.body.size() < kMaxRecordedBody)
        record_.body.append(data, std::min(size, kMaxRecordedBody - record_.body.size()));
    record_.bodySize += size;
    return true;
}

bool HookedRequest::answer(httplib::Response &res)
{
    if (hooks_)
        hooks_->record(std::move(record_));
    if (pacing_)
        std::this_thread::sleep_for(std::chrono::milliseconds(pacing_->delayMs));
    if (!canned_)
        return false;
    answerCanned(*canned_, res);
    return true;
}

void HookedRequest::answerCanned(const CannedReply &reply, httplib::Response &res)
{
    if (reply.stall)
        hooks_->stall();
    if (reply.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    res.status = reply.status;
    for (const auto &[name, value] : reply.headers)
        res.headers.emplace(name, value);
    if (reply.resetMid) {
        res.set_content_provider(reply.body.size() + 1, reply.contentType,
                                 [](size_t, size_t, httplib::DataSink &) { return false; });
        return;
    }
    if (!reply.closeMid) {
        res.set_content(reply.body, reply.contentType.c_str());
        return;
    }
    // Announce the whole body, send half of it, then drop the connection.
    auto body = std::make_shared<std::string>(reply.body);
    res.set_content_provider(body->size() + 1, reply.contentType,
                             [body](size_t offset, size_t, httplib::DataSink &sink) {
                                 size_t half = body->size() / 2;
                                 if (offset < half)
                                     sink.write(body->data() + offset, half - offset);
                                 return false;
                             });
}

} // namespace service
