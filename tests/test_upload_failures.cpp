// Bad input during a batch: a file that cannot be read, a service that drops the connection
// half-way through the body, a service error status. Each picture fails alone, the batch goes
// on, nothing on disk changes and the completion message follows.
#include "tests/test_upload_support.h"

#include <QDir>
#include <sys/stat.h>

class UploadFailures : public UploadFixture
{
};

TEST_F(UploadFailures, EachFailedPictureIsSkippedAndTheNextOneSent)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS(*service);
    QByteArray big(3 * 1000 * 1000, 'r');
    addFile("reset.jpg", big);
    addFile("error.jpg", "error picture");
    addFile("fine.jpg", "fine picture");
    // Listed while it was a file; a folder of that name now stands in its place.
    ASSERT_TRUE(QDir(folder).mkdir("unreadable.jpg"));
    // A pipe would never end: it must not be read at all.
    ASSERT_EQ(::mkfifo((folder + "/pipe.jpg").toLocal8Bit().constData(), 0600), 0);
    addFile("last.jpg", "last picture");
    const QStringList files{"reset.jpg", "error.jpg", "fine.jpg", "last.jpg"};
    QList<QByteArray> before;
    for (const QString &name : files)
        before << fileDigest(folder + "/" + name);
    const QStringList names{"reset.jpg",      "error.jpg", "fine.jpg",
                            "unreadable.jpg", "pipe.jpg",  "last.jpg"};

    CannedReply reset;
    reset.path = uploadPath();
    reset.resetMid = true;
    service->cannedReply(reset);
    service->cannedReply(uploadPath(), "ERROR", 500);
    listAndSelect(folder, names, {0, 1, 2, 3, 4, 5});
    runUpload();

    QStringList storedNames;
    for (const StoredPicture &p : service->uploads())
        storedNames << p.name;
    EXPECT_EQ(storedNames, (QStringList{"fine.jpg", "last.jpg"}));
    // Every picture got its turn: its progress was shown.
    EXPECT_EQ(progress.back().label, QStringLiteral("6個中 6個目を転送中..."));
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[1].text, CompletionText);
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(fileDigest(folder + "/" + files[i]), before[i]) << files[i].toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/unreadable.jpg").isDir());
    EXPECT_FALSE(form->UploadBusy);
    EXPECT_FALSE(form->Form2->isVisible());
}

TEST_F(UploadFailures, AServiceThatCannotBeReachedFailsEveryPictureQuietly)
{
    startWith();
    addFile("a.jpg", "a");
    addFile("b.jpg", "b");
    listAndSelect(folder, {"a.jpg", "b.jpg"}, {0, 1});
    form->ServiceHost = QStringLiteral("http://127.0.0.1:9"); // nothing listens there
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[1].text, CompletionText);
    EXPECT_EQ(progress.back().label, QStringLiteral("2個中 2個目を転送中..."));
    EXPECT_FALSE(form->UploadBusy);
}
