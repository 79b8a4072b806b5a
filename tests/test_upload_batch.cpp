// The upload command over loopback: what is sent, in which order, what the progress window
// shows, cancel, the service's limit, a second invocation, and the refusals before a batch.
#include "app/Unit3.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Action.h"
#include "tests/test_upload_support.h"

#include <QFile>
#include <QPushButton>

namespace
{

QString label(int total, int current)
{
    return QStringLiteral("%1個中 %2個目を転送中...").arg(total).arg(current);
}

} // namespace

class UploadBatch : public UploadFixture
{
protected:
    // n files p1.jpg ... with distinct bytes, all listed; those in selected are selected.
    void pictures(int n, const std::vector<int> &selected)
    {
        for (const QString &name : PictureNames(n))
            addFile(name, "bytes of " + name.toUtf8());
        listAndSelect(folder, PictureNames(n), selected);
    }
    void picturesAllSelected(int n)
    {
        std::vector<int> all;
        for (int i = 0; i < n; ++i)
            all.push_back(i);
        pictures(n, all);
    }
    QList<QByteArray> pathsOf(const QStringList &list)
    {
        QList<QByteArray> out;
        for (const QString &name : list)
            out << toShiftJis(folder + "/" + name);
        return out;
    }
    // Runs once, at the first "HTTP Post Start".
    void atFirstPost(std::function<void()> action)
    {
        onTrace = [this, action, done = false](const QString &line) mutable {
            traceLines.append(line);
            if (!done && line == QStringLiteral("HTTP Post Start")) {
                done = true;
                action();
            }
        };
    }
    // Queues a click of the cancel button: the user presses it while a request runs, and the
    // batch serves it at its next processing of messages.
    void queueCancelClick()
    {
        QPushButton *button = form->Form2->CancelButton;
        QMetaObject::invokeMethod(
            button, [button] { button->click(); }, Qt::QueuedConnection);
    }
    void expectEndState()
    {
        EXPECT_FALSE(form->UploadBusy);
        EXPECT_TRUE(form->UploadList.empty());
        EXPECT_FALSE(form->Form2->isVisible());
        EXPECT_TRUE(form->ActFileUp->Enabled());
        EXPECT_TRUE(form->ActGoAddPrint->Enabled());
        EXPECT_EQ(form->Form3->Page, 3);
    }
    void expectConfirmThenCompletion()
    {
        ASSERT_EQ(dialogs->boxes.size(), 2u) << dialogs->texts().back().toStdString();
        const auto &ask = dialogs->boxes[0];
        EXPECT_EQ(ask.text, QStringLiteral("画像を送信します。宜しいですか？"));
        EXPECT_EQ(ask.caption, QStringLiteral("確認"));
        EXPECT_EQ(ask.buttons, MsgButtons::OkCancel);
        EXPECT_EQ(ask.icon, MsgIcon::None);
        expectCompletion(dialogs->boxes[1]);
    }
    void expectCompletion(const ScriptedDialogs::Box &done)
    {
        EXPECT_EQ(done.text, CompletionText);
        EXPECT_EQ(done.caption, QStringLiteral("送信完了"));
        EXPECT_EQ(done.buttons, MsgButtons::Ok);
        EXPECT_EQ(done.icon, MsgIcon::Information);
    }
};

TEST_F(UploadBatch, TwoOfThreeSelectedGoInListOrderWithZeroThenHundred)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    pictures(3, {2, 0});
    bool busy = false, upEnabled = true, addEnabled = true;
    size_t snapshot = 0;
    atFirstPost([&] {
        busy = form->UploadBusy;
        upEnabled = form->ActFileUp->Enabled();
        addEnabled = form->ActGoAddPrint->Enabled();
        snapshot = form->UploadList.size();
    });
    runUpload();

    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p3.jpg"}));
    // Shown at once (design values), then before each picture.
    const std::vector<ProgressState> expected{
        {20, QString()}, {0, label(2, 1)}, {100, label(2, 2)}};
    EXPECT_EQ(progress, expected);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(upEnabled);
    EXPECT_FALSE(addEnabled);
    EXPECT_EQ(snapshot, 2u);
    expectConfirmThenCompletion();
    expectEndState();
    const QStringList one{"Start", "Form Data Create", "HTTP Post Start", "HTTP Post End"};
    EXPECT_EQ(traceLines, one + one);
}

