// What a Linux folder holds: pipes, sockets and links beside the pictures, names in name order,
// names that are not UTF-8, and a pick during a very large listing.
#include "app/Unit1.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/Timer.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Picture.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_local_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
// A file whose name is given as bytes, as a Windows medium may carry it.
void writeRawFile(const QString &dir, const QByteArray &name, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(dir) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.toStdString();
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

void WriteTestFileForPreview(const QString &dir, int i)
{
    QFile file(dir + QStringLiteral("/p%1.jpg").arg(i));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(JpegBytes(30, 20, qRgb(0, 0, 0)));
}

QStringList namesInListOrder(const TForm1 *form)
{
    QStringList names;
    for (const TPcImages &e : form->PcImages)
        names << e.Name;
    return names;
}
} // namespace

TEST_F(LocalBrowser, OnlyRegularFilesAreListedAndAPipeNeverBlocks)
{
    const QString dir =
        makeFolder(QStringLiteral("special"),
                   {{QStringLiteral("real.jpg"), JpegBytes(40, 30, qRgb(0, 0, 255))}});
    const QByteArray bytes = QFile::encodeName(dir);
    ASSERT_EQ(::mkfifo(bytes + "/pipe.jpg", 0644), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = bytes + "/socket.jpg";
    ASSERT_LT(size_t(socketPath.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ASSERT_EQ(::symlink("real.jpg", bytes + "/link.jpg"), 0);
    ASSERT_EQ(::symlink("/dev/null", bytes + "/device.jpg"), 0);
    ASSERT_EQ(::symlink("missing.jpg", bytes + "/dangling.jpg"), 0);
    QDir(dir).mkpath(QStringLiteral("folder.jpg"));

    listFolder(dir);
    EXPECT_EQ(listedNames(), (QStringList{"link.jpg", "real.jpg"}));
    EXPECT_EQ(drawRange(0, 1), 2);
    for (const TPcImages &e : form->PcImages) {
        EXPECT_TRUE(e.IsPicture) << e.Name.toStdString();
        EXPECT_GE(e.ImageIndex, 3);
    }

    // Whoever opens a pipe as a picture gets a refusal at once instead of waiting for a writer.
    QElapsedTimer timer;
    timer.start();
    TPicture picture;
    EXPECT_THROW(picture.LoadFromLocalFile(bytes + "/pipe.jpg"), EInOutError);
    EXPECT_THROW(picture.LoadFromFile(dir + QStringLiteral("/pipe.jpg")), EInOutError);
    EXPECT_THROW(picture.LoadFromFile(dir + QStringLiteral("/device.jpg")), EInOutError);
    EXPECT_TRUE(picture.Empty());
    EXPECT_LT(timer.elapsed(), 5000);
    ::close(sock);
}

TEST_F(LocalBrowser, FilesAreListedInNumericCaseInsensitiveNameOrder)
{
    const QString dir = makeFolder(QStringLiteral("order"), {{QStringLiteral("IMG_10.jpg"), "x"},
                                                             {QStringLiteral("img_9.jpg"), "x"},
                                                             {QStringLiteral("IMG_2.jpg"), "x"},
                                                             {QStringLiteral("b.txt"), "x"},
                                                             {QStringLiteral("A.txt"), "x"},
                                                             {QStringLiteral("IMG_100.jpg"), "x"},
                                                             {QStringLiteral("a.txt"), "x"},
                                                             {QStringLiteral("IMG_033.jpg"), "x"}});
    listFolder(dir);
    // Names equal but for case stay together, in one fixed order.
    const QStringList names = namesInListOrder(form);
    ASSERT_EQ(names.size(), 8);
    EXPECT_EQ(names.mid(0, 2).join(',').toLower(), QStringLiteral("a.txt,a.txt"));
    EXPECT_NE(names[0], names[1]);
    EXPECT_EQ(names.mid(2), (QStringList{"b.txt", "IMG_2.jpg", "img_9.jpg", "IMG_10.jpg",
                                         "IMG_033.jpg", "IMG_100.jpg"}));
    // The list shows them in that order.
    for (int i = 0; i < names.size(); ++i) {
        QString caption;
        int image = 0;
        form->PcListViewData(i, caption, image);
        EXPECT_EQ(caption, names[i]);
    }
    listFolder(makeFolder(QStringLiteral("other"), {{QStringLiteral("o.txt"), "o"}}));
    listFolder(dir);
    EXPECT_EQ(namesInListOrder(form), names);
}

TEST_F(LocalBrowser, AShiftJisNameIsListedShownInJapaneseAndOpenedByItsBytes)
{
    const QString dir = makeFolder(QStringLiteral("cdrom"), {{QStringLiteral("写真.txt"), "utf8"}});
    // 表 and ソ end in 0x5C; the name is no UTF-8.
    const QString japanese = QStringLiteral("表示ソフト_写真.jpg");
    const QByteArray sjis = toShiftJis(japanese);
    ASSERT_NE(sjis, japanese.toUtf8());
    writeRawFile(dir, sjis, JpegBytes(200, 100, qRgb(250, 0, 0)));
    // Bytes valid in neither: still listed, shown with replacement characters, still opened.
    const QByteArray broken("\xff\xfe"
                            "broken.jpg");
    writeRawFile(dir, broken, JpegBytes(20, 20, qRgb(0, 250, 0)));

    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 3u);
    const int index = entry(japanese);
    ASSERT_GE(index, 0) << namesInListOrder(form).join('|').toStdString();
    const TPcImages &e = form->PcImages[size_t(index)];
    EXPECT_EQ(e.RawName, sjis);
    EXPECT_EQ(form->PcImages[size_t(entry(QStringLiteral("写真.txt")))].RawName,
              QStringLiteral("写真.txt").toUtf8());
    QString caption;
    int image = 0;
    form->PcListViewData(index, caption, image);
    EXPECT_EQ(caption, japanese);

    drawRange(0, 2);
    EXPECT_TRUE(e.IsPicture);
    ASSERT_GE(e.ImageIndex, 3);
    for (const TPcImages &other : form->PcImages)
        if (other.RawName == broken) {
            EXPECT_TRUE(other.IsPicture);
            EXPECT_GE(other.ImageIndex, 3);
        }

    form->PcShowBigImage(index);
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(200, 100));
    EXPECT_GT(form->BigImage->Picture().pixelColor(100, 50).red(), 200);
}

TEST_F(LocalBrowser, APickDuringAHundredThousandFileListingRestartsIt)
{
    const QString big = makeFolder(QStringLiteral("big"), {});
    const QByteArray bytes = QFile::encodeName(big);
    for (int i = 0; i < 100000; ++i) {
        const QByteArray path = bytes + "/IMG_" + QByteArray::number(i) + ".JPG";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const QString small = makeFolder(QStringLiteral("small"), {{QStringLiteral("s.txt"), "s"}});

    // Undisturbed, the whole folder comes in name order.
    listFolder(big);
    ASSERT_EQ(form->PcImages.size(), 100000u);
    EXPECT_EQ(form->PcImages[1].Name, QStringLiteral("IMG_1.JPG"));
    EXPECT_EQ(form->PcImages[2].Name, QStringLiteral("IMG_2.JPG"));
    EXPECT_EQ(form->PcImages[10].Name, QStringLiteral("IMG_10.JPG"));
    EXPECT_EQ(form->PcImages[99999].Name, QStringLiteral("IMG_99999.JPG"));

    // A pick made some milliseconds into the listing stops it; the next tick lists the pick.
    listFolder(small);
    ASSERT_TRUE(form->PcTreeView->SelectPath(big));
    TraceCapture trace;
    bool picked = false;
    QTimer::singleShot(20, form, [&] {
        picked = form->PcLoadState == NOW_LOADING_PC;
        form->PcTreeView->SelectPath(small);
    });
    form->StopTimerPcBranch();
    EXPECT_TRUE(picked) << "the pick did not arrive while the listing ran";
    EXPECT_EQ(form->PcLoadState, STOPED_PC);
    EXPECT_TRUE(form->StopTimer->Enabled());
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
    EXPECT_EQ(trace.Count(QStringLiteral("Stop Loading")), 100000);
    form->StopTimerPcBranch();
    EXPECT_EQ(namesInListOrder(form), QStringList{QStringLiteral("s.txt")});
    EXPECT_FALSE(form->StopTimer->Enabled());
}

TEST_F(LocalBrowser, APreviewWhoseListingChangedMeanwhileShowsNothingElse)
{
    form->resize(800, 600);
    form->show();
    const QString dir = makeFolder(QStringLiteral("many"), {});
    for (int i = 0; i < 50; ++i)
        WriteTestFileForPreview(dir, i);
    const QString empty = makeFolder(QStringLiteral("empty"), {});
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 50u);
    // A listing of an empty folder runs inside the preview's message processing.
    QTimer::singleShot(0, form, [&] { form->PcLoad(empty); });
    form->PcShowBigImage(40);
    EXPECT_TRUE(form->PcImages.empty());
    EXPECT_TRUE(form->BigImage->Picture().isNull());
}
