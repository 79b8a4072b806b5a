/*
 * Picture plug-in SDK: the entry points a *.spi library exports, the records they exchange,
 * their result codes and the local-memory functions both sides share.
 *
 * A plug-in is an ELF shared object named *.spi that exports its entries with C linkage. The
 * API keeps the shapes of the Windows interface; its 32-bit "long" is int32_t here and handles
 * are pointer-sized. Plug-ins and the host link the same local-memory library (libtovela-localmem),
 * so a block a plug-in allocates is freed by the same allocator.
 */
#ifndef TOVELA_SPI_H
#define TOVELA_SPI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SPI_EXPORT __attribute__((visibility("default")))

/* Results of the picture entries. */
enum {
    SPI_SUCCESS = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_ABORTED = 1, /* stopped because the progress callback asked for it */
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_RESERVED = 7,
    SPI_INTERNAL_ERROR = 8
};

/* Where the source of a picture entry lies: flag & SPI_SOURCE_MASK. */
enum {
    SPI_SOURCE_FILE = 0,   /* buf: zero-terminated file name; len: offset of the picture in it */
    SPI_SOURCE_MEMORY = 1, /* buf: the file's bytes; len: their count */
    SPI_SOURCE_MASK = 7
};

/* The header buffer IsSupported receives: 2176 bytes read, zero-filled past the file's end. */
enum { SPI_HEADER_SIZE = 2176, SPI_HEADER_RELIABLE = 2048 };

/* A local memory handle; LocalLock turns it into an address. */
typedef void *HLOCAL;

#pragma pack(push, 1)
typedef struct PictureInfo {
    int32_t left, top;     /* where the picture lies */
    int32_t width, height; /* its size in pixels */
    uint16_t x_density;    /* pixels per metre, horizontally */
    uint16_t y_density;    /* and vertically */
    int16_t colorDepth;    /* bits per pixel */
    HLOCAL hInfo;          /* text information, may be null; freed by the host */
} PictureInfo;
#pragma pack(pop)

/* Non-zero asks the plug-in to stop; the entry then returns SPI_ABORTED. */
typedef int32_t (*ProgressCallback)(int32_t num, int32_t denom, intptr_t lData);

/* Entries, as the host looks them up by name. */
typedef int32_t (*GetPluginInfoProc)(int32_t infono, char *buf, int32_t buflen);
typedef int32_t (*IsSupportedProc)(const char *filename, uintptr_t dw);
typedef int32_t (*GetPictureInfoProc)(const char *buf, int32_t len, uint32_t flag,
                                      PictureInfo *lpInfo);
typedef int32_t (*GetPictureProc)(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                                  HLOCAL *pHBm, ProgressCallback lpPrgressCallback, intptr_t lData);
typedef int32_t (*GetPreviewProc)(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                                  HLOCAL *pHBm, ProgressCallback lpPrgressCallback, intptr_t lData);
/* Archive entries and the configuration dialog: bound by the host, never called. */
typedef int32_t (*GetArchiveInfoProc)(const char *buf, int32_t len, uint32_t flag, HLOCAL *lphInf);
typedef int32_t (*GetFileInfoProc)(const char *buf, int32_t len, const char *filename,
                                   uint32_t flag, void *lpInfo);
typedef int32_t (*GetFileProc)(const char *src, int32_t len, char *dest, uint32_t flag,
                               ProgressCallback prgressCallback, intptr_t lData);
typedef int32_t (*ConfigurationDlgProc)(void *parent, int32_t fnc);

/* The pixel block a plug-in returns starts with this header (packed as on Windows). */
#pragma pack(push, 2)
typedef struct BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; /* negative: rows run top-down */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} BITMAPINFOHEADER;

typedef struct RGBQUAD {
    uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
} RGBQUAD;

typedef struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

typedef struct BITMAPFILEHEADER {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
} BITMAPFILEHEADER;
#pragma pack(pop)

enum { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

/* Local memory (libtovela-localmem). */
enum {
    LMEM_FIXED = 0x0000,
    LMEM_MOVEABLE = 0x0002,
    LMEM_ZEROINIT = 0x0040,
    LPTR = LMEM_FIXED | LMEM_ZEROINIT,
    LHND = LMEM_MOVEABLE | LMEM_ZEROINIT
};

#define SPI_LOCALMEM_API __attribute__((visibility("default")))

/* A fixed block's handle is its address; a moveable block's must be locked to reach it. */
SPI_LOCALMEM_API HLOCAL LocalAlloc(uint32_t uFlags, size_t uBytes);
SPI_LOCALMEM_API void *LocalLock(HLOCAL hMem);
SPI_LOCALMEM_API int32_t LocalUnlock(HLOCAL hMem); /* non-zero while the block stays locked */
SPI_LOCALMEM_API HLOCAL LocalFree(HLOCAL hMem); /* null on success, the handle itself on failure */
SPI_LOCALMEM_API size_t
LocalSize(HLOCAL hMem); /* the block's size, 0 for a handle that is no block */

/* Counts of the blocks allocated and freed so far in this process, for leak checks. */
SPI_LOCALMEM_API uint64_t LocalAllocCount(void);
SPI_LOCALMEM_API uint64_t LocalFreeCount(void);

#ifdef __cplusplus
}
#endif

#endif
