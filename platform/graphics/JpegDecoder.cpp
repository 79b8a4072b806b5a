#include "platform/graphics/JpegDecoder.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/PictureOrientation.h"

#include <QIODevice>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t
#include <cstring>
#include <memory>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return. It leaves the
// library with longjmp back into the function that called it; that function holds no C++
// objects with destructors between setjmp and the libjpeg calls, so nothing is skipped.

namespace
{

constexpr int MaxScans = 1000; // a progressive file with more scans is hostile (CPU bomb)
constexpr size_t InputBufferSize = 64 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int warnings = 0;
    bool truncated = false;
    bool tooManyScans = false;
    char message[JMSG_LENGTH_MAX] = {};
};

struct SourceManager {
    jpeg_source_mgr pub;
    QIODevice *device = nullptr;
    bool startOfFile = true;
    JOCTET buffer[InputBufferSize];
};

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    SourceManager src;
    jpeg_progress_mgr progress;
    bool created = false;
};

extern "C" void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    if (err->tooManyScans)
        std::snprintf(err->message, sizeof err->message, "Too many scans in a progressive JPEG");
    else
        (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void emitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace messages
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    ++err->warnings;
    ++cinfo->err->num_warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->truncated = true;
}

extern "C" void outputMessage(j_common_ptr) {}

extern "C" void initSource(j_decompress_ptr) {}

extern "C" boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto *src = reinterpret_cast<SourceManager *>(cinfo->src);
    qint64 n = src->device->read(reinterpret_cast<char *>(src->buffer), InputBufferSize);
    if (n <= 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // End of data inside the picture: hand the decoder an end marker so it fills the rest.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = size_t(n);
    src->startOfFile = false;
    return TRUE;
}

extern "C" void skipInputData(j_decompress_ptr cinfo, long numBytes)
{
    auto *src = reinterpret_cast<SourceManager *>(cinfo->src);
    if (numBytes <= 0)
        return;
    while (numBytes > long(src->pub.bytes_in_buffer)) {
        numBytes -= long(src->pub.bytes_in_buffer);
        (void)fillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += size_t(numBytes);
    src->pub.bytes_in_buffer -= size_t(numBytes);
}

extern "C" void termSource(j_decompress_ptr) {}

extern "C" void progressMonitor(j_common_ptr cinfo)
{
    auto *dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->input_scan_number > MaxScans) {
        reinterpret_cast<ErrorManager *>(cinfo->err)->tooManyScans = true;
        (*cinfo->err->error_exit)(cinfo);
    }
}

// Phase 1: the headers. Returns false after a libjpeg error.
bool readHeader(Decoder *d, QIODevice *device)
{
    d->cinfo.err = jpeg_std_error(&d->err.pub);
    d->err.pub.error_exit = errorExit;
    d->err.pub.emit_message = emitMessage;
    d->err.pub.output_message = outputMessage;
    if (setjmp(d->err.jump))
        return false;
    d->created = true; // destroying a half-created decompressor is safe: it checks its parts
    jpeg_create_decompress(&d->cinfo);

    d->src.device = device;
    d->src.pub.init_source = initSource;
    d->src.pub.fill_input_buffer = fillInputBuffer;
    d->src.pub.skip_input_data = skipInputData;
    d->src.pub.resync_to_restart = jpeg_resync_to_restart;
    d->src.pub.term_source = termSource;
    d->src.pub.bytes_in_buffer = 0;
    d->src.pub.next_input_byte = nullptr;
    d->cinfo.src = &d->src.pub;

    d->progress.progress_monitor = progressMonitor;
    d->cinfo.progress = &d->progress;

    // APP1 markers are kept for their EXIF block (the orientation); the others are skipped.
    jpeg_save_markers(&d->cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&d->cinfo, TRUE);
    return true;
}

inline JSAMPLE scaleByK(unsigned value, unsigned k)
{
    // round(value * k / 255), the rounding libjpeg-turbo's own CMYK writer uses
    return JSAMPLE((value * k * 2 + 255) / 510);
}

