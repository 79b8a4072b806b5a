#include "service/wire/Multipart.h"

#include <algorithm>
#include <cctype>

namespace service
{

namespace
{

std::string lower(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The value of parameter key in a header value such as `form-data; name="a"; filename="b"`.
// Quoted values end at the next quote: a backslash is a path separator in our client's file
// names and a legal second byte of a Shift-JIS character, never an escape.
std::optional<std::string> parameter(std::string_view value, std::string_view key)
{
    size_t pos = value.find(';');
    while (pos != std::string_view::npos) {
        ++pos;
        while (pos < value.size() && (value[pos] == ' ' || value[pos] == '\t'))
            ++pos;
        size_t eq = value.find('=', pos);
        if (eq == std::string_view::npos)
            return std::nullopt;
        std::string_view name = trim(value.substr(pos, eq - pos));
        size_t vStart = eq + 1;
        std::string found;
        size_t next;
        if (vStart < value.size() && value[vStart] == '"') {
            size_t close = value.find('"', vStart + 1);
            if (close == std::string_view::npos)
                close = value.size();
            found = std::string(value.substr(vStart + 1, close - vStart - 1));
            next = value.find(';', close);
        } else {
            next = value.find(';', vStart);
            found = std::string(trim(value.substr(
                vStart, next == std::string_view::npos ? std::string_view::npos : next - vStart)));
        }
        if (lower(name) == lower(key))
            return found;
        pos = next;
    }
    return std::nullopt;
}

} // namespace

MultipartReader::MultipartReader(std::string boundary, Callbacks callbacks)
    : delimiter_("\r\n--" + boundary), callbacks_(std::move(callbacks))
{
    // The first boundary may open the body without a line break before it.
    pending_ = "\r\n";
}

std::optional<std::string> MultipartReader::boundaryOf(std::string_view contentType)
{
    std::string type = lower(trim(contentType.substr(0, contentType.find(';'))));
    if (type != "multipart/form-data")
        return std::nullopt;
    auto b = parameter(contentType, "boundary");
    if (!b || b->empty() || b->size() > 200)
        return std::nullopt;
    return b;
}

bool MultipartReader::feed(const char *data, size_t size)
{
    if (state_ == State::Failed)
        return false;
    if (state_ == State::Done)
        return true; // the epilogue is ignored
    pending_.append(data, size);
    while (step()) {
    }
    return state_ != State::Failed;
}

// Makes one move through the state machine; false when it needs more input or has stopped.
bool MultipartReader::step()
{
    switch (state_) {
    case State::Preamble:
        return skipPreamble();
    case State::AfterBoundary:
        return afterBoundary();
    case State::Headers:
        return readHeaders();
    case State::Body:
        return readBody();
    case State::Done:
    case State::Failed:
        return false;
    }
    return false;
}

bool MultipartReader::fail()
{
    state_ = State::Failed;
    return false;
}

bool MultipartReader::skipPreamble()
{
    size_t at = pending_.find(delimiter_);
    if (at == std::string::npos) {
        // Keep only what could still be the start of the delimiter.
        if (pending_.size() > delimiter_.size())
            pending_.erase(0, pending_.size() - delimiter_.size());
        return false;
    }
    pending_.erase(0, at + delimiter_.size());
    state_ = State::AfterBoundary;
    return true;
}

// After a delimiter: "--" closes the body, CR LF opens the next part.
bool MultipartReader::afterBoundary()
{
    size_t i = 0;
    while (i < pending_.size() && (pending_[i] == ' ' || pending_[i] == '\t'))
        ++i;
    if (pending_.size() < i + 2)
        return false;
    if (pending_.compare(i, 2, "--") == 0) {
        pending_.clear();
        state_ = State::Done;
        return false;
    }
    if (pending_.compare(i, 2, "\r\n") != 0)
        return fail();
    pending_.erase(0, i + 2);
    state_ = State::Headers;
    scanned_ = 0;
    return true;
}

bool MultipartReader::readHeaders()
{
    size_t end;
    size_t skip;
    if (pending_.compare(0, 2, "\r\n") == 0) {
        end = 0;
        skip = 2;
    } else {
        end = pending_.find("\r\n\r\n", scanned_);
        if (end == std::string::npos) {
            // The last three bytes may still begin the blank line, so the block itself
            // is longer than the limit only beyond them.
            if (pending_.size() > kMaxHeaderBlock + 3)
                return fail();
            scanned_ = pending_.size() > 3 ? pending_.size() - 3 : 0;
            return false;
        }
        skip = 4;
    }
    // The limit is on the block, not on what one piece of input held: a long block that
    // arrives whole is refused like one that trickles in.
    if (end > kMaxHeaderBlock)
        return fail();
    if (!parseHeaders(std::string_view(pending_).substr(0, end)))
        return fail();
    pending_.erase(0, end + skip);
    state_ = State::Body;
    return true;
}

bool MultipartReader::readBody()
{
    size_t at = pending_.find(delimiter_);
    if (at == std::string::npos) {
        // Everything but a possible beginning of the delimiter is part data.
        if (pending_.size() >= delimiter_.size()) {
            size_t safe = pending_.size() - (delimiter_.size() - 1);
            if (callbacks_.data && !callbacks_.data(pending_.data(), safe))
                return fail();
            pending_.erase(0, safe);
        }
        return false;
    }
    if (at > 0 && callbacks_.data && !callbacks_.data(pending_.data(), at))
        return fail();
    if (callbacks_.end && !callbacks_.end())
        return fail();
    pending_.erase(0, at + delimiter_.size());
    state_ = State::AfterBoundary;
    return true;
}

bool MultipartReader::parseHeaders(std::string_view block)
{
    PartHeader header;
    bool haveDisposition = false;
    size_t pos = 0;
    while (pos < block.size()) {
        size_t eol = block.find("\r\n", pos);
        if (eol == std::string_view::npos)
            eol = block.size();
        std::string_view line = block.substr(pos, eol - pos);
        pos = eol + 2;
        size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return false;
        std::string name(trim(line.substr(0, colon)));
        std::string value(trim(line.substr(colon + 1)));
        std::string key = lower(name);
        if (key == "content-disposition") {
            if (lower(trim(value.substr(0, value.find(';')))) != "form-data")
                return false;
            auto n = parameter(value, "name");
            if (!n)
                return false;
            header.name = *n;
            if (auto f = parameter(value, "filename")) {
                header.filename = *f;
                header.hasFilename = true;
            }
            haveDisposition = true;
        } else if (key == "content-type") {
            header.contentType = value;
        }
        header.headers.emplace_back(std::move(name), std::move(value));
    }
    if (!haveDisposition)
        return false;
    return !callbacks_.begin || callbacks_.begin(header);
}

} // namespace service
