// The road of one order through the real browser: pick a folder, thumbnails are drawn, select
// everything, send with the tool bar button, and the order page lists what was sent.
#include "app/Unit3.h"
#include "platform/base/Timer.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/StatusBar.h"
#include "tests/support/ThumbnailSteps.h"
#include "tests/test_local_support.h"
#include "tests/test_upload_support.h"

class UploadRoad : public UploadFixture
{
};

TEST_F(UploadRoad, PickSelectSendAndTheOrderPageListsThePictures)
{
    startWith();
    TOVELA_REQUIRE_ORDER_PAGE_MARKUP(*service);
    const QByteArray sea = JpegBytes(320, 240, qRgb(0, 80, 200));
    const QByteArray forest = JpegBytes(200, 300, qRgb(20, 140, 40));
    addFile("road/sea.jpg", sea);
    addFile("road/forest.jpg", forest);
    addFile("road/notes.jpg", "not a picture at all");
    const QString road = folder + "/road";

    ASSERT_TRUE(form->PcTreeView->SelectPath(road));
    for (int tick = 0; tick < 5 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerPcBranch();
    ASSERT_EQ(form->PcImages.size(), 3u);
    // Draw every thumbnail: the text file loses its picture status.
    form->PcListViewDataHint(0, 2);
    for (int tick = 0; tick < 20; ++tick)
        DrawStep(*form);
    int notes = -1;
    for (size_t i = 0; i < form->PcImages.size(); ++i)
        if (form->PcImages[i].Name == "notes.jpg")
            notes = static_cast<int>(i);
    ASSERT_GE(notes, 0);
    ASSERT_FALSE(form->PcImages[static_cast<size_t>(notes)].IsPicture);

    // Ctrl+A, then the key's release counts the selection and enables the button.
    ASSERT_TRUE(form->PcListViewKeyDown(Qt::Key_A, Qt::ControlModifier));
    form->PcListViewKeyUp(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("2個選択中 "));
    ASSERT_TRUE(form->ActFileUp->isShownEnabled());
    ASSERT_TRUE(form->ActFileUp->Execute());

    // The order page, as the browser shows it, holds the two pictures with their bytes.
    QStringList stored;
    for (const OrderPageItem &item : orderItems()) {
        stored << item.name;
        EXPECT_EQ(service->get(item.imagePath), item.name == "sea.jpg" ? sea : forest)
            << item.name.toStdString();
    }
    stored.sort();
    EXPECT_EQ(stored, (QStringList{"forest.jpg", "sea.jpg"}));
    EXPECT_EQ(dialogs->texts().back(), CompletionText);
    EXPECT_EQ(form->Form3->Page, 3);
    EXPECT_TRUE(form->ActFileUp->Enabled());

    const QByteArray page = service->get("/wis/order.php?mode=select&sid=" + form->SessionId);
    EXPECT_EQ(page.count("class=\"order-item\""), 2);
    EXPECT_FALSE(page.contains("notes.jpg"));
}