// Phase 2: the pixels, straight into the rows of the image (BGRX bytes = QImage RGB32 on a
// little-endian machine), or through cmykRow for CMYK files. Returns false after an error.
bool readPixels(Decoder *d, uchar *bits, qsizetype bytesPerLine, JDIMENSION expectedWidth,
                JDIMENSION expectedHeight, JSAMPLE *cmykRow, bool adobeInverted)
{
    if (setjmp(d->err.jump))
        return false;
    jpeg_start_decompress(&d->cinfo);
    const JDIMENSION width = d->cinfo.output_width;
    if (width != expectedWidth || d->cinfo.output_height != expectedHeight ||
        d->cinfo.output_components != 4) {
        std::snprintf(d->err.message, sizeof d->err.message, "Unexpected JPEG output size");
        return false;
    }
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        uchar *row = bits + qsizetype(d->cinfo.output_scanline) * bytesPerLine;
        if (!cmykRow) {
            JSAMPROW rows[1] = {row};
            jpeg_read_scanlines(&d->cinfo, rows, 1);
            continue;
        }
        JSAMPROW rows[1] = {cmykRow};
        jpeg_read_scanlines(&d->cinfo, rows, 1);
        for (JDIMENSION x = 0; x < width; ++x) {
            unsigned c = cmykRow[4 * x], m = cmykRow[4 * x + 1], y = cmykRow[4 * x + 2],
                     k = cmykRow[4 * x + 3];
            if (!adobeInverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            row[4 * x + 0] = scaleByK(y, k); // blue
            row[4 * x + 1] = scaleByK(m, k); // green
            row[4 * x + 2] = scaleByK(c, k); // red
            row[4 * x + 3] = 0xFF;
        }
    }
    return true;
}

struct DecoderGuard {
    Decoder *d;
    ~DecoderGuard()
    {
        if (d->created)
            jpeg_destroy_decompress(&d->cinfo);
    }
};

// The orientation recorded in the first APP1 marker that holds an EXIF block.
int exifOrientation(const jpeg_decompress_struct &cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 &&
            std::memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

[[noreturn]] void fail(const Decoder &d)
{
    throw EJPEG(QString::fromLocal8Bit(d.err.message));
}

} // namespace

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the decoder writes BGRX rows for QImage RGB32");

TJpegDecodeResult DecodeJpeg(QIODevice &Source)
{
    auto d = std::make_unique<Decoder>();
    DecoderGuard guard{d.get()};
    if (!readHeader(d.get(), &Source))
        fail(*d);

    CheckPictureSize(d->cinfo.image_width, d->cinfo.image_height);
    const bool cmyk =
        d->cinfo.jpeg_color_space == JCS_CMYK || d->cinfo.jpeg_color_space == JCS_YCCK;
    d->cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    d->cinfo.scale_num = 1;
    d->cinfo.scale_denom = 1;

    QImage image(int(d->cinfo.image_width), int(d->cinfo.image_height), QImage::Format_RGB32);
    if (image.isNull())
        throw EJPEG(QStringLiteral("Out of memory for a %1 x %2 JPEG picture")
                        .arg(d->cinfo.image_width)
                        .arg(d->cinfo.image_height));
    std::vector<JSAMPLE> cmykRow(cmyk ? size_t(d->cinfo.image_width) * 4 : 0);

    if (!readPixels(d.get(), image.bits(), image.bytesPerLine(), JDIMENSION(image.width()),
                    JDIMENSION(image.height()), cmyk ? cmykRow.data() : nullptr,
                    d->cinfo.saw_Adobe_marker != 0))
        fail(*d);

    TJpegDecodeResult result;
    result.Orientation = exifOrientation(d->cinfo);
    result.Image = std::move(image);
    result.Warnings = d->err.warnings;
    result.Truncated = d->err.truncated;
    return result;
}
