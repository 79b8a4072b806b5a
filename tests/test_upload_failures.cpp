// Pictures that do not arrive: a file that cannot be read, a service that drops the connection
// half-way through the body, stalls or answers an error status, the service's limit. Each
// picture fails alone and the batch goes on; at its end the user hears which pictures did not
// arrive and may send exactly those again, and the completion message is said only when
// nothing failed.
#include "app/Unit3.h"
#include "platform/net/HttpClient.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Action.h"
#include "tests/test_upload_support.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <chrono>
#include <map>
#include <sys/stat.h>

namespace
{

QString label(int total, int current)
{
    return QStringLiteral("%1個中 %2個目を転送中...").arg(total).arg(current);
}

// lines: the names shown and, past ten, the count of the rest.
QString failureText(int total, int failed, const QStringList &lines)
{
    return QStringLiteral("%1個中 %2個の画像を送信できませんでした。\n\n").arg(total).arg(failed) +
           lines.join('\n') + QStringLiteral("\n\n送信できなかった画像をもう一度送信しますか？");
}

// A request as it went out, with its multipart boundary (libcurl draws a new one for every
// request) replaced by a fixed word: everything else must match byte for byte.
QByteArray withoutBoundary(const RecordedRequest &r)
{
    const QByteArray type = r.header("Content-Type");
    const QByteArray boundary = type.mid(type.indexOf("boundary=") + 9);
    QByteArray out = r.method + ' ' + r.path + '?' + r.queryRaw + '\n';
    for (const auto &[name, value] : r.headers)
        out += name + ": " + value + '\n';
    out += '\n' + r.body;
    if (!boundary.isEmpty())
        out.replace(boundary, "BOUNDARY");
    return out;
}

} // namespace

class UploadFailures : public UploadFixture
{
protected:
    // n pictures p1.jpg ... of distinct sizes and bytes, all listed and selected.
    QStringList picturesAllSelected(int n)
    {
        QStringList names;
        std::vector<int> all;
        for (int i = 1; i <= n; ++i) {
            names << QStringLiteral("p%1.jpg").arg(i);
            addFile(names.back(), QByteArray(100 * i, char('a' + i)) + names.back().toUtf8());
            all.push_back(i - 1);
        }
        listAndSelect(folder, names, all);
        return names;
    }
    // The k-th upload request (from 1) of the batch gets reply.
    void atRequest(int k, CannedReply reply)
    {
        reply.path = uploadPath();
        reply.after = k - 1;
        service->cannedReply(reply);
    }
    // Runs action once, as the n-th request (from 1) starts.
    void atPost(int n, std::function<void()> action)
    {
        onTrace = [this, n, action, seen = 0](const QString &line) mutable {
            traceLines.append(line);
            if (line == QStringLiteral("HTTP Post Start") && ++seen == n)
                action();
        };
    }
    void queueCancelClick()
    {
        QPushButton *button = form->Form2->CancelButton;
        QMetaObject::invokeMethod(
            button, [button] { button->click(); }, Qt::QueuedConnection);
    }
    // Name -> bytes of every picture the service holds.
    std::map<QString, QByteArray> stored()
    {
        std::map<QString, QByteArray> out;
        for (const StoredPicture &p : service->uploads())
            out[p.name] = fileBytes(p.file);
        return out;
    }
    QList<QByteArray> pathsOf(const QStringList &names)
    {
        QList<QByteArray> out;
        for (const QString &name : names)
            out << toShiftJis(folder + "/" + name);
        return out;
    }
    void expectFailureBox(const ScriptedDialogs::Box &box, int total, const QStringList &names,
                          int failed = -1)
    {
        EXPECT_EQ(box.text, failureText(total, failed < 0 ? int(names.size()) : failed, names));
        EXPECT_EQ(box.caption, QStringLiteral("送信エラー"));
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.icon, MsgIcon::Warning);
        EXPECT_EQ(box.owner, form);
    }
    void expectEndState()
    {
        EXPECT_FALSE(form->UploadBusy);
        EXPECT_TRUE(form->UploadList.empty());
        EXPECT_FALSE(form->Form2->isVisible());
        EXPECT_TRUE(form->ActFileUp->Enabled());
        EXPECT_EQ(form->Form3->Page, 3);
    }
};

