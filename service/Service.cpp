#include "service/Service.h"

#include "service/ConnectionThreads.h"
#include "service/Json.h"
#include "service/LineRecord.h"
#include "service/MemberLogin.h"
#include "service/Multipart.h"
#include "service/Pages.h"
#include "service/Query.h"
#include "service/ShiftJis.h"
#include "service/Store.h"
#include "service/TestHooks.h"
#include "service/Thumbnail.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <limits>
#include <thread>

namespace service
{

namespace
{

constexpr const char *kTextType = "text/plain; charset=Shift_JIS";
constexpr const char *kHtmlType = "text/html; charset=UTF-8";
constexpr size_t kMaxFormBody = 1024 * 1024;
constexpr size_t kMaxHookBody = 256 * 1024 * 1024;
// Connections served at once; more wait until one ends.
constexpr size_t kMaxConnections = 256;

// httplib insists on parsing multipart bodies itself once it sees their content type, which
// would hide the raw bytes that both our streaming reader and the request record need. The
// type is therefore hidden behind this prefix before routing (header values never start with
// a blank, as the server trims them) and read back through contentTypeOf().
constexpr std::string_view kHiddenMultipart = " ";

std::string contentTypeOf(const httplib::Request &req)
{
    std::string value = req.get_header_value("Content-Type");
    if (value.rfind(kHiddenMultipart, 0) == 0)
        value.erase(0, kHiddenMultipart.size());
    return value;
}

// The session id given as the path segment after script ("" for none); false when the path
// is not the script's.
bool scriptSession(const std::string &path, std::string_view script, std::string &sid)
{
    if (path == script) {
        sid.clear();
        return true;
    }
    if (path.size() > script.size() && path.compare(0, script.size(), script) == 0 &&
        path[script.size()] == '/') {
        sid = path.substr(script.size() + 1);
        return true;
    }
    return false;
}

std::string cookieSession(const httplib::Request &req)
{
    size_t n = req.get_header_value_count("Cookie");
    for (size_t i = 0; i < n; ++i) {
        std::string value = req.get_header_value("Cookie", i);
        size_t pos = 0;
        while (pos < value.size()) {
            size_t end = value.find(';', pos);
            if (end == std::string::npos)
                end = value.size();
            std::string item = value.substr(pos, end - pos);
            pos = end + 1;
            size_t start = item.find_first_not_of(' ');
            if (start == std::string::npos)
                continue;
            item.erase(0, start);
            size_t eq = item.find('=');
            if (eq == std::string::npos)
                continue;
            std::string name = item.substr(0, eq);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            if (name == "sid")
                return item.substr(eq + 1);
        }
    }
    return std::string();
}

// The path segment wins; a request without one is tied to its cookie.
std::string requestSession(const std::string &pathSid, const httplib::Request &req)
{
    return pathSid.empty() ? cookieSession(req) : pathSid;
}

void text(httplib::Response &res, const std::string &utf8, int status = 200)
{
    res.status = status;
    res.set_content(toShiftJis(utf8), kTextType);
}

void setSessionCookie(httplib::Response &res, const std::string &sid)
{
    res.set_header("Set-Cookie", "sid=" + sid + "; path=/");
}

std::string mimeTypeOf(const std::string &name)
{
    size_t dot = name.rfind('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe")
        return "image/jpeg";
    if (ext == "png")
        return "image/png";
    if (ext == "bmp")
        return "image/bmp";
    if (ext == "gif")
        return "image/gif";
    if (ext == "tif" || ext == "tiff")
        return "image/tiff";
    return "application/octet-stream";
}

// Sends a stored file without reading it into memory.
void sendFile(httplib::Response &res, const std::filesystem::path &path,
              const std::string &contentType)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    auto in = std::make_shared<std::ifstream>(path, std::ios::binary);
    if (ec || !*in) {
        text(res, "NG", 404);
        return;
    }
    res.status = 200;
    res.set_content_provider(static_cast<size_t>(size), contentType,
                             [in](size_t offset, size_t length, httplib::DataSink &sink) {
                                 char buffer[64 * 1024];
                                 in->seekg(static_cast<std::streamoff>(offset));
                                 size_t n = std::min(length, sizeof buffer);
                                 in->read(buffer, static_cast<std::streamsize>(n));
                                 std::streamsize got = in->gcount();
                                 return got > 0 && sink.write(buffer, static_cast<size_t>(got));
                             });
}

// One upload request as it streams in: the "file1" part goes to a pending file of the store.
struct Upload {
    std::unique_ptr<MultipartReader> parser;
    std::unique_ptr<PendingFile> file;
    std::string mode;
    std::string filename;
    enum class Part { None, Mode, File, Other } part = Part::None;
    bool haveFile = false;
    bool broken = false;
    bool writeFailed = false;

