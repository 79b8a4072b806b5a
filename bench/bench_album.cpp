// Listing an album folder of 1,000 pictures against the stand-in service: with a cold cache
// (every thumbnail downloaded) and a warm one (only the list request), beside the time of the
// same number of bare GET requests made with libcurl on one handle and the time of decoding the
// 1,000 cached thumbnails, in the same run. The cold listing's target: at most 1.5 x (bare GETs
// on a kept connection + decoding). Beside them, also in the same run, the time of creating
// 1,000 files of the thumbnail's size the way the cache does (a temporary file renamed into
// place) in a new folder beside the cache folder: the cold listing must create them too, and
// what that costs depends on the file system, not on the program. And the same GETs with each
// reply decoded before the next request, which is the strictly serial road a listing takes.
#include "app/Program.h"
#include "app/Unit1.h"
#include "bench/bench_service.h"
#include "platform/base/Application.h"
#include "platform/base/Timer.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/Picture.h"
#include "platform/system/ReplacingFile.h"
#include "platform/widgets/TabSet.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <curl/curl.h>

namespace
{
constexpr int Pictures = 1000;
constexpr int Rounds = 5;

size_t discard(char *, size_t size, size_t n, void *)
{
    return size * n;
}

size_t collect(char *data, size_t size, size_t n, void *body)
{
    static_cast<QByteArray *>(body)->append(data, qsizetype(size * n));
    return size * n;
}

enum class BareGets {
    KeptConnection,
    NewConnectionEach,
    // On a kept connection, each reply decoded before the next request goes out, as a listing
    // must: what strictly serial requests with the decoding between them cost here.
    DecodingEach,
};

// One handle, like the client's.
double bareGets(const QString &url, BareGets how)
{
    CURL *curl = curl_easy_init();
    QByteArray body;
    const bool decodeEach = how == BareGets::DecodingEach;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, decodeEach ? collect : discard);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, how == BareGets::NewConnectionEach ? 1L : 0L);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Pictures; ++i) {
        const QByteArray one = (url + QString::number(1000 + i)).toUtf8();
        curl_easy_setopt(curl, CURLOPT_URL, one.constData());
        body.clear();
        if (curl_easy_perform(curl) != CURLE_OK) {
            std::fprintf(stderr, "bare GET failed\n");
            break;
        }
        if (decodeEach) {
            QBuffer buffer(&body);
            buffer.open(QIODevice::ReadOnly);
            TJPEGImage picture;
            picture.LoadFromStream(buffer);
        }
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    curl_easy_cleanup(curl);
    return ms;
}

// Decoding every thumbnail file of the cache folder as the listing does.
double decodeAll(const QString &cacheFolder)
{
    const QStringList files = QDir(cacheFolder).entryList({QStringLiteral("*.jpg")}, QDir::Files);
    QElapsedTimer clock;
    clock.start();
    for (const QString &f : files) {
        TPicture picture;
        picture.LoadFromFile(cacheFolder + QStringLiteral("/") + f);
    }
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (files.size() != Pictures)
        std::fprintf(stderr, "decoded %lld files\n", static_cast<long long>(files.size()));
    return ms;
}

