// A 12-megapixel picture through the plug-in path (TSPIBitmap::LoadFromFile with the test
// plug-in) against the plug-in's own GetPicture call on the same file in the same run, and the
// share of TakeGraphic in the load (for this 24-bit picture the pixels converted straight into
// the bitmap, with no BMP file written and read back by the plain reader).
// The test plug-in's decode is a copy of the stored DIB, so the raw call measures reading the
// file and handing over the blocks: the ratio shows the host's whole overhead. Then the same
// share for a photo-like 12 MP PNG through the shipped PNG plug-in, a real decode.
#include "bench_pictures.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
void put32(QByteArray &b, uint32_t v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}

// A 24-bit bottom-up DIB of width x height in the test plug-in's file format.
QByteArray testPicture(int width, int height)
{
    const int rowBytes = (24 * width + 31) / 32 * 4;
    QByteArray info;
    put32(info, 40);
    put32(info, uint32_t(width));
    put32(info, uint32_t(height));
    put32(info, 1 | 24 << 16); // planes, bit count
    put32(info, BI_RGB);
    for (int i = 0; i < 5; ++i)
        put32(info, 0);
    QByteArray bits(qsizetype(rowBytes) * height, '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < rowBytes; ++x)
            bits[qsizetype(y) * rowBytes + x] = char((x * 7 + y * 3) & 0xFF);
    QByteArray file("TVSPIPIC");
    put32(file, 0);
    put32(file, 0);
    put32(file, uint32_t(info.size()));
    put32(file, uint32_t(bits.size()));
    return file + info + bits;
}
// TakeGraphic's median time for path, the decode before it left out of the timing.
double medianTakeMs(const QString &path, int runs)
{
    std::vector<double> takes;
    for (int i = 0; i < runs; ++i) {
        auto graphic = std::make_unique<TSPIGraphic>();
        graphic->LoadFromFile(path);
        TSPIBitmap bitmap;
        const auto started = std::chrono::steady_clock::now();
        bitmap.TakeGraphic(std::move(graphic));
        takes.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count());
    }
    std::sort(takes.begin(), takes.end());
    return takes[takes.size() / 2];
}

// TakeGraphic's median share of TSPIBitmap::LoadFromFile for path, with its decode left out.
void printTakeShare(const char *what, const QString &path, int runs)
{
    const double load = MedianMs(runs, [&] {
        TSPIBitmap bitmap;
        bitmap.LoadFromFile(path);
    });
    const double take = medianTakeMs(path, runs);
    std::printf("%s\n  TSPIBitmap::LoadFromFile        %8.2f ms\n", what, load);
    std::printf("  of which TakeGraphic            %8.2f ms  (%.0f %% of the load)\n", take,
                100 * take / load);
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int width = 4000, height = 3000, runs = 9;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tsp"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(testPicture(width, height)) < 0)
            return 1;
    }
    TSPIs spis;
    spis.Add(CreateSPI(QStringLiteral(TOVELA_TEST_PLUGIN)));
    auto *plugin = dynamic_cast<TInSPI *>(spis.Items(0));
    if (!plugin)
        return 1;
    const QByteArray name = QFile::encodeName(path);

    const double raw = MedianMs(runs, [&] {
        HLOCAL info = nullptr, bits = nullptr;
        if (plugin->GetPicture(name.constData(), 0, SPI_SOURCE_FILE, &info, &bits, nullptr, 0) != 0)
            std::abort();
        LocalFree(info);
        LocalFree(bits);
    });
    const double decode = MedianMs(runs, [&] {
        TSPIGraphic graphic;
        graphic.LoadFromFile(path);
    });
    const double load = MedianMs(runs, [&] {
        TSPIBitmap bitmap;
        bitmap.LoadFromFile(path);
        if (bitmap.Width() != width)
            std::abort();
    });
    const double take = medianTakeMs(path, runs);
    std::printf("12 MP 24-bit picture (%d x %d), median of %d runs\n", width, height, runs);
    std::printf("  plug-in GetPicture alone        %8.2f ms\n", raw);
    std::printf("  TSPIGraphic::LoadFromFile       %8.2f ms  (%.2f x GetPicture)\n", decode,
                decode / raw);
    std::printf("  TSPIBitmap::LoadFromFile        %8.2f ms  (%.2f x GetPicture)\n", load,
                load / raw);
    std::printf("  of which TakeGraphic            %8.2f ms  (%.0f %% of the load)\n", take,
                100 * take / load);

    // Smooth colour fields with fine noise, so that the PNG decodes like a photograph's.
    QImage photo(width, height, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int(seed >> 28);
            row[x] = qRgb((x / 16 + noise) & 0xFF, (y / 12 + noise) & 0xFF, ((x + y) / 28) & 0xFF);
        }
    }
    const QString png = dir.filePath(QStringLiteral("photo.png"));
    if (!photo.save(png, "PNG"))
        return 1;
    spis.Clear();
    spis.Add(CreateSPI(QStringLiteral(TOVELA_SHIPPED_PLUGIN_DIR "/ifpng.spi")));
    printTakeShare("12 MP photo-like PNG through the shipped PNG plug-in", png, runs);
    return 0;
}
