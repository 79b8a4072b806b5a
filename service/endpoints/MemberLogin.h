#pragma once
// The album member's login on the order page. The program opens that page with its session id;
// a member who logs in there logs in that session, and the program's next start-up resumes it
// with the saved id. The same page logs the session out again.
#include "service/store/Store.h"
#include "service/wire/Query.h"

#include <optional>
#include <string>

namespace service
{

// The member part of the order page: whose session it is and the logout button, or the login
// form: with the address of a failed attempt (UTF-8) when given, else with the demo account's
// credentials filled in.
std::string memberSection(const Store &store, const Session &session,
                          const std::optional<std::string> &typedEmail = std::nullopt);

// What a post of the member form (mode=login or mode=logout) comes to.
struct MemberFormResult {
    bool done = false;    // true: show the page again at location (a redirect)
    std::string location; // when done
    std::string note;     // when not done: why, shown above the form
    std::string email;    // when not done: the address typed (UTF-8), filled in again
};

// Acts on the form for session (known to the store).
MemberFormResult memberFormPost(Store &store, const Session &session, const Query &form);

// The note of the order page after a redirect of the member form ("" for none).
std::string memberNote(const Query &query);

} // namespace service
