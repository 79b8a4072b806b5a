// One upload request as the service receives it, and the bytes it stores.
#include "platform/base/Timer.h"
#include "platform/net/HttpClient.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/TabSet.h"
#include "session/LoginForm.h"
#include "test_graphics_support.h"
#include "tests/support/ThumbnailSteps.h"
#include "tests/test_local_support.h"
#include "tests/test_upload_support.h"
#include "upload/UploadRequest.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>

class UploadWire : public UploadFixture
{
};

TEST_F(UploadWire, RequestHasTheFixedShapeAndTheFileUnchanged)
{
    startWith();
    // The literal's own length: its NUL byte is part of the picture, its terminator is not.
    const QByteArray bytes =
        QByteArrayLiteral("\xFF\xD8\xFF\xE0 binary \r\n--not a boundary\r\n\x00\x01 end");
    addFile("a.jpg", bytes);
    listAndSelect(folder, {"a.jpg"}, {0});
    runUpload();
    // What follows is the request as the service received it: only its record tells.
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "the request record");

    const QList<RecordedRequest> sent = uploadRequests();
    ASSERT_EQ(sent.size(), 1);
    const RecordedRequest &r = sent[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, uploadPath().toUtf8());
    EXPECT_TRUE(r.queryRaw.isEmpty());
    EXPECT_EQ(r.header("User-Agent"), HttpClient::UserAgent);
    EXPECT_EQ(r.header("Accept"), HttpClient::Accept);
    EXPECT_TRUE(r.header("Expect").isEmpty());
    // The client's cookie state as it is: one Cookie header carrying the session.
    ASSERT_EQ(r.headerValues("Cookie").size(), 1);
    QList<QByteArray> cookies;
    for (const QByteArray &cookie : r.header("Cookie").split(';'))
        cookies << cookie.trimmed();
    EXPECT_TRUE(cookies.contains("sid=" + form->SessionId.toUtf8())) << r.header("Cookie").data();
    const QByteArray type = r.header("Content-Type");
    EXPECT_TRUE(type.startsWith("multipart/form-data; boundary=")) << type.toStdString();
    EXPECT_EQ(r.bodySize, r.body.size());

    const QList<MultipartPart> parts = parseMultipart(type, r.body);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].header("Content-Disposition"), "form-data; name=\"mode\"");
    EXPECT_TRUE(parts[0].header("Content-Type").isEmpty());
    EXPECT_EQ(parts[0].data, "upload");
    EXPECT_EQ(parts[1].header("Content-Disposition"),
              "form-data; name=\"file1\"; filename=\"" + toShiftJis(folder + "/a.jpg") + "\"");
    EXPECT_EQ(parts[1].header("Content-Type"), "image/jpeg");
    EXPECT_EQ(parts[1].header("Content-Transfer-Encoding"), "binary");
    EXPECT_EQ(parts[1].data, bytes);
}

TEST_F(UploadWire, AJapaneseFolderPathArrivesAsShiftJisBytes)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "the request record: the filename's bytes");
    // 表 and ソ end in the byte 0x5C, the backslash, in Shift-JIS.
    const QString japanese = folder + QStringLiteral("/写真/表示ソフト 2008");
    const QString name = QStringLiteral("テスト画像.jpg");
    addFile(QStringLiteral("写真/表示ソフト 2008/") + name, "picture");
    listAndSelect(japanese, {name}, {0});
    runUpload();

    const QByteArray expected = toShiftJis(japanese + "/" + name);
    ASSERT_TRUE(expected.contains('\\'));
    ASSERT_NE(expected, (japanese + "/" + name).toUtf8());
    EXPECT_EQ(sentFileNames(), QList<QByteArray>{expected});
    const QList<StoredPicture> stored = service->uploads();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].name, name);
    EXPECT_EQ(fileBytes(stored[0].file), "picture");
}

TEST_F(UploadWire, PartTypeComesFromTheExtension)
{
    EXPECT_EQ(UploadContentType("/p/a.jpg"), "image/jpeg");
    EXPECT_EQ(UploadContentType("/p/A.JPEG"), "image/jpeg");
    EXPECT_EQ(UploadContentType("/p/a.png"), "image/png");
    EXPECT_EQ(UploadContentType("/p/a.bmp"), "image/bmp");
    EXPECT_EQ(UploadContentType("/p/a.unknownext"), "application/octet-stream");
    EXPECT_EQ(UploadContentType("/p.jpg/noextension"), "application/octet-stream");
    EXPECT_TRUE(IsLimitReply("OVER"));
    EXPECT_TRUE(IsLimitReply("OVER\r\nmore"));
    EXPECT_TRUE(IsLimitReply("OVER\nmore"));
    EXPECT_FALSE(IsLimitReply("OVER "));
    EXPECT_FALSE(IsLimitReply(" OVER"));
    EXPECT_FALSE(IsLimitReply("over"));
    EXPECT_FALSE(IsLimitReply(""));
    EXPECT_FALSE(IsLimitReply("OK\r\nOVER"));
}