TEST_F(UploadFailures, TwoFailuresAreNamedAndYesSendsExactlyThoseAgainAsTheyWentFirst)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned replies and the request record");
    const QStringList names = picturesAllSelected(8);
    // The third is answered with an error status; the sixth is never answered, and the client,
    // told to give up on a stalled transfer after a second, counts it as a failed connection.
    CannedReply error;
    error.status = 500;
    error.body = "ERROR";
    atRequest(3, error);
    CannedReply stall;
    stall.stall = true;
    atRequest(6, stall);
    form->IdHTTP1->setStallLimit(1, std::chrono::seconds(1));
    dialogs->answers = {MsgResult::Ok, MsgResult::Yes};
    runUpload();

    ASSERT_EQ(dialogs->boxes.size(), 3u) << dialogs->texts().back().toStdString();
    expectFailureBox(dialogs->boxes[1], 8, {"p3.jpg", "p6.jpg"});
    // Yes sent the two at once, without asking again, and that batch ended with completion.
    EXPECT_EQ(dialogs->boxes[2].text, CompletionText);
    EXPECT_EQ(dialogs->boxes[2].caption, QStringLiteral("送信完了"));
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[progress.size() - 2], (ProgressState{0, label(2, 1)}));
    EXPECT_EQ(progress.back(), (ProgressState{100, label(2, 2)}));
    expectEndState();

    // The service holds all eight, byte for byte.
    const std::map<QString, QByteArray> held = stored();
    ASSERT_EQ(held.size(), 8u);
    for (const QString &name : names)
        EXPECT_EQ(held.at(name), fileBytes(folder + "/" + name)) << name.toStdString();

    // Exactly the two went out again, each as it went the first time.
    const QList<RecordedRequest> sent = uploadRequests();
    ASSERT_EQ(sent.size(), 10);
    EXPECT_EQ(sentFileNames(), pathsOf(names + QStringList{"p3.jpg", "p6.jpg"}));
    EXPECT_EQ(withoutBoundary(sent[8]), withoutBoundary(sent[2]));
    EXPECT_EQ(withoutBoundary(sent[9]), withoutBoundary(sent[5]));
    EXPECT_NE(withoutBoundary(sent[8]), withoutBoundary(sent[9]));
}

TEST_F(UploadFailures, NoLeavesTheFailedPicturesUnsentAndAnUnreadableFileIsOneOfThem)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned replies and the request record");
    const QStringList names = picturesAllSelected(8);
    // The third is gone after listing; the sixth is cut off half-way through its body.
    ASSERT_TRUE(QFile::remove(folder + "/p3.jpg"));
    writeGeneratedFile(folder + "/p6.jpg", 3 * 1000 * 1000, 6);
    CannedReply drop;
    drop.resetMid = true;
    atRequest(5, drop); // the unreadable one never went out
    dialogs->answers = {MsgResult::Ok, MsgResult::No};
    runUpload();

    ASSERT_EQ(dialogs->boxes.size(), 2u);
    expectFailureBox(dialogs->boxes[1], 8, {"p3.jpg", "p6.jpg"});
    EXPECT_EQ(uploadRequests().size(), 7);
    QStringList held;
    for (const auto &[name, bytes] : stored())
        held << name;
    EXPECT_EQ(held, (QStringList{"p1.jpg", "p2.jpg", "p4.jpg", "p5.jpg", "p7.jpg", "p8.jpg"}));
    expectEndState();

    // Twelve failures: ten names as the list shows them, then how many more.
    service->reset();
    dialogs->boxes.clear();
    const QStringList twelve = picturesAllSelected(12);
    // The list's text for a name whose bytes are not UTF-8; the file opens by its bytes.
    form->PcImages[0].Name = QStringLiteral("表示名.jpg");
    form->PcImages[0].RawName = "p1.jpg";
    service->cannedReply(uploadPath(), "ERROR", 503, 0);
    dialogs->answers = {MsgResult::Ok, MsgResult::No};
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    QStringList shown = twelve.mid(0, 10);
    shown[0] = QStringLiteral("表示名.jpg");
    expectFailureBox(dialogs->boxes[1], 12, shown + QStringList{QStringLiteral("ほか 2 個")}, 12);
}

