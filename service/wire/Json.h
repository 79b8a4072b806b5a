#pragma once
// The little JSON the test hooks write.
#include <string>
#include <string_view>

namespace service
{

// A JSON string of raw wire bytes: every byte becomes the character of the same number
// (bytes above 0x7F as \u00XX), so a reader gets the exact bytes back through Latin-1.
std::string jsonBytes(std::string_view bytes);
// A JSON string of UTF-8 text.
std::string jsonText(std::string_view utf8);
std::string base64(std::string_view bytes);

} // namespace service
