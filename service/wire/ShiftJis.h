#pragma once
// The service speaks Shift-JIS (code page 932) on the wire and keeps UTF-8 inside.
#include <string>
#include <string_view>

namespace service
{

// UTF-8 to CP932; a character CP932 cannot hold becomes "?".
std::string toShiftJis(std::string_view utf8);

// CP932 to UTF-8. Returns false in ok (when given) if the bytes are not valid CP932; each bad
// byte is then replaced by U+FFFD so that a stray byte never loses the rest of the text.
std::string fromShiftJis(std::string_view sjis, bool *ok = nullptr);

bool isValidUtf8(std::string_view bytes);

// Decodes %XX escapes (and "+" as a blank, as form data does); malformed escapes stay as is.
std::string percentDecode(std::string_view text);

} // namespace service
