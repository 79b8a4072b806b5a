/*
 * The test plug-in: one source, built as several *.spi libraries by compile-time switches.
 *
 * It reads the "tovela test picture" format: the 8 bytes "TVSPIPIC", then four little-endian
 * 32-bit numbers (the result GetPicture gives, 0 for success; how many progress steps it
 * reports; the size of the BITMAPINFO block; the size of the pixel block), then the two
 * blocks, which it returns as they are. A test thus chooses every byte the host receives,
 * lying headers included.
 *
 * Switches:
 *   TESTSPI_VERSION="00IN"       text number 0 (the API version)
 *   TESTSPI_PATTERN="*.tsp"      text number 2, with TESTSPI_PATTERN_MORE joined by ";";
 *                                TESTSPI_DESCRIPTION text number 3
 *   TESTSPI_INFO_COUNT=4         texts numbered 0 to count-1 are answered, later ones not;
 *                                numbers 4 to 7 are "*.tsq", "Q", "*.tsr", "R"
 *   TESTSPI_FULL_BUFFER          text number 1 fills the whole buffer without a zero
 *   TESTSPI_NO_PREVIEW           no GetPreview export
 *   TESTSPI_NO_GETPICTURE        no GetPicture export
 *   TESTSPI_ARCHIVE              exports the archive entries
 *   TESTSPI_BY_NAME              IsSupported answers by the extension of the file name it is
 *                                given (that of TESTSPI_PATTERN, any case) and never looks at
 *                                the header bytes, as a plug-in for a format without a
 *                                signature does
 *   TESTSPI_FILE_ONLY            the picture entries read the file themselves; bytes in memory
 *                                (flag 1) are refused with -1 (not implemented)
 *   TESTSPI_BMP                  reads BMP files (the DIB after the 14-byte file header) in
 *                                place of the test format
 *   TESTSPI_INVERT               the pixel bytes it returns are inverted, so that a test sees
 *                                which of two plug-ins decoded a file
 *
 * From a file it reads only what the picture needs: the 24-byte header and the two blocks
 * (a BMP file whole), so a file may be far larger than its picture.
 */
#include "spi.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#ifndef TESTSPI_VERSION
#define TESTSPI_VERSION "00IN"
#endif
#ifndef TESTSPI_PATTERN
#define TESTSPI_PATTERN "*.tsp"
#endif
/* A second item joined to the pattern by ";" (a ";" does not survive the build's command line). */
#ifdef TESTSPI_PATTERN_MORE
#define TESTSPI_PATTERN_TEXT TESTSPI_PATTERN ";" TESTSPI_PATTERN_MORE
#else
#define TESTSPI_PATTERN_TEXT TESTSPI_PATTERN
#endif
#ifndef TESTSPI_DESCRIPTION
#define TESTSPI_DESCRIPTION "tovela test picture"
#endif
#ifndef TESTSPI_INFO_COUNT
#define TESTSPI_INFO_COUNT 4
#endif

static const char magic[8] = {'T', 'V', 'S', 'P', 'I', 'P', 'I', 'C'};
enum { header_size = 24 };

static const char *const texts[] = {TESTSPI_VERSION,
                                    "tovela test plug-in",
                                    TESTSPI_PATTERN_TEXT,
                                    TESTSPI_DESCRIPTION,
                                    "*.tsq",
                                    "Q",
                                    "*.tsr",
                                    "R"};

SPI_EXPORT int32_t GetPluginInfo(int32_t infono, char *buf, int32_t buflen)
{
#ifdef TESTSPI_ENDLESS
    /* Answers every number after the version and the name: a pattern pair for ever. */
    if (infono >= 2 && buflen > 8) {
        strcpy(buf, infono % 2 ? "endless" : "*.end");
        return (int32_t)strlen(buf);
    }
#endif
    if (infono < 0 || infono >= TESTSPI_INFO_COUNT ||
        infono >= (int32_t)(sizeof texts / sizeof *texts) || buflen <= 0)
        return 0;
#ifdef TESTSPI_FULL_BUFFER
    if (infono == 1) {
        memset(buf, 'N', (size_t)buflen);
        return buflen;
    }
#endif
    size_t n = strlen(texts[infono]);
    if (n > (size_t)buflen - 1)
        n = (size_t)buflen - 1;
    memcpy(buf, texts[infono], n);
    buf[n] = 0;
    return (int32_t)n;
}

