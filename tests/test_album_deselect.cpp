// A Ctrl+click on the selected album folder, against the album the service really has.
#include "album/AlbumLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_album_support.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeWidget>

namespace
{
void ctrlClick(QTreeWidget *tree, QTreeWidgetItem *item)
{
    const QPoint at = tree->visualItemRect(item).center();
    QWidget *viewport = tree->viewport();
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::ControlModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::ControlModifier);
    QApplication::sendEvent(viewport, &release);
}
} // namespace

class AlbumDeselect : public AlbumFixture
{
protected:
    AlbumDeselect() { serviceArguments = {QStringLiteral("--seed-demo-album")}; }
};

TEST_F(AlbumDeselect, CtrlClickOnTheSelectedFolderLeavesTheTimerStopped)
{
    form->resize(800, 520);
    form->show();
    form->AlbumFolderLoad();
    ASSERT_TRUE(form->AlbumLoaded);
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    ASSERT_NE(top, nullptr);
    if (top->childCount() == 0)
        GTEST_SKIP() << "the service's demo account has no album folders (start "
                        "tovela-service with --seed-demo-album)";
    QTreeWidgetItem *folder = top->child(0);
    form->AlbumTreeView->setCurrentItem(folder);
    for (int tick = 0; tick < 10 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerAlbumBranch();
    ASSERT_FALSE(form->StopTimer->Enabled());
    ASSERT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    const size_t listed = form->PictureTable.size();
    ASSERT_TRUE(form->AcTUpFolder->Enabled());

    ctrlClick(form->AlbumTreeView, folder);
    ASSERT_TRUE(form->AlbumTreeView->selectedItems().isEmpty()) << "the click did not deselect";
    // No folder was picked: the timer stays off, the list and the command as they were.
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_EQ(form->PictureTable.size(), listed);
    EXPECT_TRUE(form->AcTUpFolder->Enabled());

    // Clicking it again is a pick: it is listed and the timer stops once more.
    ctrlClick(form->AlbumTreeView, folder);
    EXPECT_EQ(form->AlbumTreeView->selectedItems(), QList<QTreeWidgetItem *>{folder});
    EXPECT_TRUE(form->StopTimer->Enabled());
    for (int tick = 0; tick < 10 && form->StopTimer->Enabled(); ++tick)
        form->StopTimerAlbumBranch();
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(form->PictureTable.size(), listed);
}
