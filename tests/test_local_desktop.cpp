// The local view as a desktop user meets it: big icons fit their square, captions keep their
// place, Ctrl+A with a button held, a tree that does not watch, tree widths as the settings say.
#include "app/Unit1.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/Timer.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/SplitPane.h"
#include "test_graphics_support.h"
#include "tests/test_local_support.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QtEndian>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// One icon file holding the images of several one-image icon files, in that order.
QByteArray iconFile(const QList<QByteArray> &singles)
{
    const int count = int(singles.size());
    QByteArray header(6, '\0'), entries, data;
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(quint16(count), header.data() + 4);
    quint32 offset = quint32(6 + 16 * count);
    for (const QByteArray &single : singles) {
        QByteArray entry = single.mid(6, 16);
        const quint32 size = qFromLittleEndian<quint32>(entry.constData() + 8);
        const quint32 at = qFromLittleEndian<quint32>(entry.constData() + 12);
        qToLittleEndian<quint32>(offset, entry.data() + 12);
        entries += entry;
        data += single.mid(at, size);
        offset += size;
    }
    return header + entries + data;
}

// The bounding box of the dark (text) pixels of an image.
QRect darkPixels(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 96)
                box |= QRect(x, y, 1, 1);
    return box;
}

void sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target, &event);
}

// 256 x 256 of colour with a bottom-right quarter of corner: only a picture shown whole shows
// both colours.
QImage CornerPicture(QRgb colour, QRgb corner)
{
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(colour);
    for (int y = 128; y < 256; ++y)
        for (int x = 128; x < 256; ++x)
            image.setPixel(x, y, corner);
    return image;
}

} // namespace

TEST_F(LocalBrowser, TheLargestIconIsStretchedWholeIntoItsThumbnail)
{
    // Blue with a red bottom-right quarter: only the whole picture shows both colours.
    const QImage large = CornerPicture(qRgb(0, 0, 255), qRgb(255, 0, 0));
    const QImage small = SolidPicture(16, 16, qRgb(0, 255, 0));
    const QString dir = makeFolder(
        QStringLiteral("icons"),
        {{QStringLiteral("large.ico"), SavedAs(large, "ICO")},
         {QStringLiteral("both.ico"), iconFile({SavedAs(small, "ICO"), SavedAs(large, "ICO")})}});
    listFolder(dir);
    ASSERT_EQ(drawRange(0, 1), 2);
    for (const QString &name : {QStringLiteral("large.ico"), QStringLiteral("both.ico")}) {
        SCOPED_TRACE(name.toStdString());
        const TPcImages &e = form->PcImages[size_t(entry(name))];
        ASSERT_GE(e.ImageIndex, 3);
        const QImage thumb = form->PcImageList->image(e.ImageIndex);
        EXPECT_EQ(thumb.pixel(10, 10), qRgb(0, 0, 255));
        EXPECT_EQ(thumb.pixel(90, 10), qRgb(0, 0, 255));
        EXPECT_EQ(thumb.pixel(10, 90), qRgb(0, 0, 255));
        EXPECT_EQ(thumb.pixel(90, 90), qRgb(255, 0, 0));
        EXPECT_EQ(thumb.pixel(60, 60), qRgb(255, 0, 0));
    }
}

TEST_F(LocalBrowser, ACaptionStaysWhereItIsWhenTheThumbnailArrives)
{
    form->resize(800, 600);
    form->show();
    listFolder(makeFolder(QStringLiteral("caption"), {{QStringLiteral("picture.jpg"),
                                                       JpegBytes(100, 100, qRgb(255, 255, 160))}}));
    pump(50);
    const QRect cell = form->PcListView->visualRect(
        static_cast<QListView *>(form->PcListView)->model()->index(0, 0));
    ASSERT_TRUE(cell.isValid());
    const QRect before = darkPixels(form->PcListView->viewport()->grab(cell).toImage());
    ASSERT_FALSE(before.isEmpty()); // the caption is drawn
    EXPECT_GE(before.top(), 100);   // below the picture's place
    ASSERT_EQ(drawRange(0, 0), 1);
    pump(50);
    const QRect after = darkPixels(form->PcListView->viewport()->grab(cell).toImage());
    EXPECT_EQ(after, before);
}

TEST_F(LocalBrowser, CtrlAAndCtrlDDoNothingWhileAMouseButtonIsHeld)
{
    form->resize(800, 600);
    form->show();
    listFolder(makeFolder(QStringLiteral("held"), {{QStringLiteral("a.txt"), "a"},
                                                   {QStringLiteral("b.txt"), "b"},
                                                   {QStringLiteral("c.txt"), "c"}}));
    QWidget *viewport = form->PcListView->viewport();
    sendMouse(viewport, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    const int held = form->PcListView->SelCount();
    SendKey(form->PcListView, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), held);
    sendMouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);

    SendKey(form->PcListView, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 3);
    sendMouse(viewport, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    const int selected = form->PcListView->SelCount();
    ASSERT_GT(selected, 0);
    SendKey(form->PcListView, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), selected);
    sendMouse(viewport, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton);
    SendKey(form->PcListView, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 0);
}