static uint32_t number(const unsigned char *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

SPI_EXPORT int32_t IsSupported(const char *filename, uintptr_t dw)
{
#ifdef TESTSPI_BY_NAME
    (void)dw;
    const char *ext = filename ? strrchr(filename, '.') : NULL;
    return ext && strcasecmp(ext, strrchr(TESTSPI_PATTERN, '.')) == 0;
#else
    (void)filename;
#ifdef TESTSPI_BMP
    return dw && memcmp((const void *)dw, "BM", 2) == 0;
#else
    return dw && memcmp((const void *)dw, magic, sizeof magic) == 0;
#endif
#endif
}

static int fromMemory(uint32_t flag)
{
    return (flag & SPI_SOURCE_MASK) == SPI_SOURCE_MEMORY;
}

/* Appends up to count bytes of f (all that remain when count is SIZE_MAX) to *bytes. */
static void readMore(FILE *f, unsigned char **bytes, size_t *used, size_t count)
{
    size_t room = *used;
    while (count > 0) {
        size_t step = count < 65536 ? count : 65536;
        if (*used + step > room) {
            room = *used + step > 2 * room ? *used + step : 2 * room;
            unsigned char *grown = realloc(*bytes, room);
            if (!grown)
                return;
            *bytes = grown;
        }
        size_t got = fread(*bytes + *used, 1, step, f);
        *used += got;
        if (count != SIZE_MAX)
            count -= got;
        if (got < step)
            return;
    }
}

/* The picture's bytes: the file from offset len, or len bytes in memory. Sets *owned when the
   bytes were read and must be freed. */
static const unsigned char *source(const char *buf, int32_t len, uint32_t flag, size_t *size,
                                   unsigned char **owned)
{
    *owned = NULL;
    if (fromMemory(flag)) {
        *size = len < 0 ? 0 : (size_t)len;
        return (const unsigned char *)buf;
    }
    FILE *f = fopen(buf, "rb");
    if (!f)
        return NULL;
    unsigned char *bytes = NULL;
    size_t used = 0;
    if (fseek(f, len, SEEK_SET) == 0) {
        readMore(f, &bytes, &used, header_size);
        if (used == header_size && memcmp(bytes, magic, sizeof magic) == 0) {
            uint64_t blocks = (uint64_t)number(bytes + 16) + number(bytes + 20);
            if (blocks <= (1u << 30))
                readMore(f, &bytes, &used, (size_t)blocks);
        } else if (used == header_size) {
            readMore(f, &bytes, &used, SIZE_MAX);
        }
    }
    fclose(f);
    *owned = bytes;
    *size = used;
    return bytes;
}

/* Checks the format; fills the four numbers and where the two blocks begin. */
static int parse(const unsigned char *p, size_t size, uint32_t *result, uint32_t *steps,
                 uint32_t *infoBytes, uint32_t *bitsBytes, const unsigned char **blocks)
{
#ifdef TESTSPI_BMP
    /* File header: "BM", size, two reserved words, the offset of the pixel rows. */
    if (!p || size < 14 + sizeof(BITMAPINFOHEADER) || memcmp(p, "BM", 2) != 0)
        return 0;
    uint32_t bitsAt = number(p + 10);
    if (bitsAt < 14 + sizeof(BITMAPINFOHEADER) || bitsAt > size)
        return 0;
    *result = 0;
    *steps = 0;
    *infoBytes = bitsAt - 14;
    *bitsBytes = (uint32_t)(size - bitsAt);
    *blocks = p + 14;
    return 1;
#else
    if (!p || size < header_size || memcmp(p, magic, sizeof magic) != 0)
        return 0;
    *result = number(p + 8);
    *steps = number(p + 12);
    *infoBytes = number(p + 16);
    *bitsBytes = number(p + 20);
    *blocks = p + header_size;
    return (uint64_t)*infoBytes + *bitsBytes <= size - header_size;
#endif
}

SPI_EXPORT int32_t GetPictureInfo(const char *buf, int32_t len, uint32_t flag, PictureInfo *lpInfo)
{
#ifdef TESTSPI_FILE_ONLY
    if (fromMemory(flag))
        return SPI_NOT_IMPLEMENTED;
#endif
    unsigned char *owned;
    size_t size;
    const unsigned char *p = source(buf, len, flag, &size, &owned);
    uint32_t result, steps, infoBytes, bitsBytes;
    const unsigned char *blocks;
    int32_t answer = SPI_UNKNOWN_FORMAT;
    if (parse(p, size, &result, &steps, &infoBytes, &bitsBytes, &blocks) &&
        infoBytes >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER h;
        memcpy(&h, blocks, sizeof h);
        memset(lpInfo, 0, sizeof *lpInfo);
        lpInfo->width = h.biWidth;
        lpInfo->height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        lpInfo->colorDepth = (int16_t)h.biBitCount;
        /* Text information, which the host frees. */
        lpInfo->hInfo = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, 16);
        char *text = LocalLock(lpInfo->hInfo);
        if (text)
            strcpy(text, "tovela test");
        LocalUnlock(lpInfo->hInfo);
        answer = SPI_SUCCESS;
    }
    free(owned);
    return answer;
}

