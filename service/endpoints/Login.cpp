#include "service/endpoints/Login.h"

#include "service/router/Reply.h"
#include "service/router/RequestSession.h"
#include "service/store/Store.h"
#include "service/wire/Query.h"

#include <httplib.h>

namespace service
{

void serveLogin(Store &store, const httplib::Request &req, httplib::Response &res,
                const std::string &sid)
{
    Query q = Query::parse(rawQueryOf(req.target));
    std::string mode = q.value("mode");
    if (mode == "cookie_get") {
        std::string fresh = store.newSession();
        setSessionCookie(res, fresh);
        text(res, fresh);
        return;
    }
    std::optional<Session> session = store.session(sid);
    if (mode == "get_name") {
        std::optional<Account> account;
        if (session && session->accountId)
            account = store.account(session->accountId);
        if (!account) {
            text(res, "NG");
            return;
        }
        setSessionCookie(res, session->sid);
        text(res, account->name);
        return;
    }
    // The login check. An unknown session gets a new one, handed over in the cookie.
    if (!session)
        session = store.session(store.newSession());
    setSessionCookie(res, session->sid);
    std::string email = q.value("email");
    std::string password = q.value("passwd");
    bool ok;
    if (email.empty() && password.empty())
        ok = session->accountId != 0; // resuming a saved session
    else
        ok = store.login(session->sid, email, password);
    text(res, ok ? "OK" : "NG");
}

void serveLogout(Store &store, httplib::Response &res, const std::string &sid)
{
    std::optional<Session> session = store.session(sid);
    if (!session) {
        text(res, "NG");
        return;
    }
    store.logout(sid);
    setSessionCookie(res, session->sid);
    text(res, "OK");
}

} // namespace service
