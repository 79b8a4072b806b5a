#include "service/store/DemoAlbum.h"

#include "service/store/Store.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace service
{

namespace
{

struct DemoPicture {
    const char *folder; // path of folder names below トップ, "" for the top
    const char *name;
    const char *format;
    int width;
    int height;
    QColor from;
    QColor to;
};

// Gradient sky, a sun and hills: cheap to make and plainly different from one another.
QByteArray makePicture(const DemoPicture &d)
{
    QImage image(d.width, d.height, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, d.height);
    sky.setColorAt(0, d.from);
    sky.setColorAt(1, d.to);
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 230, 120));
    int r = std::max(4, std::min(d.width, d.height) / 6);
    p.drawEllipse(QPoint(d.width * 3 / 4, d.height / 4), r, r);
    p.setBrush(d.to.darker(160));
    p.drawEllipse(QRect(-d.width / 4, d.height * 2 / 3, d.width, d.height));
    p.setBrush(d.from.darker(180));
    p.drawEllipse(QRect(d.width / 3, d.height * 3 / 4, d.width, d.height));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, d.format, 90);
    return bytes;
}

const DemoPicture kPictures[] = {
    {"", "ようこそ.jpg", "JPEG", 640, 480, QColor(120, 170, 230), QColor(240, 240, 255)},
    {"", "小さな写真.jpg", "JPEG", 120, 80, QColor(250, 180, 120), QColor(255, 240, 200)},
    {"旅行", "富士山.jpg", "JPEG", 1024, 768, QColor(90, 140, 220), QColor(230, 240, 250)},
    {"旅行", "海辺.png", "PNG", 800, 600, QColor(40, 120, 200), QColor(180, 230, 250)},
    {"旅行/京都", "金閣寺.jpg", "JPEG", 800, 600, QColor(200, 160, 60), QColor(250, 230, 170)},
    {"旅行/京都", "清水寺.jpg", "JPEG", 600, 800, QColor(200, 90, 70), QColor(250, 210, 190)},
    {"旅行/京都", "嵐山の竹林.bmp", "BMP", 320, 240, QColor(60, 140, 70), QColor(200, 240, 200)},
    {"旅行/北海道", "雪まつり.jpg", "JPEG", 640, 427, QColor(170, 190, 220), QColor(250, 250, 255)},
    {"家族", "誕生日.jpg", "JPEG", 640, 480, QColor(230, 120, 160), QColor(255, 220, 230)},
    {"家族", "運動会.png", "PNG", 100, 100, QColor(90, 180, 90), QColor(220, 250, 200)},
    {"家族/2007年", "お正月.jpg", "JPEG", 480, 640, QColor(200, 40, 40), QColor(255, 230, 200)},
    {"家族/2007年", "夏休み.bmp", "BMP", 200, 150, QColor(30, 160, 220), QColor(255, 250, 200)},
};

const char *const kFolders[] = {"旅行", "旅行/京都", "旅行/北海道", "家族", "家族/2007年", "花"};

} // namespace

int seedDemoAlbum(Store &store, int accountId)
{
    if (!store.albumEmpty(accountId))
        return 0;
    std::vector<std::pair<std::string, int>> ids{{"", 0}};
    auto idOf = [&ids](const std::string &path) {
        for (const auto &[p, id] : ids)
            if (p == path)
                return id;
        return 0;
    };
    for (const char *path : kFolders) {
        std::string full(path);
        size_t slash = full.rfind('/');
        std::string parent = slash == std::string::npos ? "" : full.substr(0, slash);
        std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
        ids.emplace_back(full, store.addFolder(accountId, idOf(parent), name));
    }
    int added = 0;
    for (const DemoPicture &d : kPictures) {
        QByteArray bytes = makePicture(d);
        auto file = store.beginUpload();
        if (!file->write(bytes.constData(), bytes.size()) || !file->close())
            throw EStoreError(QStringLiteral("cannot write a demo picture"));
        store.commitAlbumPicture(accountId, idOf(d.folder), d.name, *file);
        ++added;
    }
    return added;
}

} // namespace service
