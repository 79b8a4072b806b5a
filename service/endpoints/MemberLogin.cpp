#include "service/endpoints/MemberLogin.h"

#include "service/endpoints/Pages.h"
#include "service/wire/ShiftJis.h"

namespace service
{

std::string memberSection(const Store &store, const Session &session,
                          const std::optional<std::string> &typedEmail)
{
    const std::string sid = htmlEscape(session.sid);
    std::string html = "<section id=\"member\">\n<h2>アルバム会員</h2>\n";
    std::optional<Account> member;
    if (session.accountId != 0)
        member = store.account(session.accountId);
    if (member) {
        html += "<p id=\"member-name\">" + htmlEscape(member->name) +
                "さんとしてログインしています。</p>\n"
                "<form method=\"post\" action=\"/wis/order.php\" accept-charset=\"Shift_JIS\">\n"
                "<input type=\"hidden\" name=\"mode\" value=\"logout\">\n"
                "<input type=\"hidden\" name=\"sid\" value=\"" +
                sid + "\">\n<p><button type=\"submit\">ログアウト</button></p>\n</form>\n";
        return html + "</section>\n";
    }
    const Account demo = store.demoAccount();
    html += "<p>アルバム会員の方はここでログインしてください。ログインした後でソフトを一度終了し、"
            "起動し直すと、アルバムが表示されます。</p>\n"
            "<p id=\"demo\">お試し用の会員: メールアドレス <code>" +
            htmlEscape(demo.email) + "</code> パスワード <code>" + htmlEscape(demo.password) +
            "</code></p>\n"
            "<form method=\"post\" action=\"/wis/order.php\" accept-charset=\"Shift_JIS\">\n"
            "<input type=\"hidden\" name=\"mode\" value=\"login\">\n"
            "<input type=\"hidden\" name=\"sid\" value=\"" +
            sid + "\">\n<p><label>メールアドレス<br><input type=\"text\" name=\"email\" value=\"" +
            htmlEscape(typedEmail ? *typedEmail : demo.email) +
            "\"></label></p>\n<p><label>パスワード<br><input type=\"password\" name=\"passwd\" "
            "value=\"" +
            htmlEscape(typedEmail ? std::string() : demo.password) +
            "\"></label></p>\n<p><button type=\"submit\">ログイン</button></p>\n</form>\n";
    return html + "</section>\n";
}

MemberFormResult memberFormPost(Store &store, const Session &session, const Query &form)
{
    MemberFormResult result;
    const std::string back = "/wis/order.php?mode=select&sid=" + session.sid;
    if (form.value("mode") == "logout") {
        store.logout(session.sid);
        result.done = true;
        result.location = back + "&member=logout";
        return result;
    }
    // The browser posts the page's own encoding, Shift-JIS; the store reads both encodings.
    const std::string email = form.value("email");
    if (!email.empty() && store.login(session.sid, email, form.value("passwd"))) {
        result.done = true;
        result.location = back + "&member=login";
        return result;
    }
    result.note = "メールアドレスまたはパスワードが違います。";
    result.email = fromShiftJis(email);
    return result;
}

std::string memberNote(const Query &query)
{
    const std::string member = query.value("member");
    if (member == "login")
        return "ログインしました。ソフトを一度終了して起動し直すと、アルバムが表示されます。";
    if (member == "logout")
        return "ログアウトしました。ソフトを起動し直すと、ログアウトした状態で始まります。";
    return std::string();
}

} // namespace service
