#include "service/endpoints/Upload.h"

#include "service/router/Reply.h"
#include "service/router/RequestSession.h"
#include "service/wire/Multipart.h"

#include <httplib.h>

#include <algorithm>

namespace service
{

// The body as it streams in: the parts it has seen, and the pending file of "file1".
struct UploadRequest::Stream {
    std::unique_ptr<MultipartReader> parser;
    std::unique_ptr<PendingFile> file;
    std::string mode;
    std::string filename;
    enum class Part { None, Mode, File, Other } part = Part::None;
    bool haveFile = false;
    bool broken = false;
    bool writeFailed = false;

    MultipartReader::Callbacks callbacks(Store &store);
};

MultipartReader::Callbacks UploadRequest::Stream::callbacks(Store &store)
{
    MultipartReader::Callbacks cb;
    cb.begin = [this, s = &store](const PartHeader &h) {
        if (h.name == "file1" && h.hasFilename && !haveFile) {
            file = s->beginUpload();
            filename = h.filename;
            part = Part::File;
        } else if (h.name == "mode") {
            mode.clear();
            part = Part::Mode;
        } else {
            part = Part::Other;
        }
        return true;
    };
    cb.data = [this](const char *data, size_t size) {
        if (part == Part::File) {
            if (!file->write(data, size))
                writeFailed = true;
        } else if (part == Part::Mode && mode.size() < 64) {
            mode.append(data, std::min(size, size_t(64)));
        }
        return true;
    };
    cb.end = [this]() {
        if (part == Part::File) {
            if (!file->close())
                writeFailed = true;
            haveFile = true;
        }
        part = Part::None;
        return true;
    };
    return cb;
}

UploadRequest::UploadRequest(Store &store, const std::string &sid, const std::string &contentType,
                             size_t orderLimit)
    : store_(store), orderLimit_(orderLimit), session_(store.session(sid))
{
    bool overLimit =
        session_ && session_->accountId == 0 && store_.orderCount(session_->number) >= orderLimit_;
    if (!session_ || overLimit)
        return;
    stream_ = std::make_unique<Stream>();
    auto boundary = MultipartReader::boundaryOf(contentType);
    if (!boundary) {
        stream_->broken = true;
        boundary = "-";
    }
    stream_->parser = std::make_unique<MultipartReader>(*boundary, stream_->callbacks(store_));
}

UploadRequest::~UploadRequest() = default;

bool UploadRequest::feed(const char *data, size_t size)
{
    if (stream_ && !stream_->broken && !stream_->parser->feed(data, size))
        stream_->broken = true;
    return true;
}

void UploadRequest::answer(httplib::Response &res)
{
    if (!session_) {
        text(res, "NG");
        return;
    }
    if (!stream_) {
        text(res, "OVER");
        return;
    }
    if (stream_->writeFailed) {
        text(res, "NG", 500);
        return;
    }
    if (stream_->broken || !stream_->parser->finished() || !stream_->haveFile ||
        stream_->mode != "upload") {
        text(res, "NG");
        return;
    }
    std::string name = pictureNameFromUpload(stream_->filename);
    if (session_->accountId != 0) {
        store_.commitAlbumPicture(session_->accountId, 0, name, *stream_->file);
    } else if (!store_.commitOrderPicture(session_->number, name, *stream_->file, orderLimit_)) {
        text(res, "OVER");
        return;
    }
    setSessionCookie(res, session_->sid);
    text(res, "OK");
}

} // namespace service
