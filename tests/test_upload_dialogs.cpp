// The upload's questions as real message boxes: the confirmation closed by the window system
// sends nothing, and the cancel question belongs to the progress window and stands above it.
#include "platform/widgets/Action.h"
#include "tests/support/RealBoxes.h"
#include "tests/test_upload_support.h"

#include <QPushButton>
#include <QWindow>

class UploadDialogs : public UploadFixture
{
};

TEST_F(UploadDialogs, ConfirmationClosedWithoutAButtonSendsNothing)
{
    startWith();
    addFile("a.jpg", "a");
    addFile("b.jpg", "b");
    listAndSelect(folder, {"a.jpg", "b.jpg"}, {0, 1});
    QWidget *owner = nullptr;
    RealBoxes dismiss([&](QMessageBox &box) {
        owner = box.parentWidget();
        box.reject(); // closed without any of its buttons
    });
    runUpload();
    EXPECT_EQ(dismiss.texts, QStringList{QStringLiteral("画像を送信します。宜しいですか？")});
    EXPECT_EQ(owner, form);
    EXPECT_FALSE(progressSeen);
    EXPECT_FALSE(form->UploadBusy);
    if (service->hooksAvailable()) {
        EXPECT_TRUE(uploadRequests().isEmpty());
    }
}

TEST_F(UploadDialogs, CancelQuestionIsOwnedByTheProgressWindowAndStandsAboveIt)
{
    startWith();
    TForm2 *progressWindow = form->Form2;
    form->show();
    progressWindow->show();
    pump(20);
    QWidget *owner = nullptr;
    bool onTop = false;
    bool transient = false;
    QPoint offset(1000, 1000);
    {
        RealBoxes look([&](QMessageBox &box) {
            owner = box.parentWidget();
            onTop = box.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            transient = box.windowHandle() &&
                        box.windowHandle()->transientParent() == progressWindow->windowHandle();
            offset = box.frameGeometry().center() - progressWindow->frameGeometry().center();
            box.button(QMessageBox::Ok)->click();
        });
        progressWindow->CancelButton->click();
        EXPECT_EQ(look.texts, QStringList{QStringLiteral("転送を中断しますか？")});
        EXPECT_EQ(owner, progressWindow);
        EXPECT_TRUE(onTop);
        EXPECT_TRUE(transient);
        // Centred on its owner (a few pixels of rounding and frame).
        EXPECT_LE(offset.manhattanLength(), 40) << offset.x() << "," << offset.y();
        EXPECT_TRUE(form->UploadCancel);
    }

    // The scripted boxes record the same owners: the progress window, else the main window.
    form->UploadCancel = false;
    dialogs->boxes.clear();
    progressWindow->CancelButton->click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].owner, progressWindow);
    progressWindow->Close();
    listAndSelect(folder, {}, {});
    dialogs->boxes.clear();
    runUpload();
    ASSERT_FALSE(dialogs->boxes.empty());
    EXPECT_EQ(dialogs->boxes[0].owner, form);
}
