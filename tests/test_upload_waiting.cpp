// A picture's POST waits on the network worker while the window goes on processing its events:
// timers fire, the cancel button and a second upload command are served during the transfer,
// and a close during it ends the batch after that picture without sending anything again.
#include "platform/widgets/Action.h"
#include "tests/test_upload_support.h"

#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace
{
} // namespace

class UploadWaiting : public UploadFixture
{
protected:
    // n pictures, all selected; the POST of picture slow (from 1) is answered by the service's
    // own logic, but only after a long pause once its body is in.
    void picturesWithSlowPost(int n, int slow)
    {
        std::vector<int> all;
        for (int i = 0; i < n; ++i) {
            addFile(PictureNames(n)[i], "bytes of picture " + QByteArray::number(i + 1));
            all.push_back(i);
        }
        listAndSelect(folder, PictureNames(n), all);
        CannedReply pause;
        pause.path = uploadPath();
        pause.pass = true;
        pause.after = slow - 1;
        pause.delayMs = 1500;
        service->cannedReply(pause);
    }

    // Counts the ticks of a 5 ms timer that fire while a POST waits, and runs action once,
    // 200 ms into the POST of picture slow; whether that POST was still waiting then is kept.
    void duringPost(int slow, std::function<void()> action)
    {
        ticker.setInterval(5);
        QObject::connect(&ticker, &QTimer::timeout, form, [this] {
            if (inPost)
                ++ticksInPost;
        });
        ticker.start();
        onTrace = [this, slow, action](const QString &line) {
            traceLines.append(line);
            if (line == QStringLiteral("HTTP Post Start")) {
                inPost = true;
                if (++posts == slow)
                    QTimer::singleShot(200, form, [this, action] {
                        actedInPost = inPost;
                        action();
                    });
            } else if (line == QStringLiteral("HTTP Post End")) {
                inPost = false;
            }
        };
    }

    QTimer ticker;
    bool inPost = false;
    bool actedInPost = false;
    int posts = 0;
    int ticksInPost = 0;
};

TEST_F(UploadWaiting, CancelAndASecondCommandDuringAPostAreServedAndTheBatchStopsAfterIt)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesWithSlowPost(4, 2);
    duringPost(2, [this] {
        form->ActFileUpLoad->Execute();
        form->Form2->CancelButton->click();
    });
    runUpload();
    ASSERT_TRUE(actedInPost);
    // The window's timers went on firing while the picture travelled.
    EXPECT_GT(ticksInPost, 20);
    // The picture in flight arrived and counts; the later ones were skipped.
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p2.jpg"}));
    EXPECT_EQ(uploadRequests().size(), 2);
    ASSERT_EQ(dialogs->boxes.size(), 4u) << dialogs->texts().back().toStdString();
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("現在画像転送中です"));
    EXPECT_EQ(dialogs->boxes[2].text, QStringLiteral("転送を中断しますか？"));
    EXPECT_EQ(dialogs->boxes[3].text, CompletionText);
    const QStringList one{"Start", "Form Data Create", "HTTP Post Start", "HTTP Post End"};
    EXPECT_EQ(traceLines, one + one);
    EXPECT_FALSE(form->UploadBusy);
    EXPECT_FALSE(form->Form2->isVisible());
    EXPECT_TRUE(form->ActFileUp->Enabled());
}

TEST_F(UploadWaiting, WindowClosedDuringAPostEndsTheBatchAfterItSilentlyAndWritesTheSettings)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesWithSlowPost(4, 2);
    form->show();
    QFile::remove(iniPath());
    duringPost(2, [this] { form->close(); });
    runUpload();
    ASSERT_TRUE(actedInPost);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Form2->isVisible());
    EXPECT_TRUE(readIni().contains("KvoSessionId=" + form->SessionId.toLatin1()))
        << readIni().constData();
    // The picture in flight arrived whole, once; nothing after it went out, and no box spoke
    // to a window that is gone.
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p2.jpg"}));
    ASSERT_EQ(dialogs->boxes.size(), 1u) << dialogs->texts().back().toStdString();
    EXPECT_FALSE(form->UploadBusy);
    EXPECT_TRUE(form->UploadList.empty());
    pump(300);
    EXPECT_EQ(uploadRequests().size(), 2);
    EXPECT_EQ(traceLines.count(QStringLiteral("HTTP Post End")), 2);
}
