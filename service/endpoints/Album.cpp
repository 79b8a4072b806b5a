#include "service/endpoints/Album.h"

#include "service/router/Reply.h"
#include "service/router/RequestSession.h"
#include "service/store/Store.h"
#include "service/store/Thumbnail.h"
#include "service/wire/LineRecord.h"
#include "service/wire/Query.h"

#include <httplib.h>

namespace service
{

void serveFolder(Store &store, const httplib::Request &req, httplib::Response &res,
                 const std::string &sid)
{
    std::optional<Session> session = store.session(sid);
    if (!session || session->accountId == 0) {
        text(res, "NG");
        return;
    }
    setSessionCookie(res, session->sid);
    Query q = Query::parse(rawQueryOf(req.target));
    std::string mode = q.value("mode");
    std::vector<std::string> lines;
    if (mode == "list") {
        std::vector<FolderListEntry> list = store.folderList(session->accountId);
        lines.push_back(lineRecord({"OK", std::to_string(list.size())}));
        for (const FolderListEntry &f : list)
            lines.push_back(
                lineRecord({std::to_string(f.id), std::to_string(f.parentPosition), f.name}));
    } else if (mode == "img") {
        int id = 0;
        if (parseId(q.value("id"), id) && store.folder(session->accountId, id))
            for (const Picture &p : store.albumPictures(session->accountId, id))
                lines.push_back(lineRecord({"1", std::to_string(p.id), p.name}));
    } else {
        text(res, "NG");
        return;
    }
    text(res, joinLines(lines));
}

void serveImage(Store &store, const httplib::Request &req, httplib::Response &res,
                const std::string &sid, bool orderOnly)
{
    std::optional<Session> session = store.session(sid);
    if (!session) {
        text(res, "NG", 403);
        return;
    }
    Query q = Query::parse(rawQueryOf(req.target));
    int id = 0;
    std::optional<Picture> p;
    if (parseId(q.value("id"), id))
        p = store.picture(id);
    // A picture is served only to the session whose order holds it or to its album's owner.
    bool mine = p && ((p->owner == PictureOwner::Order && p->ownerId == session->number) ||
                      (!orderOnly && p->owner == PictureOwner::Album && session->accountId != 0 &&
                       p->ownerId == session->accountId));
    if (!mine) {
        text(res, "NG", 404);
        return;
    }
    std::string mode = q.value("mode", orderOnly ? "big" : "");
    if (mode == "small") {
        res.set_content(thumbnailJpeg(store.picturePath(p->id), store.thumbnailPath(p->id)),
                        "image/jpeg");
    } else if (mode == "big") {
        sendFile(res, store.picturePath(p->id), mimeTypeOf(p->name));
    } else {
        text(res, "NG", 400);
    }
}

} // namespace service