TEST_F(UploadWire, StoredBytesEqualTheFilesFromOneByteToTwoHundredMegabytes)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    addFile("one.jpg", "\x7F");
    writeGeneratedFile(folder + "/five.jpg", 5 * 1000 * 1000, 5);
    writeGeneratedFile(folder + "/big.jpg", 200ll * 1000 * 1000, 200);
    listAndSelect(folder, {"one.jpg", "five.jpg", "big.jpg"}, {0, 1, 2});
    runUpload();

    // The order page serves each picture back as it was sent.
    const QList<OrderPageItem> stored = orderItems();
    ASSERT_EQ(stored.size(), 3);
    for (const OrderPageItem &p : stored) {
        const QString local = folder + "/" + p.name;
        ASSERT_TRUE(QFileInfo::exists(local)) << p.name.toStdString();
        const QByteArray served = service->get(p.imagePath);
        EXPECT_EQ(served.size(), QFileInfo(local).size()) << p.name.toStdString();
        EXPECT_EQ(QCryptographicHash::hash(served, QCryptographicHash::Sha256).toHex(),
                  fileDigest(local))
            << p.name.toStdString();
    }
    EXPECT_EQ(dialogs->texts().back(), CompletionText);
}

TEST_F(UploadWire, LoggedInTheSameRequestRegistersInTheAlbum)
{
    startWith();
    form->LoginDialog->EditEmail->setText(service->demoEmail());
    form->LoginDialog->EditPasswd->setText(service->demoPassword());
    ASSERT_TRUE(form->Login());
    ASSERT_TRUE(form->LoggedIn);
    // A name of this run's own: another service's album may hold earlier ones.
    const QString name = QStringLiteral("album-%1.jpg").arg(QDateTime::currentMSecsSinceEpoch());
    addFile(name, JpegBytes(64, 48, qRgb(200, 40, 40)));
    listAndSelect(folder, {name}, {0});
    runUpload();

    // The picture is in the album's top folder, shows whole, and is not in the print order.
    if (service->hooksAvailable()) {
        EXPECT_TRUE(orderNames().isEmpty());
    }
    form->DockTabSet1->setTabIndex(3);
    form->AlbumFolderLoad();
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    ASSERT_NE(top, nullptr);
    form->AlbumTreeView->setCurrentItem(top);
    for (int tick = 0; tick < 10 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerAlbumBranch();
    int index = -1;
    for (size_t i = 0; i < form->PictureTable.size(); ++i)
        if (form->PictureTable[i].Name == name)
            index = static_cast<int>(i);
    ASSERT_GE(index, 0) << "not in the album's top folder";
    dialogs->boxes.clear();
    form->AlbumShowBigImage(index);
    EXPECT_TRUE(dialogs->texts().empty());
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(64, 48));
}

TEST_F(UploadWire, APhotoStoredTurnedIsSentAsTheBytesOnDisk)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "the request record: the file's bytes");
    // A portrait as a phone stores it: on its side, with the orientation that turns it back.
    const QByteArray turned = TurnedJpeg(QSize(480, 640), 6);
    addFile("portrait.jpg", turned);
    listAndSelect(folder, {"portrait.jpg"}, {0});
    // Shown upright first: the thumbnail is turned, the file is not.
    form->PcListViewDataHint(0, 0);
    DrawStep(*form);
    ASSERT_NE(form->PcImages[0].ImageIndex, -1);
    EXPECT_TRUE(ShowsUprightScene(form->PcImageList->image(form->PcImages[0].ImageIndex),
                                  QRect(13, 0, 74, 99)));
    runUpload();

    const QList<RecordedRequest> sent = uploadRequests();
    ASSERT_EQ(sent.size(), 1);
    const QList<MultipartPart> parts = parseMultipart(sent[0].header("Content-Type"), sent[0].body);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[1].data, turned);
    EXPECT_EQ(fileBytes(folder + "/portrait.jpg"), turned);
}
