#pragma once
// The album's reply format: one record per line, fields joined by "<!--SEP-->".
#include <string>
#include <string_view>
#include <vector>

namespace service
{

inline constexpr std::string_view kFieldSeparator = "<!--SEP-->";
inline constexpr std::string_view kLineBreak = "\r\n";

// A field can hold neither a line break nor the separator; both are taken out.
std::string cleanField(std::string_view text);

std::string lineRecord(const std::vector<std::string> &fields);

// Lines joined by CR LF, with no break after the last: a trailing empty line would be read
// as a malformed record and end the client's listing.
std::string joinLines(const std::vector<std::string> &lines);

// Reading side (used to check what the service writes): lines cut at CR LF, LF or CR, then
// every separator made a field boundary.
std::vector<std::string> splitLines(std::string_view text);
std::vector<std::string> splitFields(std::string_view line);

} // namespace service
