// One upload request as the service receives it, and the bytes it stores.
#include "platform/HttpClient.h"
#include "platform/ShiftJis.h"
#include "session/LoginForm.h"
#include "tests/test_upload_fixture.h"
#include "upload/UploadRequest.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

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
    addFile("one.jpg", "\x7F");
    writeGeneratedFile(folder + "/five.jpg", 5 * 1000 * 1000, 5);
    writeGeneratedFile(folder + "/big.jpg", 200ll * 1000 * 1000, 200);
    listAndSelect(folder, {"one.jpg", "five.jpg", "big.jpg"}, {0, 1, 2});
    runUpload();

    const QList<StoredPicture> stored = service->uploads();
    ASSERT_EQ(stored.size(), 3);
    for (const StoredPicture &p : stored) {
        const QString local = folder + "/" + p.name;
        ASSERT_TRUE(QFileInfo::exists(local)) << p.name.toStdString();
        EXPECT_EQ(p.size, QFileInfo(local).size()) << p.name.toStdString();
        EXPECT_EQ(fileDigest(p.file), fileDigest(local)) << p.name.toStdString();
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
    service->reset();
    addFile("album.jpg", "album picture");
    listAndSelect(folder, {"album.jpg"}, {0});
    runUpload();

    const QList<RecordedRequest> sent = uploadRequests();
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].path, uploadPath().toUtf8());
    EXPECT_TRUE(sent[0].queryRaw.isEmpty());
    const QList<StoredPicture> stored = service->uploads();
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored[0].owner, QStringLiteral("album"));
    EXPECT_EQ(fileBytes(stored[0].file), "album picture");
}