    bool feed(const char *data, size_t size)
    {
        if (!broken && !parser->feed(data, size))
            broken = true;
        return true; // the rest of a broken body is read and dropped
    }
};

std::unique_ptr<Upload> startUpload(Store &store, const httplib::Request &req)
{
    auto up = std::make_unique<Upload>();
    auto boundary = MultipartReader::boundaryOf(contentTypeOf(req));
    Upload *u = up.get();
    MultipartReader::Callbacks cb;
    cb.begin = [u, &store](const PartHeader &h) {
        if (h.name == "file1" && h.hasFilename && !u->haveFile) {
            u->file = store.beginUpload();
            u->filename = h.filename;
            u->part = Upload::Part::File;
        } else if (h.name == "mode") {
            u->mode.clear();
            u->part = Upload::Part::Mode;
        } else {
            u->part = Upload::Part::Other;
        }
        return true;
    };
    cb.data = [u](const char *data, size_t size) {
        if (u->part == Upload::Part::File) {
            if (!u->file->write(data, size))
                u->writeFailed = true;
        } else if (u->part == Upload::Part::Mode && u->mode.size() < 64) {
            u->mode.append(data, std::min(size, size_t(64)));
        }
        return true;
    };
    cb.end = [u]() {
        if (u->part == Upload::Part::File) {
            if (!u->file->close())
                u->writeFailed = true;
            u->haveFile = true;
        }
        u->part = Upload::Part::None;
        return true;
    };
    if (!boundary) {
        up->broken = true;
        boundary = "-";
    }
    up->parser = std::make_unique<MultipartReader>(*boundary, std::move(cb));
    return up;
}

} // namespace

Service::Service(Store &store, ServiceOptions options)
    : store_(store), options_(options), server_(std::make_unique<httplib::Server>())
{
    if (options_.testHooks)
        hooks_ = std::make_unique<TestHooks>();
    // The queue is handed over to the server, which deletes it.
    server_->new_task_queue = [] { return new ConnectionThreads(kMaxConnections); };
    // The port is this service's alone: the library's default lets a second server bind the
    // same port beside it (SO_REUSEPORT), and the kernel would then share the clients out
    // between two services that know nothing of each other. SO_REUSEADDR only allows a
    // restart while old connections linger.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server_->set_payload_max_length(kMaxRequestBody);
    // Headers and body go out in separate writes; without this every kept-alive request waits
    // for the peer's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
    server_->set_keep_alive_max_count(1000);
    // A client silent for this long in the middle of a request is gone; a slow one only
    // holds its own thread meanwhile.
    server_->set_read_timeout(30, 0);
    server_->set_write_timeout(120, 0);
    server_->Get(".*",
                 [this](const httplib::Request &req, httplib::Response &res) { get(req, res); });
    server_->Post(".*", [this](const httplib::Request &req, httplib::Response &res,
                               const httplib::ContentReader &reader) { post(req, res, reader); });
    server_->set_pre_routing_handler([](const httplib::Request &req, httplib::Response &) {
        // The request object is the server's own, non-const one; only the header is touched.
        auto &headers = const_cast<httplib::Request &>(req).headers;
        auto [from, to] = headers.equal_range("Content-Type");
        for (auto it = from; it != to; ++it)
            if (it->second.rfind("multipart/form-data", 0) == 0)
                it->second = std::string(kHiddenMultipart) + it->second;
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server_->set_exception_handler(
        [](const httplib::Request &, httplib::Response &res, std::exception_ptr ep) {
            std::string what = "error";
            try {
                std::rethrow_exception(ep);
            } catch (const std::exception &e) {
                what = e.what();
            } catch (...) {
            }
            std::fprintf(stderr, "tovela-service: %s\n", what.c_str());
            res.status = 500;
            res.set_content("ERROR", "text/plain");
        });
}

Service::~Service()
{
    stop();
}

int Service::bind(const std::string &host, int port)
{
    if (port == 0)
        return server_->bind_to_any_port(host);
    return server_->bind_to_port(host, port) ? port : -1;
}

bool Service::listen()
{
    return server_->listen_after_bind();
}

void Service::stop()
{
    if (hooks_)
        hooks_->shutdown();
    server_->stop();
}

namespace
{

RecordedRequest recordOf(const httplib::Request &req)
{
    RecordedRequest r;
    r.method = req.method;
    r.path = req.path;
    r.queryRaw = rawQueryOf(req.target);
    for (const auto &[name, value] : req.headers) {
        // The server adds the socket's addresses as headers of its own.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
            name == "LOCAL_PORT")
            continue;
        bool hidden = name == "Content-Type" && value.rfind(kHiddenMultipart, 0) == 0;
        r.headers.emplace_back(name, hidden ? value.substr(kHiddenMultipart.size()) : value);
    }
    return r;
}

bool isHookPath(const std::string &path)
{
    return path.rfind("/__test/", 0) == 0;
}

} // namespace

void Service::get(const httplib::Request &req, httplib::Response &res)
{
    if (isHookPath(req.path)) {
        testHook(req, res, std::string());
        return;
    }
    if (hooks_) {
        hooks_->record(recordOf(req));
        if (auto canned = hooks_->take(req.path)) {
            if (!canned->pass) {
                answerCanned(*canned, res);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(canned->delayMs));
        }
    }
    std::string sid;
    const std::string &path = req.path;
    if (scriptSession(path, "/wis/wi_login.php", sid))
        login(req, res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_logout.php", sid))
        logout(res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_folder.php", sid))
        folder(req, res, requestSession(sid, req));
    else if (scriptSession(path, "/wis/wi_image.php", sid))
        image(req, res, requestSession(sid, req), false);
    else if (path == "/wis/order_image.php")
        image(req, res, Query::parse(rawQueryOf(req.target)).value("sid"), true);
    else if (path == "/wis/order.php")
        orderPageGet(req, res);
    else if (path == "/order_help.php")
        res.set_content(helpPage(), kHtmlType);
    else if (path == "/download.php")
        res.set_content(downloadPage(), kHtmlType);
    else if (path == "/" || path == "/index.php")
        res.set_content(indexPage(), kHtmlType);
    else
        text(res, "NG", 404);
}

void Service::post(const httplib::Request &req, httplib::Response &res,
                   const httplib::ContentReader &reader)
{
    // A POST without a length or chunks has no body, and the reader would count it as cut off.
    bool hasBody = req.has_header("Content-Length") || req.has_header("Transfer-Encoding");
    auto read = [&](const httplib::ContentReceiver &receiver) {
        return !hasBody || reader(receiver);
    };
    if (isHookPath(req.path)) {
        std::string body;
        bool complete = read([&body](const char *data, size_t size) {
            body.append(data, size);
            return body.size() <= kMaxHookBody;
        });
        if (!complete) {
            text(res, "body too large or cut off", 400);
            return;
        }
        testHook(req, res, body);
        return;
    }

    RecordedRequest record = recordOf(req);
    std::optional<CannedReply> canned;
    if (hooks_)
        canned = hooks_->take(req.path);
    // A passing reply only paces the request (a slow line); the real logic answers it.
    std::optional<CannedReply> pacing;
    if (canned && canned->pass)
        pacing = std::exchange(canned, std::nullopt);
    const int readRate = canned ? canned->readRate : pacing ? pacing->readRate : 0;
    const auto readStart = std::chrono::steady_clock::now();

    std::string pathSid;
    bool isUpload = scriptSession(req.path, "/wis/wi_upload.php", pathSid);
    std::optional<Session> session;
    std::unique_ptr<Upload> upload;
    std::string form;
    if (!canned && isUpload) {
        session = store_.session(requestSession(pathSid, req));
        bool overLimit = session && session->accountId == 0 &&
                         store_.orderCount(session->number) >= options_.orderLimit;
        // Refused requests are still read to the end, so that the client gets the answer
        // instead of a reset connection.
        if (session && !overLimit)
            upload = startUpload(store_, req);
    }
    // A canned reset stops reading half-way, leaving the rest of the body unread: closing the
    // connection then resets it under the sending client.
    size_t stopAt = std::numeric_limits<size_t>::max();
    if (canned && canned->resetMid)
        stopAt = req.get_header_value<uint64_t>("Content-Length") / 2;
    bool complete = read([&](const char *data, size_t size) {
        if (record.bodySize >= stopAt)
            return false;
        if (readRate > 0)
            std::this_thread::sleep_until(
                readStart + std::chrono::microseconds(record.bodySize * 1000000 / readRate));
        if (hooks_ && record.body.size() < kMaxRecordedBody)
            record.body.append(data, std::min(size, kMaxRecordedBody - record.body.size()));
        record.bodySize += size;
        if (upload)
            return upload->feed(data, size);
        if (!canned && !isUpload && form.size() < kMaxFormBody)
            form.append(data, std::min(size, kMaxFormBody - form.size()));
        return true;
    });
    if (hooks_)
        hooks_->record(std::move(record));
    if (pacing)
        std::this_thread::sleep_for(std::chrono::milliseconds(pacing->delayMs));
    if (canned) {
        answerCanned(*canned, res);
        return;
    }
    if (!complete) {
        text(res, "NG", 400); // the client is gone; any pending file is removed with upload
        return;
    }
    if (!isUpload) {
        if (req.path == "/wis/order.php")
            orderPagePost(res, form);
        else
            text(res, "NG", 404);
        return;
    }
    if (!session) {
        text(res, "NG");
        return;
    }
    if (!upload) {
        text(res, "OVER");
        return;
    }
    if (upload->writeFailed) {
        text(res, "NG", 500);
        return;
    }
    if (upload->broken || !upload->parser->finished() || !upload->haveFile ||
        upload->mode != "upload") {
        text(res, "NG");
        return;
    }
    std::string name = pictureNameFromUpload(upload->filename);
    if (session->accountId != 0) {
        store_.commitAlbumPicture(session->accountId, 0, name, *upload->file);
    } else if (!store_.commitOrderPicture(session->number, name, *upload->file,
                                          options_.orderLimit)) {
        text(res, "OVER");
        return;
    }
    setSessionCookie(res, session->sid);
    text(res, "OK");
}

void Service::answerCanned(const CannedReply &reply, httplib::Response &res)
{
    if (reply.stall)
        hooks_->stall();
    if (reply.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
    res.status = reply.status;
    for (const auto &[name, value] : reply.headers)
        res.headers.emplace(name, value);
    if (reply.resetMid) {
        res.set_content_provider(reply.body.size() + 1, reply.contentType,
                                 [](size_t, size_t, httplib::DataSink &) { return false; });
        return;
    }
    if (!reply.closeMid) {
        res.set_content(reply.body, reply.contentType.c_str());
        return;
    }
    // Announce the whole body, send half of it, then drop the connection.
    auto body = std::make_shared<std::string>(reply.body);
    res.set_content_provider(body->size() + 1, reply.contentType,
                             [body](size_t offset, size_t, httplib::DataSink &sink) {
                                 size_t half = body->size() / 2;
                                 if (offset < half)
                                     sink.write(body->data() + offset, half - offset);
                                 return false;
                             });
}

void Service::testHook(const httplib::Request &req, httplib::Response &res, const std::string &body)
{
    if (!hooks_) {
        text(res, "NG", 404);
        return;
    }
    // Form fields come url-encoded or as multipart (the latter for large or binary bodies).
    Query form = Query::parse(rawQueryOf(req.target));
    if (auto boundary = MultipartReader::boundaryOf(contentTypeOf(req))) {
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
        MultipartReader parser(*boundary, cb);
        if (!parser.feed(body.data(), body.size()) || !parser.finished()) {
            text(res, "malformed multipart body", 400);
            return;
        }
    } else {
        Query fields = Query::parse(body);
        for (const auto &[n, v] : fields.items())
            form.add(n, v);
    }

    const std::string &path = req.path;
    if (req.method == "POST" && path == "/__test/reply") {
        CannedReply reply;
        std::string error;
        if (!CannedReply::fromForm(form, reply, error)) {
            res.status = 400;
            res.set_content(error, "text/plain");
            return;
        }
        hooks_->addReply(std::move(reply));
        res.set_content("OK", "text/plain");
    } else if (req.method == "POST" && path == "/__test/reset") {
        hooks_->reset();
        res.set_content("OK", "text/plain");
    } else if (req.method == "GET" && path == "/__test/requests") {
        res.set_content(hooks_->requestsJson(), "application/x-ndjson");
    } else if (req.method == "POST" && path == "/__test/account") {
        std::string email = form.value("email");
        if (email.empty()) {
            res.status = 400;
            res.set_content("email must be given", "text/plain");
            return;
        }
        int id = store_.addAccount(email, form.value("password"), form.value("name", email));
        res.set_content(std::to_string(id), "text/plain");
    } else if (req.method == "GET" && path == "/__test/uploads") {
        std::string out;
        for (const Picture &p : store_.allPictures())
            out += "{\"id\":" + std::to_string(p.id) + ",\"owner\":\"" +
                   (p.owner == PictureOwner::Album ? "album" : "order") +
                   "\",\"owner_id\":" + std::to_string(p.ownerId) +
                   ",\"folder\":" + std::to_string(p.folderId) + ",\"name\":" + jsonText(p.name) +
                   ",\"size\":" + std::to_string(p.bytes) +
                   ",\"file\":" + jsonText(store_.picturePath(p.id).string()) + "}\n";
        res.set_content(out, "application/x-ndjson");
    } else {
        text(res, "NG", 404);
    }
}

void Service::login(const httplib::Request &req, httplib::Response &res, const std::string &sid)
{
    Query q = Query::parse(rawQueryOf(req.target));
    std::string mode = q.value("mode");
    if (mode == "cookie_get") {
        std::string fresh = store_.newSession();
        setSessionCookie(res, fresh);
        text(res, fresh);
        return;
    }
    std::optional<Session> session = store_.session(sid);
    if (mode == "get_name") {
        std::optional<Account> account;
        if (session && session->accountId)
            account = store_.account(session->accountId);
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
        session = store_.session(store_.newSession());
    setSessionCookie(res, session->sid);
    std::string email = q.value("email");
    std::string password = q.value("passwd");
    bool ok;
    if (email.empty() && password.empty())
        ok = session->accountId != 0; // resuming a saved session
    else
        ok = store_.login(session->sid, email, password);
    text(res, ok ? "OK" : "NG");
}

void Service::logout(httplib::Response &res, const std::string &sid)
{
    std::optional<Session> session = store_.session(sid);
    if (!session) {
        text(res, "NG");
        return;
    }
    store_.logout(sid);
    setSessionCookie(res, session->sid);
    text(res, "OK");
}

void Service::folder(const httplib::Request &req, httplib::Response &res, const std::string &sid)
{
    std::optional<Session> session = store_.session(sid);
    if (!session || session->accountId == 0) {
        text(res, "NG");
        return;
    }
    setSessionCookie(res, session->sid);
    Query q = Query::parse(rawQueryOf(req.target));
    std::string mode = q.value("mode");
    std::vector<std::string> lines;
    if (mode == "list") {
        std::vector<FolderListEntry> list = store_.folderList(session->accountId);
        lines.push_back(lineRecord({"OK", std::to_string(list.size())}));
        for (const FolderListEntry &f : list)
            lines.push_back(
                lineRecord({std::to_string(f.id), std::to_string(f.parentPosition), f.name}));
    } else if (mode == "img") {
        int id = 0;
        if (parseId(q.value("id"), id) && store_.folder(session->accountId, id))
            for (const Picture &p : store_.albumPictures(session->accountId, id))
                lines.push_back(lineRecord({"1", std::to_string(p.id), p.name}));
    } else {
        text(res, "NG");
        return;
    }
    text(res, joinLines(lines));
}

void Service::image(const httplib::Request &req, httplib::Response &res, const std::string &sid,
                    bool orderOnly)
{
    std::optional<Session> session = store_.session(sid);
    if (!session) {
        text(res, "NG", 403);
        return;
    }
    Query q = Query::parse(rawQueryOf(req.target));
    int id = 0;
    std::optional<Picture> p;
    if (parseId(q.value("id"), id))
        p = store_.picture(id);
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
        res.set_content(thumbnailJpeg(store_.picturePath(p->id), store_.thumbnailPath(p->id)),
                        "image/jpeg");
    } else if (mode == "big") {
        sendFile(res, store_.picturePath(p->id), mimeTypeOf(p->name));
    } else {
        text(res, "NG", 400);
    }
}

void Service::orderPageGet(const httplib::Request &req, httplib::Response &res)
{
    Query q = Query::parse(rawQueryOf(req.target));
    std::optional<Session> session = store_.session(q.value("sid"));
    std::vector<Picture> order;
    std::string member;
    if (session) {
        order = store_.orderPictures(session->number);
        member = memberSection(store_, *session);
    }
    std::string note = q.value("saved") == "1" ? "注文内容を保存しました。" : memberNote(q);
    res.set_content(orderPage(session, order, note, member), kOrderPageType);
}

void Service::orderPagePost(httplib::Response &res, const std::string &body)
{
    Query form = Query::parse(body);
    std::optional<Session> session = store_.session(form.value("sid"));
    const std::string mode = form.value("mode");
    if (session && (mode == "login" || mode == "logout")) {
        MemberFormResult member = memberFormPost(store_, *session, form);
        if (member.done) {
            res.set_redirect(member.location, 303);
            return;
        }
        res.set_content(orderPage(session, store_.orderPictures(session->number), member.note,
                                  memberSection(store_, *session, member.email)),
                        kOrderPageType);
        return;
    }
    if (!session || mode != "update") {
        res.status = 400;
        res.set_content(orderPage(session, {}, ""), kOrderPageType);
        return;
    }
    std::vector<Picture> order = store_.orderPictures(session->number);
    bool allValid = true;
    for (const Picture &p : order) {
        std::string id = std::to_string(p.id);
        if (!form.has("size_" + id) && !form.has("qty_" + id))
            continue;
        int qty = 0;
        if (!parseId(form.value("qty_" + id), qty) ||
            !store_.setOrderItem(session->number, p.id, form.value("size_" + id, p.printSize), qty))
            allValid = false;
    }
    if (!allValid) {
        res.set_content(orderPage(session, store_.orderPictures(session->number),
                                  "枚数は1から99まで、サイズは一覧から選んでください。",
                                  memberSection(store_, *session)),
                        kOrderPageType);
        return;
    }
    res.set_redirect("/wis/order.php?mode=select&sid=" + session->sid + "&saved=1", 303);
}

} // namespace service
