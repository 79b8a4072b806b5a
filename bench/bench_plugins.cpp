// The shipped plug-ins against their libraries: a 12-megapixel PNG, HEIC and one-strip LZW TIFF,
// each decoded through the plug-in's GetPicture (file name, flag 0) and straight by the same
// library to RGB in the same run. Prints the median times and the plug-in path's ratio (goal: at
// most 1.15). The same PNG with an eXIf orientation of 6 and the TIFF with an Orientation tag of
// 6 show what turning the picture upright costs over the plug-in's decode (goal: at most 10%).
// Usage: bench_plugins [rounds]   (run from anywhere; the plug-ins come from the build tree)
#include "spi.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <fstream>
#include <libheif/heif.h>
#include <png.h>
#include <string>
#include <tiffio.h>
#include <vector>

namespace
{

constexpr int Width = 4000, Height = 3000;

// Smooth colour fields with fine noise: compresses like a photograph, not like a flat test card.
std::vector<uint8_t> photoLike()
{
    std::vector<uint8_t> rgb(size_t(Width) * Height * 3);
    uint32_t seed = 12345;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int noise = int(seed >> 28) - 8;
            uint8_t *p = &rgb[(size_t(y) * Width + x) * 3];
            p[0] =
                uint8_t(std::clamp(128 + (x * 97 / Width) + ((x ^ y) >> 6 & 31) + noise, 0, 255));
            p[1] = uint8_t(std::clamp(60 + y * 150 / Height + noise, 0, 255));
            p[2] = uint8_t(std::clamp(200 - (x + y) * 120 / (Width + Height) + noise, 0, 255));
        }
    return rgb;
}

// A big-endian EXIF block (TIFF header and one directory) holding only an orientation.
std::vector<uint8_t> exifWithOrientation(uint8_t orientation)
{
    return {'M', 'M', 0, 42, 0, 0, 0,           8, 0, 1, 0x01, 0x12, 0,
            3,   0,   0, 0,  1, 0, orientation, 0, 0, 0, 0,    0,    0};
}

void writePng(const std::string &path, const std::vector<uint8_t> &rgb, uint8_t orientation = 0)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!file || !png || !info || setjmp(png_jmpbuf(png))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, Width, Height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<uint8_t> exif = exifWithOrientation(orientation);
    if (orientation)
        png_set_eXIf_1(png, info, png_uint_32(exif.size()), exif.data());
    png_write_info(png, info);
    for (int y = 0; y < Height; ++y)
        png_write_row(png, &rgb[size_t(y) * Width * 3]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void writeHeic(const std::string &path, const std::vector<uint8_t> &rgb)
{
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_image *image = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 80);
    heif_image_create(Width, Height, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, Width, Height, 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < Height; ++y)
        std::copy_n(&rgb[size_t(y) * Width * 3], Width * 3, plane + size_t(y) * stride);
    heif_error error = heif_context_encode_image(context, image, encoder, nullptr, nullptr);
    if (error.code == heif_error_Ok)
        error = heif_context_write_to_file(context, path.c_str());
    if (error.code != heif_error_Ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.message);
        std::exit(1);
    }
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
}

// LZW with the horizontal predictor, the whole picture in one strip, as some scanners and
// editors write it.
void writeTiff(const std::string &path, const std::vector<uint8_t> &rgb, uint16_t orientation)
{
    TIFF *tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(Width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(Height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(Height));
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, orientation);
    std::vector<uint8_t> row(size_t(Width) * 3);
    for (int y = 0; y < Height; ++y) {
        std::copy_n(&rgb[size_t(y) * Width * 3], Width * 3, row.data());
        if (TIFFWriteScanline(tiff, row.data(), uint32_t(y), 0) < 0)
            std::exit(1);
    }
    TIFFClose(tiff);
}

