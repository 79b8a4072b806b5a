#include "service/endpoints/OrderPage.h"

#include "service/endpoints/MemberLogin.h"
#include "service/endpoints/Pages.h"
#include "service/store/Store.h"
#include "service/wire/Query.h"

#include <httplib.h>

namespace service
{

namespace
{

// Saves the quantity and size of every picture of the order the form names; false when one
// of them is refused (the others are saved all the same).
bool saveOrderItems(Store &store, const Session &session, const Query &form)
{
    bool allValid = true;
    for (const Picture &p : store.orderPictures(session.number)) {
        std::string id = std::to_string(p.id);
        if (!form.has("size_" + id) && !form.has("qty_" + id))
            continue;
        int qty = 0;
        if (!parseId(form.value("qty_" + id), qty) ||
            !store.setOrderItem(session.number, p.id, form.value("size_" + id, p.printSize), qty))
            allValid = false;
    }
    return allValid;
}

} // namespace

void serveOrderPage(Store &store, const httplib::Request &req, httplib::Response &res)
{
    Query q = Query::parse(rawQueryOf(req.target));
    std::optional<Session> session = store.session(q.value("sid"));
    std::vector<Picture> order;
    std::string member;
    if (session) {
        order = store.orderPictures(session->number);
        member = memberSection(store, *session);
    }
    std::string note = q.value("saved") == "1" ? "注文内容を保存しました。" : memberNote(q);
    res.set_content(orderPage(session, order, note, member), kOrderPageType);
}

void serveOrderPagePost(Store &store, httplib::Response &res, const std::string &body)
{
    Query form = Query::parse(body);
    std::optional<Session> session = store.session(form.value("sid"));
    const std::string mode = form.value("mode");
    if (session && (mode == "login" || mode == "logout")) {
        MemberFormResult member = memberFormPost(store, *session, form);
        if (member.done) {
            res.set_redirect(member.location, 303);
            return;
        }
        res.set_content(orderPage(session, store.orderPictures(session->number), member.note,
                                  memberSection(store, *session, member.email)),
                        kOrderPageType);
        return;
    }
    if (!session || mode != "update") {
        res.status = 400;
        res.set_content(orderPage(session, {}, ""), kOrderPageType);
        return;
    }
    if (!saveOrderItems(store, *session, form)) {
        res.set_content(orderPage(session, store.orderPictures(session->number),
                                  "枚数は1から99まで、サイズは一覧から選んでください。",
                                  memberSection(store, *session)),
                        kOrderPageType);
        return;
    }
    res.set_redirect("/wis/order.php?mode=select&sid=" + session->sid + "&saved=1", 303);
}

} // namespace service
