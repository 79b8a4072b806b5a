#pragma once
// Helpers of the plug-in host tests: the test plug-ins built from tests/plugins/testspi.c,
// folders of copies of them, files of the test plug-in's picture format, and DIBs.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The built test plug-in of that name (testspi_good, ...).
QString TestPlugin(const QString &name);

// Whether the loader holds the library at path (dlopen with RTLD_NOLOAD).
bool LibraryLoaded(const QString &path);

// A temporary folder with files put into it.
class TestFolder
{
public:
    TestFolder();
    QString path() const { return dir.path(); }
    // Copies the built plug-in `plugin` in under the file name `as`; returns the full path.
    QString addPlugin(const QString &plugin, const QString &as);
    QString addFile(const QString &name, const QByteArray &bytes);

private:
    QTemporaryDir dir;
};

// A DIB as a plug-in returns it: the BITMAPINFO block and the pixel block.
struct TestDib {
    QByteArray info;
    QByteArray bits;
};

// The DIB of picture at bitCount bits per pixel (1, 4, 8 from an Indexed8 picture with at most
// 2^bitCount colours; 16, 24, 32 from any). clrUsed is written as it is; the colour table holds
// clrUsed entries, or 2^bitCount when it is 0. headerSize above 40 writes a larger header of
// zeros beyond the first 40 bytes.
TestDib MakeDib(const QImage &picture, int bitCount, bool topDown = false, uint32_t clrUsed = 0,
                uint32_t headerSize = 40);

// A file of the test plug-in's format: it returns dib as it is, GetPicture answers `result`,
// and `steps` progress steps are reported.
QByteArray TestPictureFile(const TestDib &dib, uint32_t result = 0, uint32_t steps = 0);

// A picture of distinct colours: RGB32, or Indexed8 with `colors` colours.
QImage PatternImage(int width, int height, int colors = 0);
