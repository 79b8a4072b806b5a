#include "service/router/Reply.h"

#include "service/wire/ShiftJis.h"

#include <httplib.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace service
{

void text(httplib::Response &res, const std::string &utf8, int status)
{
    res.status = status;
    res.set_content(toShiftJis(utf8), kTextType);
}

std::string mimeTypeOf(const std::string &name)
{
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe")
        return "image/jpeg";
    if (ext == "png")
        return "image/png";
    if (ext == "bmp")
        return "image/bmp";
    if (ext == "gif")
        return "image/gif";
    if (ext == "tif" || ext == "tiff")
        return "image/tiff";
    return "application/octet-stream";
}

void sendFile(httplib::Response &res, const std::filesystem::path &path,
              const std::string &contentType)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    auto in = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (ec || !*in) {
        text(res, "NG", 404);
        return;
    }
    res.status = 200;
    res.set_content_provider(static_cast<size_t>(size), contentType,
                             [in](size_t offset, size_t length, httplib::DataSink &sink) {
                                 char buffer[64 * 1024];
                                 in->seekg(static_cast<std::streamoff>(offset));
                                 size_t n = std::min(length, sizeof buffer);
                                 in->read(buffer, static_cast<std::streamsize>(n));
                                 std::streamsize got = in->gcount();
                                 return got > 0 && sink.write(buffer, static_cast<size_t>(got));
                             });
}

} // namespace service
