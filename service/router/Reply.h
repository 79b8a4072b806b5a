#pragma once
// The answers every endpoint gives: short texts in Shift-JIS and stored files.
#include "service/router/HttpTypes.h"

#include <filesystem>
#include <string>

namespace service
{

inline constexpr const char *kTextType = "text/plain; charset=Shift_JIS";
inline constexpr const char *kHtmlType = "text/html; charset=UTF-8";

// utf8 in Shift-JIS as text/plain.
void text(httplib::Response &res, const std::string &utf8, int status = 200);
// The type a picture of that name is served as.
std::string mimeTypeOf(const std::string &name);
// Sends a stored file without reading it into memory; "NG" 404 when it cannot be opened.
void sendFile(httplib::Response &res, const std::filesystem::path &path,
              const std::string &contentType);

} // namespace service
