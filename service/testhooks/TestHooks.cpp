#include "service/testhooks/TestHooks.h"

#include "service/wire/Json.h"

#include <chrono>

namespace service
{

bool CannedReply::fromForm(const Query &form, CannedReply &reply, std::string &error)
{
    reply = CannedReply();
    reply.path = form.value("path");
    if (reply.path.empty() || reply.path[0] != '/') {
        error = "path must be given and start with /";
        return false;
    }
    int n = 0;
    if (form.has("status")) {
        if (!parseId(form.value("status"), n) || n < 100 || n > 999) {
            error = "bad status";
            return false;
        }
        reply.status = n;
    }
    if (form.has("count")) {
        if (!parseId(form.value("count"), n)) {
            error = "bad count";
            return false;
        }
        reply.count = n;
    }
    if (form.has("after")) {
        if (!parseId(form.value("after"), n)) {
            error = "bad after";
            return false;
        }
        reply.after = n;
    }
    if (form.has("delay_ms")) {
        if (!parseId(form.value("delay_ms"), n) || n > 600000) {
            error = "bad delay_ms";
            return false;
        }
        reply.delayMs = n;
    }
    if (form.has("read_rate")) {
        if (!parseId(form.value("read_rate"), n)) {
            error = "bad read_rate";
            return false;
        }
        reply.readRate = n;
    }
    reply.pass = form.value("pass") == "1";
    reply.body = form.value("body");
    reply.stall = form.value("stall") == "1";
    reply.closeMid = form.value("close_mid") == "1";
    reply.resetMid = form.value("reset_mid") == "1";
    if (form.has("content_type"))
        reply.contentType = form.value("content_type");
    for (const std::string &line : form.values("header")) {
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0 ||
            line.find_first_of("\r\n") != std::string::npos) {
            error = "header must be one line \"Name: value\"";
            return false;
        }
        size_t v = line.find_first_not_of(' ', colon + 1);
        reply.headers.emplace_back(line.substr(0, colon),
                                   v == std::string::npos ? std::string() : line.substr(v));
    }
    return true;
}

void TestHooks::addReply(CannedReply reply)
{
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(reply));
}

std::optional<CannedReply> TestHooks::take(const std::string &path)
{
    std::lock_guard lock(mutex_);
    auto due = replies_.end();
    for (auto it = replies_.begin(); it != replies_.end(); ++it) {
        if (it->path != path)
            continue;
        if (due == replies_.end() && it->after == 0)
            due = it;
        else if (it->after > 0)
            --it->after;
    }
    if (due == replies_.end())
        return std::nullopt;
    CannedReply r = *due;
    if (due->count > 0 && --due->count == 0)
        replies_.erase(due);
    return r;
}

void TestHooks::record(RecordedRequest request)
{
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
}

std::string TestHooks::requestsJson() const
{
    std::lock_guard lock(mutex_);
    std::string out;
    for (const RecordedRequest &r : requests_) {
        out += "{\"method\":" + jsonBytes(r.method) + ",\"path\":" + jsonBytes(r.path) +
               ",\"query_raw\":" + jsonBytes(r.queryRaw) + ",\"headers\":[";
        for (size_t i = 0; i < r.headers.size(); ++i) {
            if (i)
                out += ',';
            out += "[" + jsonBytes(r.headers[i].first) + "," + jsonBytes(r.headers[i].second) + "]";
        }
        out += "],\"body_b64\":\"" + base64(r.body) +
               "\",\"body_size\":" + std::to_string(r.bodySize) +
               ",\"body_truncated\":" + (r.bodySize > r.body.size() ? "true" : "false") + "}\n";
    }
    return out;
}

void TestHooks::reset()
{
    std::lock_guard lock(mutex_);
    replies_.clear();
    requests_.clear();
    ++generation_;
    wake_.notify_all();
}

void TestHooks::stall()
{
    std::unique_lock lock(mutex_);
    std::uint64_t at = generation_;
    wake_.wait_for(lock, std::chrono::minutes(10), [&] { return shutdown_ || generation_ != at; });
}

void TestHooks::shutdown()
{
    std::lock_guard lock(mutex_);
    shutdown_ = true;
    wake_.notify_all();
}

} // namespace service