std::vector<uint8_t> readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    std::vector<uint8_t> bytes(size_t(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

struct Input {
    std::vector<uint8_t> bytes;
    size_t position = 0;
};

void readInput(png_structp png, png_bytep out, png_size_t count)
{
    auto *input = static_cast<Input *>(png_get_io_ptr(png));
    if (count > input->bytes.size() - input->position)
        png_error(png, "truncated");
    std::copy_n(input->bytes.data() + input->position, count, out);
    input->position += count;
}

// libpng straight to RGB rows: the file read whole, then decoded, as the plug-in does.
size_t directPng(const std::string &path)
{
    Input input{readFile(path)};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<uint8_t> rgb;
    if (setjmp(png_jmpbuf(png)))
        std::exit(1);
    png_set_read_fn(png, &input, readInput);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    uint32_t height = png_get_image_height(png, info);
    rgb.resize(rowBytes * height);
    for (uint32_t y = 0; y < height; ++y)
        png_read_row(png, &rgb[y * rowBytes], nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return rgb.size();
}

size_t directHeif(const std::string &path)
{
    heif_context *context = heif_context_alloc();
    heif_image_handle *handle = nullptr;
    heif_image *image = nullptr;
    heif_context_read_from_file(context, path.c_str(), nullptr);
    heif_context_get_primary_image_handle(context, &handle);
    heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
    int stride = 0;
    heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    size_t bytes = size_t(stride) * heif_image_get_height(image, heif_channel_interleaved);
    heif_image_release(image);
    heif_image_handle_release(handle);
    heif_context_free(context);
    return bytes;
}

// libtiff's scanlines straight into RGB rows: each strip decoded once, from the file.
size_t directTiff(const std::string &path)
{
    TIFF *tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        std::exit(1);
    tmsize_t line = TIFFScanlineSize(tiff);
    std::vector<uint8_t> rgb(size_t(line) * Height);
    for (uint32_t y = 0; y < uint32_t(Height); ++y)
        if (TIFFReadScanline(tiff, &rgb[y * size_t(line)], y, 0) < 0)
            std::exit(1);
    TIFFClose(tiff);
    return rgb.size();
}

size_t throughPlugin(GetPictureProc getPicture, const std::string &path)
{
    HLOCAL info = nullptr, bits = nullptr;
    if (getPicture(path.c_str(), 0, SPI_SOURCE_FILE, &info, &bits, nullptr, 0) != SPI_SUCCESS) {
        std::fprintf(stderr, "plug-in failed on %s\n", path.c_str());
        std::exit(1);
    }
    size_t bytes = LocalSize(bits);
    LocalFree(info);
    LocalFree(bits);
    return bytes;
}

// Wall time and the process's CPU time (all threads) of one run, in milliseconds. On a shared
// machine the CPU time is the steadier figure.
struct Times {
    double wall, cpu;
};

template <class Run> Times timeOnce(Run run)
{
    std::clock_t cpuStart = std::clock();
    auto start = std::chrono::steady_clock::now();
    run();
    double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {wall, double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Series {
    std::vector<double> wall, cpu;
    void add(Times t)
    {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
};

void print(const char *what, const Series &direct, const Series &plugin)
{
    double dw = median(direct.wall), pw = median(plugin.wall);
    double dc = median(direct.cpu), pc = median(plugin.cpu);
    std::printf("%s wall: direct %8.1f ms, plug-in %8.1f ms, ratio %.3f | cpu: direct %8.1f ms, "
                "plug-in %8.1f ms, ratio %.3f\n",
                what, dw, pw, pw / dw, dc, pc, pc / dc);
}

void printTurning(const char *what, const Series &upright, const Series &turned)
{
    double uc = median(upright.cpu), tc = median(turned.cpu);
    std::printf("%s cpu: upright %8.1f ms, turned %8.1f ms, turning %6.1f ms = %5.1f%% of the "
                "decode (wall %8.1f / %8.1f ms)\n",
                what, uc, tc, tc - uc, (tc - uc) * 100.0 / uc, median(upright.wall),
                median(turned.wall));
}

GetPictureProc openPlugin(const char *name)
{
    std::string path = std::string(TOVELA_SHIPPED_PLUGIN_DIR) + "/" + name + ".spi";
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); // kept until the program ends
    if (!handle) {
        std::fprintf(stderr, "%s\n", dlerror());
        std::exit(1);
    }
    return reinterpret_cast<GetPictureProc>(dlsym(handle, "GetPicture"));
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::string folder = "/tmp/tovela-bench-plugins";
    std::system(("mkdir -p " + folder).c_str());
    std::string pngPath = folder + "/photo12mp.png", heicPath = folder + "/photo12mp.heic";
    std::string turnedPngPath = folder + "/photo12mp-turned.png";
    std::string tiffPath = folder + "/photo12mp-strip.tif";
    std::string turnedTiffPath = folder + "/photo12mp-strip-turned.tif";
    std::vector<uint8_t> rgb = photoLike();
    writePng(pngPath, rgb);
    writePng(turnedPngPath, rgb, 6);
    writeTiff(tiffPath, rgb, ORIENTATION_TOPLEFT);
    writeTiff(turnedTiffPath, rgb, ORIENTATION_RIGHTTOP);
    // The same picture every run: an HEIC left by an earlier run is taken as it is.
    if (readFile(heicPath).empty()) {
        std::printf("making the HEIC (x265), this takes a while...\n");
        std::fflush(stdout);
        writeHeic(heicPath, rgb);
    }
    std::printf("%d x %d: PNG %zu bytes, HEIC %zu bytes, TIFF (LZW, one strip) %zu bytes; median "
                "of %d rounds\n",
                Width, Height, readFile(pngPath).size(), readFile(heicPath).size(),
                readFile(tiffPath).size(), rounds);

    GetPictureProc png = openPlugin("ifpng"), heif = openPlugin("ifheif");
    GetPictureProc tiff = openPlugin("iftiff");
    // Alternate direct and plug-in rounds so that the machine's load hits both alike.
    Series pngDirect, pngPlugin, heifDirect, heifPlugin, pngTurned;
    Series tiffDirect, tiffPlugin, tiffTurned;
    for (int i = 0; i < rounds; ++i) {
        pngDirect.add(timeOnce([&] { directPng(pngPath); }));
        pngPlugin.add(timeOnce([&] { throughPlugin(png, pngPath); }));
        pngTurned.add(timeOnce([&] { throughPlugin(png, turnedPngPath); }));
        heifDirect.add(timeOnce([&] { directHeif(heicPath); }));
        heifPlugin.add(timeOnce([&] { throughPlugin(heif, heicPath); }));
        tiffDirect.add(timeOnce([&] { directTiff(tiffPath); }));
        tiffPlugin.add(timeOnce([&] { throughPlugin(tiff, tiffPath); }));
        tiffTurned.add(timeOnce([&] { throughPlugin(tiff, turnedTiffPath); }));
    }
    print("PNG  (libpng) ", pngDirect, pngPlugin);
    print("HEIC (libheif)", heifDirect, heifPlugin);
    print("TIFF (libtiff)", tiffDirect, tiffPlugin);
    printTurning("PNG  turned 6", pngPlugin, pngTurned);
    printTurning("TIFF turned 6", tiffPlugin, tiffTurned);
    return 0;
}
