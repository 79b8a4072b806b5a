#include "test_plugins_support.h"

#include "tests/support/ChildProcess.h"

#include <QFile>
#include <QtEndian>
#include <cctype>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>

ShippedPlugin::ShippedPlugin(const char *name)
{
    std::string path = std::string(TOVELA_SHIPPED_PLUGIN_DIR) + "/" + name + ".spi";
    // Kept mapped after dlclose, so that the leak checker can name the library behind a block.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        ADD_FAILURE() << dlerror();
        return;
    }
    getPluginInfo = reinterpret_cast<GetPluginInfoProc>(dlsym(handle_, "GetPluginInfo"));
    isSupported = reinterpret_cast<IsSupportedProc>(dlsym(handle_, "IsSupported"));
    getPictureInfo = reinterpret_cast<GetPictureInfoProc>(dlsym(handle_, "GetPictureInfo"));
    getPicture = reinterpret_cast<GetPictureProc>(dlsym(handle_, "GetPicture"));
}

ShippedPlugin::~ShippedPlugin()
{
    if (handle_)
        dlclose(handle_);
}

std::string ShippedPlugin::text(int32_t infono) const
{
    char buf[256];
    std::memset(buf, 'x', sizeof buf);
    int32_t n = getPluginInfo(infono, buf, 255);
    if (n <= 0)
        return {};
    EXPECT_EQ(std::strlen(buf), size_t(n)) << "the count is the characters written";
    return buf;
}

bool ShippedPlugin::supports(const QByteArray &fileStart) const
{
    std::vector<char> header(SPI_HEADER_SIZE, 0);
    std::memcpy(header.data(), fileStart.constData(),
                std::min<size_t>(header.size(), size_t(fileStart.size())));
    return isSupported("picture", reinterpret_cast<uintptr_t>(header.data())) != 0;
}

