#pragma once
// The pages the user's browser opens on the service: the order page, help and download.
#include "service/store/Store.h"

#include <optional>
#include <string>
#include <vector>

namespace service
{

std::string htmlEscape(std::string_view text);

// The order page of a session (nullopt: the session is unknown), in Shift-JIS, with a note
// shown above the form ("" for none) and the member part (MemberLogin.h) below it.
inline constexpr const char *kOrderPageType = "text/html; charset=Shift_JIS";
std::string orderPage(const std::optional<Session> &session, const std::vector<Picture> &order,
                      const std::string &note, const std::string &member = {});
std::string helpPage();
std::string downloadPage();
std::string indexPage();

} // namespace service
