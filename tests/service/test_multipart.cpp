#include "service/wire/Multipart.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace service;

namespace
{

struct Part {
    PartHeader header;
    std::string data;
    bool ended = false;
};

struct Collector {
    std::vector<Part> parts;
    MultipartReader::Callbacks callbacks()
    {
        MultipartReader::Callbacks cb;
        cb.begin = [this](const PartHeader &h) {
            parts.push_back({h, {}, false});
            return true;
        };
        cb.data = [this](const char *d, size_t n) {
            parts.back().data.append(d, n);
            return true;
        };
        cb.end = [this]() {
            parts.back().ended = true;
            return true;
        };
        return cb;
    }
};

// The body our client sends: "mode" then "file1" with the full Shift-JIS path of the picture.
std::string uploadBody(const std::string &boundary, const std::string &filename,
                       const std::string &content)
{
    return "--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"mode\"\r\n\r\nupload\r\n--" + boundary +
           "\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"" + filename +
           "\"\r\nContent-Type: image/jpeg\r\nContent-Transfer-Encoding: binary\r\n\r\n" + content +
           "\r\n--" + boundary + "--\r\n";
}

} // namespace

TEST(Multipart, BoundaryComesFromTheFormDataContentType)
{
    EXPECT_EQ(MultipartReader::boundaryOf("multipart/form-data; boundary=abc"), "abc");
    EXPECT_EQ(MultipartReader::boundaryOf("Multipart/Form-Data; charset=x; boundary=\"q r\""),
              "q r");
    EXPECT_FALSE(MultipartReader::boundaryOf("multipart/form-data"));
    EXPECT_FALSE(MultipartReader::boundaryOf("text/plain; boundary=abc"));
    EXPECT_FALSE(MultipartReader::boundaryOf("multipart/form-data; boundary="));
}

TEST(Multipart, UploadPartsArriveWhateverTheChunkSize)
{
    // 表 (0x95 0x5C) and the path's backslashes must stay as sent; the content holds pieces
    // of the delimiter and NUL bytes.
    std::string filename = "C:\\\x8E\xCA\x90\x5E\\\x95\x5C.jpg";
    std::string content("\xFF\xD8\r\n--boun\r\n-\0\r\n--bou\r\n", 23);
    std::string body = uploadBody("bound", filename, content);
    for (size_t chunk : {size_t(1), size_t(2), size_t(7), size_t(64), body.size()}) {
        Collector c;
        MultipartReader reader("bound", c.callbacks());
        for (size_t i = 0; i < body.size(); i += chunk)
            ASSERT_TRUE(reader.feed(body.data() + i, std::min(chunk, body.size() - i)));
        ASSERT_TRUE(reader.finished()) << chunk;
        ASSERT_EQ(c.parts.size(), 2u);
        EXPECT_EQ(c.parts[0].header.name, "mode");
        EXPECT_FALSE(c.parts[0].header.hasFilename);
        EXPECT_EQ(c.parts[0].data, "upload");
        EXPECT_EQ(c.parts[1].header.name, "file1");
        EXPECT_EQ(c.parts[1].header.filename, filename);
        EXPECT_EQ(c.parts[1].header.contentType, "image/jpeg");
        EXPECT_EQ(c.parts[1].header.headers.back(),
                  (std::pair<std::string, std::string>("Content-Transfer-Encoding", "binary")));
        EXPECT_EQ(c.parts[1].data, content) << chunk;
        EXPECT_TRUE(c.parts[1].ended);
    }
}

TEST(Multipart, PreambleEmptyPartsAndEpilogueAreHandled)
{
    std::string body = "ignored preamble\r\n--b\r\nContent-Disposition: form-data; "
                       "name=\"empty\"\r\n\r\n\r\n--b\r\ncontent-disposition: FORM-DATA; "
                       "filename=\"\"; name=x\r\n\r\nv\r\n--b--\r\nepilogue --b\r\n";
    Collector c;
    MultipartReader reader("b", c.callbacks());
    ASSERT_TRUE(reader.feed(body.data(), body.size()));
    ASSERT_TRUE(reader.finished());
    ASSERT_EQ(c.parts.size(), 2u);
    EXPECT_EQ(c.parts[0].data, "");
    EXPECT_EQ(c.parts[1].header.name, "x");
    EXPECT_TRUE(c.parts[1].header.hasFilename);
    EXPECT_EQ(c.parts[1].header.filename, "");
    EXPECT_EQ(c.parts[1].data, "v");
}

TEST(Multipart, CutOffBodyIsNotFinished)
{
    std::string body = uploadBody("bb", "a.jpg", "data");
    body.resize(body.size() - 8);
    Collector c;
    MultipartReader reader("bb", c.callbacks());
    EXPECT_TRUE(reader.feed(body.data(), body.size()));
    EXPECT_FALSE(reader.finished());
    EXPECT_FALSE(c.parts.back().ended);
}

TEST(Multipart, MalformedBodiesFail)
{
    const char *bad[] = {
        "--b\r\nNo colon here\r\n\r\nx\r\n--b--",            // header line
        "--b\r\nContent-Type: text/plain\r\n\r\nx\r\n--b--", // no disposition
        "--b\r\nContent-Disposition: attachment; name=\"a\"\r\n\r\nx\r\n--b--",
        "--bXYZ", // junk after boundary
    };
    for (const char *body : bad) {
        Collector c;
        MultipartReader reader("b", c.callbacks());
        EXPECT_FALSE(reader.feed(body, std::strlen(body))) << body;
        EXPECT_FALSE(reader.finished());
    }
    // A header block that never ends is refused before it grows without bound.
    Collector c;
    MultipartReader reader("b", c.callbacks());
    std::string endless =
        "--b\r\nContent-Disposition: form-data; name=\"a\"; x=\"" + std::string(20000, 'y');
    EXPECT_FALSE(reader.feed(endless.data(), endless.size()));
}

TEST(Multipart, HeaderLimitHoldsHoweverTheBytesArrive)
{
    // A part whose header block is exactly `size` bytes long, its blank line not counted.
    auto bodyWithHeader = [](size_t size) {
        std::string line = "Content-Disposition: form-data; name=\"a\"; x=\"";
        std::string block = line + std::string(size - line.size() - 1, 'y') + "\"";
        EXPECT_EQ(block.size(), size);
        return "--b\r\n" + block + "\r\n\r\nvalue\r\n--b--\r\n";
    };
    const size_t limit = MultipartReader::kMaxHeaderBlock;
    for (size_t size : {limit - 1, limit, limit + 1, limit + 2, limit + 4, size_t(20 * 1024)}) {
        const std::string body = bodyWithHeader(size);
        for (size_t chunk : {size_t(1), size_t(16), size_t(4093), body.size()}) {
            SCOPED_TRACE("header " + std::to_string(size) + ", pieces of " + std::to_string(chunk));
            Collector c;
            MultipartReader reader("b", c.callbacks());
            bool ok = true;
            for (size_t i = 0; i < body.size() && ok; i += chunk)
                ok = reader.feed(body.data() + i, std::min(chunk, body.size() - i));
            EXPECT_EQ(ok, size <= limit);
            EXPECT_EQ(reader.finished(), size <= limit);
            EXPECT_EQ(c.parts.size(), size <= limit ? 1u : 0u);
        }
    }
}

TEST(Multipart, ACallbackCanStopTheReading)
{
    MultipartReader::Callbacks cb;
    cb.begin = [](const PartHeader &) { return false; };
    MultipartReader reader("b", cb);
    std::string body = uploadBody("b", "x", "y");
    EXPECT_FALSE(reader.feed(body.data(), body.size()));
}