namespace
{

struct CallbackState {
    Decoded *decoded;
    int abortAt;
};

int32_t record(int32_t num, int32_t denom, intptr_t data)
{
    auto *state = reinterpret_cast<CallbackState *>(data);
    state->decoded->progress.emplace_back(num, denom);
    return state->abortAt > 0 && int(state->decoded->progress.size()) >= state->abortAt;
}

// Checks what a successful GetPicture returned and frees it; a failed one must return nothing.
void takeBlocks(Decoded &d, HLOCAL info, HLOCAL bits)
{
    if (d.result != SPI_SUCCESS) {
        EXPECT_EQ(info, nullptr);
        EXPECT_EQ(bits, nullptr);
        return;
    }
    ASSERT_GE(LocalSize(info), sizeof(BITMAPINFOHEADER));
    // Both blocks come back unlocked: one lock and one unlock leave no lock behind.
    auto *header = static_cast<const BITMAPINFOHEADER *>(LocalLock(info));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(LocalUnlock(info), 0);
    auto *pixels = static_cast<const uint8_t *>(LocalLock(bits));
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(LocalUnlock(bits), 0);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biBitCount, 24);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(header->biCompression, uint32_t(BI_RGB));
    ASSERT_GT(header->biWidth, 0);
    ASSERT_GT(header->biHeight, 0) << "rows are bottom-up";
    d.width = header->biWidth;
    d.height = header->biHeight;
    size_t stride = (size_t(d.width) * 3 + 3) / 4 * 4;
    ASSERT_GE(LocalSize(bits), stride * size_t(d.height));
    d.rgb.resize(size_t(d.width) * 3 * size_t(d.height));
    for (int32_t y = 0; y < d.height; ++y) {
        const uint8_t *in = pixels + size_t(d.height - 1 - y) * stride;
        uint8_t *out = d.rgb.data() + size_t(y) * size_t(d.width) * 3;
        for (int32_t x = 0; x < d.width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    EXPECT_EQ(LocalFree(info), nullptr);
    EXPECT_EQ(LocalFree(bits), nullptr);
}

Decoded decode(const ShippedPlugin &plugin, const char *buf, int32_t len, uint32_t flag,
               int abortAt)
{
    Decoded d;
    CallbackState state{&d, abortAt};
    HLOCAL info = reinterpret_cast<HLOCAL>(1), bits = reinterpret_cast<HLOCAL>(1);
    d.result =
        plugin.getPicture(buf, len, flag, &info, &bits, record, reinterpret_cast<intptr_t>(&state));
    takeBlocks(d, info, bits);
    return d;
}

} // namespace

Decoded decodeFile(const ShippedPlugin &plugin, const QString &path, int32_t offset, int abortAt)
{
    QByteArray name = QFile::encodeName(path);
    return decode(plugin, name.constData(), offset, SPI_SOURCE_FILE, abortAt);
}

Decoded decodeMemory(const ShippedPlugin &plugin, const QByteArray &bytes, int abortAt)
{
    return decode(plugin, bytes.constData(), int32_t(bytes.size()), SPI_SOURCE_MEMORY, abortAt);
}

QByteArray runTool(const QString &program, const QStringList &arguments)
{
    const ProgramRun run = RunProgram(program, arguments, 120000);
    EXPECT_TRUE(run.succeeded()) << program.toStdString() << " "
                                 << arguments.join(' ').toStdString() << ": "
                                 << run.errors.toStdString();
    return run.output;
}

std::vector<uint8_t> netpbmRgb(const QByteArray &file, int32_t *width, int32_t *height)
{
    // P6 "w h max" or P7 with WIDTH/HEIGHT/DEPTH lines up to ENDHDR; 8-bit samples only.
    *width = *height = 0;
    int depth = 3;
    qsizetype pos = 0;
    auto token = [&] {
        while (pos < file.size() && std::isspace(uchar(file[pos])))
            ++pos;
        qsizetype start = pos;
        while (pos < file.size() && !std::isspace(uchar(file[pos])))
            ++pos;
        return file.mid(start, pos - start);
    };
    QByteArray magic = token();
    if (magic == "P7") {
        for (QByteArray t = token(); t != "ENDHDR" && !t.isEmpty(); t = token()) {
            if (t == "WIDTH")
                *width = token().toInt();
            else if (t == "HEIGHT")
                *height = token().toInt();
            else if (t == "DEPTH")
                depth = token().toInt();
        }
    } else if (magic == "P6") {
        *width = token().toInt();
        *height = token().toInt();
        token(); // the largest sample value
    } else {
        ADD_FAILURE() << "not a PPM or PAM";
        return {};
    }
    ++pos; // the one white-space character before the samples
    std::vector<uint8_t> rgb(size_t(*width) * size_t(*height) * 3);
    const auto *in = reinterpret_cast<const uint8_t *>(file.constData() + pos);
    if (file.size() - pos != qsizetype(*width) * *height * depth) {
        ADD_FAILURE() << "sample count";
        return {};
    }
    for (size_t i = 0; i < size_t(*width) * size_t(*height); ++i)
        for (int c = 0; c < 3; ++c) {
            unsigned v = in[i * depth + c], a = depth == 4 ? in[i * depth + 3] : 255;
            rgb[i * 3 + c] = uint8_t((v * a + 255 * (255 - a) + 127) / 255);
        }
    return rgb;
}

std::vector<uint8_t> magickRgb(const QString &path, int32_t *width, int32_t *height)
{
    QByteArray ppm = runTool("convert", {path + "[0]", "-background", "white", "-alpha", "remove",
                                         "-flatten", "-depth", "8", "ppm:-"});
    return netpbmRgb(ppm, width, height);
}

int maxDifference(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    if (a.size() != b.size())
        return -1;
    int most = 0;
    for (size_t i = 0; i < a.size(); ++i)
        most = std::max(most, std::abs(int(a[i]) - int(b[i])));
    return most;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray TiffDirectory(const std::vector<TiffEntry> &entries)
{
    QByteArray directory(2, '\0');
    qToLittleEndian<uint16_t>(uint16_t(entries.size()), directory.data());
    for (const TiffEntry &e : entries) {
        QByteArray raw(12, '\0');
        qToLittleEndian<uint16_t>(e.tag, raw.data());
        qToLittleEndian<uint16_t>(e.type, raw.data() + 2);
        qToLittleEndian<uint32_t>(e.count, raw.data() + 4);
        if (e.type == 3)
            qToLittleEndian<uint16_t>(uint16_t(e.value), raw.data() + 8);
        else
            qToLittleEndian<uint32_t>(e.value, raw.data() + 8);
        directory += raw;
    }
    return directory + QByteArray(4, '\0');
}
