#include "tests/test_local_support.h"

#include "app/Unit1.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/ShellTreeView.h"
#include "test_graphics_support.h"
#include "tests/support/ThumbnailSteps.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

QByteArray SavedAs(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void SendKey(QWidget *target, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

void LocalBrowser::SetUp()
{
    AppFixture::SetUp();
    start();
    ASSERT_NE(form, nullptr);
}

QString LocalBrowser::makeFolder(const QString &name,
                                 const std::vector<std::pair<QString, QByteArray>> &files)
{
    const QString path = home.path() + QStringLiteral("/pictures/") + name;
    QDir().mkpath(path);
    for (const auto &[file, bytes] : files)
        WriteTestFile(path, file, bytes);
    return path;
}

void LocalBrowser::listFolder(const QString &path)
{
    ASSERT_TRUE(form->PcTreeView->SelectPath(path)) << path.toStdString();
    ASSERT_EQ(form->PcTreeView->Path(), path);
    for (int tick = 0; tick < 5 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerPcBranch();
    ASSERT_FALSE(form->StopTimer->Enabled());
    ASSERT_EQ(form->PcLoadState, STOPED_PC);
}

int LocalBrowser::drawRange(int start, int end)
{
    form->PcListViewDataHint(start, end);
    int steps = 0;
    for (int guard = 0; guard < 10000; ++guard) {
        bool pending = false;
        for (int i = std::max(start, 0); i <= end && i < int(form->PcImages.size()); ++i)
            if (form->PcImages[size_t(i)].ImageIndex == -1 && !form->PcImages[size_t(i)].Drawn)
                pending = true;
        if (!pending)
            break;
        DrawStep(*form);
        ++steps;
    }
    return steps;
}

int LocalBrowser::entry(const QString &name) const
{
    for (size_t i = 0; i < form->PcImages.size(); ++i)
        if (form->PcImages[i].Name == name)
            return int(i);
    return -1;
}

QStringList LocalBrowser::listedNames() const
{
    QStringList names;
    for (const TPcImages &e : form->PcImages)
        names << e.Name;
    names.sort();
    return names;
}

QByteArray JpegBytes(int width, int height, QRgb color)
{
    return EncodeJpeg(SolidPicture(width, height, color), {JpegKind::Color, 95});
}

QByteArray BmpBytes(int width, int height, QRgb color)
{
    return SavedAs(SolidPicture(width, height, color), "BMP");
}

QByteArray IcoBytes(int width, int height, QRgb color)
{
    return SavedAs(SolidPicture(width, height, color), "ICO");
}
