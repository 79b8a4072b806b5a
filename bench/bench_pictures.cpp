#include "bench_pictures.h"

#include <QFile>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>
#include <libexif/exif-data.h>

namespace
{
// An EXIF block ("Exif\0\0" and its TIFF structure) holding the orientation, made by libexif.
void writeOrientation(jpeg_compress_struct *cinfo, int orientation)
{
    ExifData *exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry *entry = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, EXIF_BYTE_ORDER_INTEL, ExifShort(orientation));
    exif_entry_unref(entry);
    unsigned char *block = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &block, &size);
    jpeg_write_marker(cinfo, JPEG_APP0 + 1, block, size);
    std::free(block);
    exif_data_unref(exif);
}
} // namespace

void WriteBenchJpeg(const QString &path, int width, int height, int orientation)
{
    FILE *out = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!out) {
        std::perror("bench jpeg");
        std::exit(1);
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.write_JFIF_header = orientation ? FALSE : TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    if (orientation)
        writeOrientation(&cinfo, orientation);
    std::vector<JSAMPLE> row(size_t(width) * 3);
    unsigned seed = 1;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 16) & 15) - 8;
            row[3 * size_t(x) + 0] = JSAMPLE(std::clamp((x * 255) / width + noise, 0, 255));
            row[3 * size_t(x) + 1] = JSAMPLE(std::clamp((y * 255) / height - noise, 0, 255));
            row[3 * size_t(x) + 2] =
                JSAMPLE(std::clamp(((x / 40 + y / 40) % 2) * 160 + 40 + noise, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(out);
}

double MedianMs(int runs, const std::function<void()> &fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString DjpegProgram()
{
    const QString djpeg = QStringLiteral("/usr/bin/djpeg");
    if (QFile::exists(djpeg))
        return djpeg;
    std::fprintf(stderr, "djpeg is missing: install libjpeg-turbo-progs\n");
    return QString();
}

int RunProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1))
        return -1;
    const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (status != 0)
        std::fprintf(stderr, "%s\n", process.readAllStandardError().constData());
    return status;
}

double PeakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double CurrentRssMiB()
{
    long pages = 0, resident = 0;
    FILE *statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return -1;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = -1;
    std::fclose(statm);
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
