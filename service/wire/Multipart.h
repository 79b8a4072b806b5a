#pragma once
// A streaming reader of multipart/form-data bodies. It sees the raw bytes (so a request can be
// recorded exactly as it came) and hands each part's data on as it arrives, so an upload of any
// size passes through a small window of memory.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace service
{

struct PartHeader {
    std::string name;
    std::string filename; // raw bytes of the filename parameter (Shift-JIS from our client)
    bool hasFilename = false;
    std::string contentType;
    std::vector<std::pair<std::string, std::string>> headers; // every header line, as sent
};

class MultipartReader
{
public:
    struct Callbacks {
        std::function<bool(const PartHeader &)> begin; // false stops the reading
        std::function<bool(const char *, size_t)> data;
        std::function<bool()> end;
    };

    // Longest header block of one part, its closing blank line not counted.
    static constexpr size_t kMaxHeaderBlock = 16 * 1024;

    MultipartReader(std::string boundary, Callbacks callbacks);

    // The boundary parameter of a multipart/form-data content type.
    static std::optional<std::string> boundaryOf(std::string_view contentType);

    // Feeds the next bytes of the body; false once the body is malformed or a callback refused.
    bool feed(const char *data, size_t size);
    // True after the closing boundary.
    bool finished() const { return state_ == State::Done; }

private:
    enum class State { Preamble, AfterBoundary, Headers, Body, Done, Failed };
    bool step();
    // One state each; false as step().
    bool skipPreamble();
    bool afterBoundary();
    bool readHeaders();
    bool readBody();
    bool fail(); // enters Failed
    bool parseHeaders(std::string_view block);

    std::string delimiter_; // CR LF "--" boundary
    Callbacks callbacks_;
    State state_ = State::Preamble;
    std::string pending_;
    size_t scanned_ = 0;
};

} // namespace service