TEST_F(UploadFailures, TheLimitSaysHowManyWereNotSentAfterTheFailuresBeforeIt)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned replies and the request record");
    picturesAllSelected(8);
    // "OVER" to the fifth: it and the three after it are not in the order.
    CannedReply over;
    over.body = "OVER";
    atRequest(5, over);
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 2u) << dialogs->texts().back().toStdString();
    EXPECT_EQ(
        dialogs->boxes[1].text,
        QStringLiteral("ご注文頂ける枚数の上限に達したため、4個の画像は送信されませんでした。"));
    EXPECT_EQ(dialogs->boxes[1].caption, ApplicationTitle());
    EXPECT_EQ(dialogs->boxes[1].buttons, MsgButtons::Ok);
    EXPECT_EQ(uploadRequests().size(), 5);
    // Those after the limit still show their progress.
    EXPECT_EQ(progress.back().label, label(8, 8));
    expectEndState();

    // A failure before the limit is offered first; sent again, it meets the limit too.
    service->reset();
    dialogs->boxes.clear();
    CannedReply error;
    error.status = 500;
    atRequest(2, error);
    over.count = 0;
    atRequest(5, over);
    dialogs->answers = {MsgResult::Ok, MsgResult::Yes};
    runUpload();
    const auto texts = dialogs->texts();
    ASSERT_EQ(texts.size(), 4u);
    expectFailureBox(dialogs->boxes[1], 8, {"p2.jpg"});
    EXPECT_EQ(
        texts[2],
        QStringLiteral("ご注文頂ける枚数の上限に達したため、4個の画像は送信されませんでした。"));
    EXPECT_EQ(
        texts[3],
        QStringLiteral("ご注文頂ける枚数の上限に達したため、1個の画像は送信されませんでした。"));
    EXPECT_EQ(sentFileNames(),
              pathsOf({"p1.jpg", "p2.jpg", "p3.jpg", "p4.jpg", "p5.jpg", "p2.jpg"}));
    expectEndState();
}

TEST_F(UploadFailures, PicturesSkippedByCancelAreNoFailures)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned replies and the request record");
    picturesAllSelected(5);
    atPost(2, [this] { queueCancelClick(); });
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("転送を中断しますか？"));
    EXPECT_EQ(dialogs->boxes[2].text, CompletionText);
    EXPECT_EQ(uploadRequests().size(), 2);
    expectEndState();

    // A failure before the cancel is offered alone, and sending it again is not cancelled.
    service->reset();
    dialogs->boxes.clear();
    CannedReply error;
    error.status = 500;
    atRequest(1, error);
    atPost(2, [this] { queueCancelClick(); });
    dialogs->answers = {MsgResult::Ok, MsgResult::Ok, MsgResult::Yes};
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 4u);
    expectFailureBox(dialogs->boxes[2], 5, {"p1.jpg"});
    EXPECT_EQ(dialogs->boxes[3].text, CompletionText);
    EXPECT_EQ(sentFileNames(), pathsOf({"p1.jpg", "p2.jpg", "p1.jpg"}));
    expectEndState();
}

TEST_F(UploadFailures, EveryKindOfFailureIsSkippedAndNothingOnDiskChanges)
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
    dialogs->answers = {MsgResult::Ok, MsgResult::No};
    runUpload();

    QStringList storedNames;
    for (const StoredPicture &p : service->uploads())
        storedNames << p.name;
    EXPECT_EQ(storedNames, (QStringList{"fine.jpg", "last.jpg"}));
    // Every picture got its turn: its progress was shown.
    EXPECT_EQ(progress.back().label, label(6, 6));
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    expectFailureBox(dialogs->boxes[1], 6,
                     {"reset.jpg", "error.jpg", "unreadable.jpg", "pipe.jpg"});
    for (int i = 0; i < files.size(); ++i)
        EXPECT_EQ(fileDigest(folder + "/" + files[i]), before[i]) << files[i].toStdString();
    EXPECT_TRUE(QFileInfo(folder + "/unreadable.jpg").isDir());
    expectEndState();
}

TEST_F(UploadFailures, AServiceThatCannotBeReachedFailsEveryPicture)
{
    startWith();
    addFile("a.jpg", "a");
    addFile("b.jpg", "b");
    listAndSelect(folder, {"a.jpg", "b.jpg"}, {0, 1});
    form->ServiceHost = QStringLiteral("http://127.0.0.1:9"); // nothing listens there
    dialogs->answers = {MsgResult::Ok, MsgResult::No};
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    expectFailureBox(dialogs->boxes[1], 2, {"a.jpg", "b.jpg"});
    EXPECT_EQ(progress.back().label, label(2, 2));
    expectEndState();
}