TEST_F(UploadBatch, OnePictureShowsOneOfOneAtHundred)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    pictures(1, {0});
    runUpload();
    EXPECT_EQ(orderNames(), QStringList{"p1.jpg"});
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), (ProgressState{100, label(1, 1)}));
    expectConfirmThenCompletion();
}

TEST_F(UploadBatch, PercentagesTruncateOverTheBatch)
{
    startWith();
    picturesAllSelected(4);
    runUpload();
    // i / ((4 - 1) / 100): 0, 33.33.., 66.66.., 100.
    const std::vector<ProgressState> expected{{20, QString()},
                                              {0, label(4, 1)},
                                              {33, label(4, 2)},
                                              {66, label(4, 3)},
                                              {100, label(4, 4)}};
    EXPECT_EQ(progress, expected);
}

TEST_F(UploadBatch, OnlyUndecodableFilesSelectedStillConfirmsAndCompletes)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    pictures(2, {0, 1});
    for (TPcImages &entry : form->PcImages)
        entry.IsPicture = false; // their decoding failed
    runUpload();
    EXPECT_TRUE(orderNames().isEmpty());
    EXPECT_TRUE(progressSeen); // the window opened and closed again
    EXPECT_EQ(progress, (std::vector<ProgressState>{{20, QString()}}));
    expectConfirmThenCompletion();
    expectEndState();
}

TEST_F(UploadBatch, FoldersAndUndecodedEntriesAreLeftOutOfTheBatch)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    pictures(4, {0, 1, 2, 3});
    form->PcImages[1].IsFolder = true;
    form->PcImages[2].IsPicture = false;
    runUpload();
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p4.jpg"}));
    EXPECT_EQ(progress.back(), (ProgressState{100, label(2, 2)}));
}

TEST_F(UploadBatch, CancelDuringTheFirstOfFiveSendsOnlyThatOne)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(5);
    atFirstPost([this] { queueCancelClick(); });
    runUpload();
    EXPECT_EQ(orderNames(), QStringList{"p1.jpg"});
    // The skipped pictures show no progress.
    EXPECT_EQ(progress.back(), (ProgressState{0, label(5, 1)}));
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("転送を中断しますか？"));
    expectCompletion(dialogs->boxes[2]);
    expectEndState();
    // The next batch starts with the request cleared.
    dialogs->boxes.clear();
    onTrace = [this](const QString &line) { traceLines.append(line); };
    runUpload();
    EXPECT_EQ(orderNames().size(), 6);
}

TEST_F(UploadBatch, CancelPressedTwiceIsLikeOnce)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(5);
    atFirstPost([this] {
        queueCancelClick();
        queueCancelClick();
    });
    runUpload();
    EXPECT_EQ(orderNames().size(), 1);
    EXPECT_EQ(dialogs->boxes.size(), 4u);
    expectCompletion(dialogs->boxes.back());
}

TEST_F(UploadBatch, CancelQuestionAnsweredCancelLeavesTheBatchRunning)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(5);
    dialogs->onMessage = [](const ScriptedDialogs::Box &box) -> std::optional<MsgResult> {
        if (box.text == QStringLiteral("転送を中断しますか？"))
            return MsgResult::Cancel;
        return std::nullopt;
    };
    atFirstPost([this] { queueCancelClick(); });
    runUpload();
    EXPECT_EQ(orderNames().size(), 5);
    EXPECT_EQ(dialogs->boxes.size(), 3u);
}

TEST_F(UploadBatch, OverOnTheThirdOfFiveSendsThreeAndShowsAllFive)
{
    // The service takes two pictures per print order, then answers "OVER"; what was sent and
    // refused only the request record tells.
    startWith({QStringLiteral("--order-limit"), QStringLiteral("2")});
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "--order-limit and the request record");
    picturesAllSelected(5);
    runUpload();
    EXPECT_EQ(sentFileNames(), pathsOf({"p1.jpg", "p2.jpg", "p3.jpg"}));
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p2.jpg"}));
    const std::vector<ProgressState> expected{{20, QString()},   {0, label(5, 1)},
                                              {25, label(5, 2)}, {50, label(5, 3)},
                                              {75, label(5, 4)}, {100, label(5, 5)}};
    EXPECT_EQ(progress, expected);
    // No completion: the one refused and the two after it did not get into the order.
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(
        dialogs->boxes[1].text,
        QStringLiteral("ご注文頂ける枚数の上限に達したため、3個の画像は送信されませんでした。"));
    EXPECT_EQ(dialogs->boxes[1].caption, ApplicationTitle());
    EXPECT_EQ(dialogs->boxes[1].buttons, MsgButtons::Ok);
    expectEndState();
}