static int32_t decode(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo, HLOCAL *pHBm,
                      ProgressCallback callback, intptr_t lData)
{
#ifdef TESTSPI_FILE_ONLY
    if (fromMemory(flag))
        return SPI_NOT_IMPLEMENTED;
#endif
    unsigned char *owned;
    size_t size;
    const unsigned char *p = source(buf, len, flag, &size, &owned);
    uint32_t result, steps, infoBytes, bitsBytes;
    const unsigned char *blocks;
    int32_t answer = SPI_SUCCESS;
    if (!parse(p, size, &result, &steps, &infoBytes, &bitsBytes, &blocks)) {
        answer = p ? SPI_UNKNOWN_FORMAT : SPI_FILE_READ_ERROR;
        goto done;
    }
    if (result != 0) {
        answer = (int32_t)result;
        goto done;
    }
    for (uint32_t i = 0; steps && i <= steps; ++i)
        if (callback && callback((int32_t)i, (int32_t)steps, lData)) {
            answer = SPI_ABORTED;
            goto done;
        }
    HLOCAL info = LocalAlloc(LMEM_MOVEABLE, infoBytes);
    HLOCAL bits = LocalAlloc(LMEM_MOVEABLE, bitsBytes);
    if (!info || !bits) {
        LocalFree(info);
        LocalFree(bits);
        answer = SPI_NO_MEMORY;
        goto done;
    }
    memcpy(LocalLock(info), blocks, infoBytes);
    unsigned char *pixels = LocalLock(bits);
    memcpy(pixels, blocks + infoBytes, bitsBytes);
#ifdef TESTSPI_INVERT
    for (uint32_t i = 0; i < bitsBytes; ++i)
        pixels[i] = (unsigned char)~pixels[i];
#endif
    LocalUnlock(info);
    LocalUnlock(bits);
    *pHBInfo = info;
    *pHBm = bits;
done:
    free(owned);
    return answer;
}

#ifndef TESTSPI_NO_GETPICTURE
SPI_EXPORT int32_t GetPicture(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                              HLOCAL *pHBm, ProgressCallback lpPrgressCallback, intptr_t lData)
{
    return decode(buf, len, flag, pHBInfo, pHBm, lpPrgressCallback, lData);
}
#endif

#ifndef TESTSPI_NO_PREVIEW
SPI_EXPORT int32_t GetPreview(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                              HLOCAL *pHBm, ProgressCallback lpPrgressCallback, intptr_t lData)
{
    return decode(buf, len, flag, pHBInfo, pHBm, lpPrgressCallback, lData);
}
#endif

#ifdef TESTSPI_ARCHIVE
SPI_EXPORT int32_t GetArchiveInfo(const char *buf, int32_t len, uint32_t flag, HLOCAL *lphInf)
{
    (void)buf, (void)len, (void)flag, (void)lphInf;
    return SPI_NOT_IMPLEMENTED;
}

SPI_EXPORT int32_t GetFileInfo(const char *buf, int32_t len, const char *filename, uint32_t flag,
                               void *lpInfo)
{
    (void)buf, (void)len, (void)filename, (void)flag, (void)lpInfo;
    return SPI_NOT_IMPLEMENTED;
}

SPI_EXPORT int32_t GetFile(const char *src, int32_t len, char *dest, uint32_t flag,
                           ProgressCallback prgressCallback, intptr_t lData)
{
    (void)src, (void)len, (void)dest, (void)flag, (void)prgressCallback, (void)lData;
    return SPI_NOT_IMPLEMENTED;
}
#endif
