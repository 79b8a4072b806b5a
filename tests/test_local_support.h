#pragma once
// Helpers of the local picture browser tests: a started program with folders of real files,
// trace capture, and driving the timers' handlers tick by tick.
#include "tests/support/AppFixture.h"
#include "tests/support/TraceCapture.h"

#include <QRgb>
#include <QStringList>

class LocalBrowser : public AppFixture
{
protected:
    void SetUp() override;
    // A new folder under the test's home, with the given files (name -> bytes).
    QString makeFolder(const QString &name,
                       const std::vector<std::pair<QString, QByteArray>> &files);
    // Picks the folder in the tree and runs StopTimer's local branch until the listing is done.
    void listFolder(const QString &path);
    // Announces [start, end] and runs draw steps until nothing in it is left to draw.
    int drawRange(int start, int end);
    // Index of the entry with that name, -1 if none.
    int entry(const QString &name) const;
    QStringList listedNames() const;
};

// A key pressed and released on target, as the window system delivers it.
void SendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers);

// The bytes of image written in format ("BMP", "ICO", ...) by Qt's writer.
QByteArray SavedAs(const QImage &image, const char *format);
QByteArray JpegBytes(int width, int height, QRgb color);
QByteArray BmpBytes(int width, int height, QRgb color);
QByteArray IcoBytes(int width, int height, QRgb color);