TEST_F(UploadBatch, OnlyAFirstLineOfExactlyOverStopsTheBatch)
{
    startWith();
    TOVELA_REQUIRE_TEST_HOOKS_FOR(*service, "canned replies and the request record");
    picturesAllSelected(3);
    service->cannedReply(uploadPath(), "over\r\n");
    service->cannedReply(uploadPath(), "OVER \r\n");
    service->cannedReply(uploadPath(), "OVER\r\nno more today");
    runUpload();
    EXPECT_EQ(uploadRequests().size(), 3); // the limit came with the last one
    service->reset();
    dialogs->boxes.clear();
    service->cannedReply(uploadPath(), "OVER\nsecond line");
    runUpload();
    EXPECT_EQ(uploadRequests().size(), 1);
}

TEST_F(UploadBatch, ASecondInvocationDuringTheBatchSaysBusyAndTheBatchGoesOn)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(3);
    bool toolBarShown = true;
    atFirstPost([&] {
        toolBarShown = form->ActFileUp->isShownEnabled();
        // The user picks the pop-up item while the first picture is on its way.
        QMetaObject::invokeMethod(
            form, [this] { form->ActFileUpLoad->Execute(); }, Qt::QueuedConnection);
    });
    runUpload();
    EXPECT_FALSE(toolBarShown);
    EXPECT_EQ(orderNames().size(), 3);
    ASSERT_EQ(dialogs->boxes.size(), 3u);
    EXPECT_EQ(dialogs->boxes[1].text, QStringLiteral("現在画像転送中です"));
    EXPECT_EQ(dialogs->boxes[1].caption, ApplicationTitle());
    expectCompletion(dialogs->boxes[2]);
    expectEndState();
}

TEST_F(UploadBatch, BrowsingDuringTheBatchDoesNotChangeWhatIsSent)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(3);
    atFirstPost([this] {
        QMetaObject::invokeMethod(
            form,
            [this] {
                // Another folder is listed meanwhile.
                addFile("other/x.jpg", "x");
                listAndSelect(folder + "/other", {"x.jpg"}, {});
            },
            Qt::QueuedConnection);
    });
    runUpload();
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p2.jpg", "p3.jpg"}));
}

TEST_F(UploadBatch, AFileDeletedAfterSelectionIsSkippedAndNamedAtTheEnd)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    picturesAllSelected(3);
    ASSERT_TRUE(QFile::remove(folder + "/p2.jpg"));
    dialogs->answers = {MsgResult::Ok, MsgResult::No};
    runUpload();
    EXPECT_EQ(orderNames(), (QStringList{"p1.jpg", "p3.jpg"}));
    EXPECT_EQ(progress.back(), (ProgressState{100, label(3, 3)}));
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_EQ(dialogs->boxes[1].text,
              QStringLiteral("3個中 1個の画像を送信できませんでした。\n\np2.jpg\n\n"
                             "送信できなかった画像をもう一度送信しますか？"));
    expectEndState();
}

TEST_F(UploadBatch, RefusalsBeforeTheBatchSendNothingAndStillMoveTheGuide)
{
    startWith();
    pictures(2, {});
    // Nothing selected.
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("画像を選択してください。"));
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("エラー"));
    EXPECT_EQ(dialogs->boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(dialogs->boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(form->Form3->Page, 3);

    // The confirmation answered Cancel.
    form->Form3->Page = 0;
    form->PcListView->setSelected(0, true);
    dialogs->boxes.clear();
    dialogs->answers = {MsgResult::Cancel};
    runUpload();
    EXPECT_EQ(dialogs->texts(), std::vector<QString>{"画像を送信します。宜しいですか？"});
    EXPECT_FALSE(progressSeen);
    EXPECT_EQ(form->Form3->Page, 3);

    // No session id could be had.
    form->Form3->Page = 0;
    form->SessionReady = false;
    dialogs->boxes.clear();
    runUpload();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("お使いのパソコンでは画像の転送が行えません。"));
    EXPECT_EQ(dialogs->boxes[0].caption, ApplicationTitle());
    EXPECT_EQ(form->Form3->Page, 3);

    // Nothing went out: the stand-in's record says so.
    if (service->hooksAvailable()) {
        EXPECT_TRUE(uploadRequests().isEmpty());
    }
    EXPECT_FALSE(form->UploadBusy);
}
