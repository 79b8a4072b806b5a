#pragma once
// wi_upload.php: one picture posted as multipart, streamed into the store as it comes in. The
// "file1" part goes to a pending file, kept only when the whole body proved good.
#include "service/router/HttpTypes.h"
#include "service/store/Store.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace service
{

class UploadRequest
{
public:
    // Without a session, or for a guest order at its limit, the body is still read to its end
    // and dropped, so that the client gets the answer instead of a reset connection.
    UploadRequest(Store &store, const std::string &sid, const std::string &contentType,
                  size_t orderLimit);
    ~UploadRequest(); // removes a pending file not kept
    UploadRequest(const UploadRequest &) = delete;
    UploadRequest &operator=(const UploadRequest &) = delete;

    // The next bytes of the body; the rest of a malformed body is read and dropped.
    bool feed(const char *data, size_t size);
    // The answer once the whole body is in; keeps the picture when it is good.
    void answer(httplib::Response &res);

private:
    struct Stream;

    Store &store_;
    size_t orderLimit_;
    std::optional<Session> session_;
    std::unique_ptr<Stream> stream_; // none without a session or over the limit
};

} // namespace service
