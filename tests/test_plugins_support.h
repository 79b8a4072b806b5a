#pragma once
// Support for the shipped plug-ins' tests: a plug-in opened with dlopen and called through the
// SDK's entry types, the blocks it returns checked and freed, and pictures made and decoded by
// other tools (ImageMagick, cwebp/dwebp, heif-enc/heif-convert) for comparison.
#include "plugins/include/spi.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

class ShippedPlugin
{
public:
    explicit ShippedPlugin(const char *name); // "ifpng" opens ifpng.spi of the build tree
    ~ShippedPlugin();
    ShippedPlugin(const ShippedPlugin &) = delete;
    ShippedPlugin &operator=(const ShippedPlugin &) = delete;

    bool loaded() const { return handle_ && getPicture; }
    std::string text(int32_t infono) const;           // GetPluginInfo's text, "" for 0 or less
    bool supports(const QByteArray &fileStart) const; // IsSupported with a 2176-byte header

    GetPluginInfoProc getPluginInfo = nullptr;
    IsSupportedProc isSupported = nullptr;
    GetPictureInfoProc getPictureInfo = nullptr;
    GetPictureProc getPicture = nullptr;

private:
    void *handle_ = nullptr;
};

// What GetPicture returned, the blocks checked and already freed; rgb rows run top-down.
// One entry of a little-endian TIFF directory: tag, field type (3 SHORT, 4 LONG), count and
// the value itself.
struct TiffEntry {
    uint16_t tag, type;
    uint32_t count, value;
};
// A little-endian TIFF directory: the entry count, the 12-byte entries, no next directory.
QByteArray TiffDirectory(const std::vector<TiffEntry> &entries);

struct Decoded {
    int32_t result = -100;
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;
    std::vector<std::pair<int32_t, int32_t>> progress; // every (num, denom) the callback got
};

// abortAt: the callback answers 1 from its abortAt-th call on (0: never).
Decoded decodeFile(const ShippedPlugin &plugin, const QString &path, int32_t offset = 0,
                   int abortAt = 0);
Decoded decodeMemory(const ShippedPlugin &plugin, const QByteArray &bytes, int abortAt = 0);

// A tool's standard output; the test fails when the tool fails.
QByteArray runTool(const QString &program, const QStringList &arguments);
// ImageMagick's picture of a file's first frame over white, as 8-bit RGB rows.
std::vector<uint8_t> magickRgb(const QString &path, int32_t *width, int32_t *height);
// A PPM's or PAM's pixels as 8-bit RGB, a PAM's alpha laid over white.
std::vector<uint8_t> netpbmRgb(const QByteArray &file, int32_t *width, int32_t *height);

// The largest difference of any sample, or -1 when the sizes differ.
int maxDifference(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b);

QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);