TEST_F(LocalBrowser, TheTreeDoesNotWatchTheFileSystem)
{
    EXPECT_EQ(form->PcTreeView->indentation(), 19);
    EXPECT_FALSE(form->PcTreeView->rootIsDecorated());
    const QString parent = makeFolder(QStringLiteral("parent"), {});
    const QString child =
        makeFolder(QStringLiteral("parent/child"), {{QStringLiteral("c.txt"), "c"}});
    listFolder(child);
    auto *model = qobject_cast<QFileSystemModel *>(form->PcTreeView->model());
    ASSERT_NE(model, nullptr);
    const QModelIndex parentNode = model->index(parent);
    pump(300);
    const int rows = model->rowCount(parentNode);

    // A folder made beside it does not appear by itself.
    QDir(parent).mkdir(QStringLiteral("later"));
    pump(1500);
    EXPECT_EQ(model->rowCount(parentNode), rows);

    // Removing the folder on display starts no listing: the list stays as it is.
    QDir(child).removeRecursively();
    pump(1500);
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(form->PcLoadState, STOPED_PC);
    EXPECT_EQ(form->PcListView->ItemsCount(), 1);
}

TEST_F(LocalBrowser, TreeWidthsFromTheSettingsAreAppliedDownToZero)
{
    for (const QByteArray &widths : {QByteArray("5"), QByteArray("0")}) {
        SCOPED_TRACE(widths.toStdString());
        writeIni("[MAIN]\nPcViewWidth=" + widths + "\nAlbumViewWidth=" + widths + "\n");
        form->LoadIniFile();
        form->resize(800, 600);
        form->show();
        pump(50);
        EXPECT_EQ(form->PcSplitter->LeftWidth(), widths.toInt());
        EXPECT_EQ(form->PcTreeView->width(), widths.toInt());
        EXPECT_EQ(form->AlbumSplitter->LeftWidth(), widths.toInt());
    }
}

// A folder of mixed names and pictures as the user sees it: name order, a Shift-JIS name in
// Japanese, a whole icon, a text file's caption in its place. Saved for a look when
// TOVELA_RENDER_DIR is set.
TEST_F(LocalBrowser, AFolderOfMixedNamesRenders)
{
    const QImage quarters = CornerPicture(qRgb(40, 80, 200), qRgb(200, 40, 40));
    const QString dir =
        makeFolder(QStringLiteral("mixed names"),
                   {{QStringLiteral("IMG_10.jpg"), JpegBytes(640, 480, qRgb(40, 160, 60))},
                    {QStringLiteral("IMG_2.jpg"), JpegBytes(480, 640, qRgb(230, 180, 30))},
                    {QStringLiteral("img_3.JPG"), JpegBytes(300, 300, qRgb(120, 40, 160))},
                    {QStringLiteral("アイコン.ico"), SavedAs(quarters, "ICO")},
                    {QStringLiteral("メモ.txt"), "text"}});
    const QByteArray raw = QFile::encodeName(dir) + '/' + toShiftJis(QStringLiteral("写真.jpg"));
    {
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray bytes = JpegBytes(640, 400, qRgb(30, 170, 170));
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    form->resize(900, 600);
    form->show();
    listFolder(dir);
    drawRange(0, 5);
    pump(100);
    QStringList captions;
    for (int i = 0; i < 6; ++i) {
        QString caption;
        int image = 0;
        form->PcListViewData(i, caption, image);
        captions << caption;
    }
    EXPECT_EQ(captions, (QStringList{"IMG_2.jpg", "img_3.JPG", "IMG_10.jpg", "アイコン.ico",
                                     "メモ.txt", "写真.jpg"}));
    const QImage window = form->grab().toImage();
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        window.save(out + QStringLiteral("/local-mixed-names.png"));
    }
    // The Shift-JIS picture's thumbnail is on screen in its colour.
    const QRect cell =
        static_cast<QListView *>(form->PcListView)
            ->visualRect(static_cast<QListView *>(form->PcListView)->model()->index(5, 0));
    const QImage shown = form->PcListView->viewport()->grab(cell).toImage();
    int teal = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qAbs(qRed(shown.pixel(x, y)) - 30) < 20 &&
                qAbs(qGreen(shown.pixel(x, y)) - 170) < 20)
                ++teal;
    EXPECT_GT(teal, 2000);
}
