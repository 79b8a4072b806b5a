#include "service/testhooks/HookPaths.h"

#include "service/router/Reply.h"
#include "service/store/Store.h"
#include "service/testhooks/TestHooks.h"
#include "service/wire/Json.h"
#include "service/wire/Multipart.h"
#include "service/wire/Query.h"

#include <httplib.h>

namespace service
{

namespace
{

// Adds the fields of a multipart body to form; false when the body is malformed.
bool addMultipartFields(const std::string &boundary, const std::string &body, Query &form)
{
    std::string name;
    std::string value;
    MultipartReader::Callbacks cb;
    cb.begin = [&](const PartHeader &h) {
        name = h.name;
        value.clear();
        return true;
    };
    cb.data = [&](const char *d, size_t n) {
        value.append(d, n);
        return true;
    };
    cb.end = [&]() {
        form.add(name, value);
        return true;
    };
    MultipartReader parser(boundary, cb);
    return parser.feed(body.data(), body.size()) && parser.finished();
}

// The fields of the query, then those of the body: url-encoded or multipart (the latter for
// large or binary bodies). False when a multipart body is malformed.
bool hookForm(const httplib::Request &req, const std::string &contentType, const std::string &body,
              Query &form)
{
    form = Query::parse(rawQueryOf(req.target));
    if (auto boundary = MultipartReader::boundaryOf(contentType))
        return addMultipartFields(*boundary, body, form);
    Query fields = Query::parse(body);
    for (const auto &[n, v] : fields.items())
        form.add(n, v);
    return true;
}

// One JSON object per stored picture and line.
std::string uploadsJson(const Store &store)
{
    std::string out;
    for (const Picture &p : store.allPictures())
        out += "{\"id\":" + std::to_string(p.id) + ",\"owner\":\"" +
               (p.owner == PictureOwner::Album ? "album" : "order") +
               "\",\"owner_id\":" + std::to_string(p.ownerId) +
               ",\"folder\":" + std::to_string(p.folderId) + ",\"name\":" + jsonText(p.name) +
               ",\"size\":" + std::to_string(p.bytes) +
               ",\"file\":" + jsonText(store.picturePath(p.id).string()) + "}\n";
    return out;
}

void addReply(TestHooks &hooks, const Query &form, httplib::Response &res)
{
    CannedReply reply;
    std::string error;
    if (!CannedReply::fromForm(form, reply, error)) {
        res.status = 400;
        res.set_content(error, "text/plain");
        return;
    }
    hooks.addReply(std::move(reply));
    res.set_content("OK", "text/plain");
}

void addAccount(Store &store, const Query &form, httplib::Response &res)
{
    std::string email = form.value("email");
    if (email.empty()) {
        res.status = 400;
        res.set_content("email must be given", "text/plain");
        return;
    }
    int id = store.addAccount(email, form.value("password"), form.value("name", email));
    res.set_content(std::to_string(id), "text/plain");
}

} // namespace

bool isHookPath(const std::string &path)
{
    return path.rfind("/__test/", 0) == 0;
}

void serveHookPath(TestHooks *hooks, Store &store, const httplib::Request &req,
                   const std::string &contentType, const std::string &body, httplib::Response &res)
{
    if (!hooks) {
        text(res, "NG", 404);
        return;
    }
    Query form;
    if (!hookForm(req, contentType, body, form)) {
        text(res, "malformed multipart body", 400);
        return;
    }
    const std::string &path = req.path;
    const bool post = req.method == "POST";
    if (post && path == "/__test/reply") {
        addReply(*hooks, form, res);
    } else if (post && path == "/__test/reset") {
        hooks->reset();
        res.set_content("OK", "text/plain");
    } else if (req.method == "GET" && path == "/__test/requests") {
        res.set_content(hooks->requestsJson(), "application/x-ndjson");
    } else if (post && path == "/__test/account") {
        addAccount(store, form, res);
    } else if (req.method == "GET" && path == "/__test/uploads") {
        res.set_content(uploadsJson(store), "application/x-ndjson");
    } else {
        text(res, "NG", 404);
    }
}

} // namespace service
