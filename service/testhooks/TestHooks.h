#pragma once
// What --test-hooks adds: canned replies that win over the real logic, and a record of every
// request as it came on the wire.
#include "service/wire/Query.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace service
{

struct CannedReply {
    std::string path;
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=Shift_JIS";
    int count = 1; // requests it answers; 0 answers all of them until a reset
    int after = 0; // requests of its path it lets pass to the real logic before it answers
    bool stall = false;
    bool closeMid = false;
    bool resetMid = false; // read half the request body, then drop the connection
    int delayMs = 0;       // the reply waits this long before it goes out (a slow line)
    int readRate = 0;      // the request body is read at this many bytes a second (0: at once)
    bool pass = false;     // the real logic answers; only the pacing above is taken from here
    std::vector<std::pair<std::string, std::string>> headers; // extra reply header lines

    // From the fields of POST /__test/reply; false with a reason in error when they are bad.
    static bool fromForm(const Query &form, CannedReply &reply, std::string &error);
};

struct RecordedRequest {
    std::string method;
    std::string path;
    std::string queryRaw;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body; // the first kMaxRecordedBody bytes
    std::uint64_t bodySize = 0;
};

inline constexpr size_t kMaxRecordedBody = 8 * 1024 * 1024;

class TestHooks
{
public:
    void addReply(CannedReply reply);
    // The canned reply for path, counted as used, if one is due: the first waiting one that
    // lets no more requests pass. Every other reply of the path counts the request as passed.
    std::optional<CannedReply> take(const std::string &path);

    void record(RecordedRequest request);
    // One JSON object per line, in the order the requests ended.
    std::string requestsJson() const;

    // Drops replies and records and lets every stalled request go.
    void reset();
    // Holds the calling request until a reset or shutdown (at most ten minutes).
    void stall();
    void shutdown();

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<CannedReply> replies_;
    std::vector<RecordedRequest> requests_;
    std::uint64_t generation_ = 0;
    bool shutdown_ = false;
};

} // namespace service