// Creating one file per thumbnail in a new folder of its own, as the download does: the
// files stay until the run ends, so that no deletion of ours weighs on the next round.
double createFiles(const QString &folder, const QByteArray &content)
{
    QDir().mkpath(folder);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < Pictures; ++i) {
        ReplacingFile file(folder + QStringLiteral("/") + QString::number(1000 + i) +
                           QStringLiteral(".jpg"));
        if (!file.open() || !file.write(content.constData(), content.size()) || !file.commit()) {
            std::fprintf(stderr, "creating a file failed: %s\n", qPrintable(file.errorString()));
            break;
        }
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    TBenchRun run(argc, argv);
    if (!run.Form)
        return 1;
    TForm1 *form = run.Form;
    ServiceProcess &service = run.Service();
    const TBenchAlbum album = OpenBenchAlbum(*form, service);
    const QString &folderPath = album.FolderPath, &imagePath = album.ImagePath;
    QTreeWidgetItem *folder = album.Folder;

    const QByteArray list = BenchPictureList(Pictures);
    const QByteArray jpeg = BenchThumbnailJpeg();
    auto listOnce = [&](int &requests) {
        service.reset();
        service.cannedReply(folderPath, list);
        CannedReply thumbs;
        thumbs.path = imagePath;
        thumbs.body = jpeg;
        thumbs.count = 0;
        thumbs.contentType = "image/jpeg";
        service.cannedReply(thumbs);
        form->AlbumTreeView->clearSelection();
        form->AlbumTreeView->setCurrentItem(folder);
        QElapsedTimer clock;
        clock.start();
        for (int tick = 0; tick < 5 && form->StopTimer->Enabled(); ++tick)
            form->StopTimerAlbumBranch();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        requests = static_cast<int>(service.requests().size());
        if (form->PictureTable.size() != size_t(Pictures))
            std::fprintf(stderr, "listed %zu pictures\n", form->PictureTable.size());
        return ms;
    };

    std::printf("album listing of %d pictures (thumbnail %lld bytes), %d rounds\n", Pictures,
                static_cast<long long>(jpeg.size()), Rounds);
    std::vector<double> cold, warm, bare, fresh, decode, files, serial;
    const QString cacheBase = form->CacheFolder;
    std::printf("cache folders beside %s\n", qPrintable(cacheBase));
    for (int round = 0; round < Rounds; ++round) {
        // A new, empty cache folder each round instead of emptying the old one: on a file
        // system without a journal, ext4 passes over inodes freed in the last minutes when it
        // allocates, so deleting 1,000 files would make the next 1,000 creations pay for it.
        form->CacheFolder = cacheBase + QStringLiteral(".round%1").arg(round);
        QDir().mkpath(form->CacheFolder);
        int coldRequests = 0, warmRequests = 0;
        cold.push_back(listOnce(coldRequests));
        files.push_back(
            createFiles(form->CacheFolder + QStringLiteral(".files%1").arg(round), jpeg));
        warm.push_back(listOnce(warmRequests));
        decode.push_back(decodeAll(form->CacheFolder));
        const QString thumbUrl = service.baseUrl() + imagePath + "?mode=small&id=";
        bare.push_back(bareGets(thumbUrl, BareGets::KeptConnection));
        fresh.push_back(bareGets(thumbUrl, BareGets::NewConnectionEach));
        serial.push_back(bareGets(thumbUrl, BareGets::DecodingEach));
        std::printf("round %d: cold %.1f ms (%d requests), warm %.1f ms (%d requests), "
                    "%d bare curl GETs %.1f ms (kept connection), %.1f ms (new connection each), "
                    "decoding %.1f ms, creating the files %.1f ms, GETs decoding each reply "
                    "%.1f ms\n",
                    round + 1, cold.back(), coldRequests, warm.back(), warmRequests, Pictures,
                    bare.back(), fresh.back(), decode.back(), files.back(), serial.back());
    }
    auto best = [](const std::vector<double> &v) { return *std::min_element(v.begin(), v.end()); };
    for (const auto &[label, pick] :
         {std::pair<const char *, double (*)(std::vector<double>)>{"best", nullptr},
          {"median", Median}}) {
        auto of = [&](const std::vector<double> &v) { return pick ? pick(v) : best(v); };
        std::printf("%s: cold %.1f ms (%.2f ms/picture), warm %.1f ms, bare GETs %.1f ms (kept "
                    "connection), %.1f ms (new connection each), decoding %.1f ms, creating the "
                    "files %.1f ms\n",
                    label, of(cold), of(cold) / Pictures, of(warm), of(bare), of(fresh), of(decode),
                    of(files));
        std::printf("%s: cold / (bare GETs + decoding) = %.2f (target at most 1.5); the cold "
                    "listing beyond bare GETs + decoding + creating the files: %.1f ms\n",
                    label, of(cold) / (of(bare) + of(decode)),
                    of(cold) - of(bare) - of(decode) - of(files));
        std::printf("%s: GETs decoding each reply before the next %.1f ms; cold / that = %.2f\n",
                    label, of(serial), of(cold) / of(serial));
    }
    return 0;
}
