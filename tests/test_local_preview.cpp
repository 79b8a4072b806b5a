// The preview: lowest selected index, full size with the scroll bars at their start, the two
// ways back, failures, and scrolling by dragging.
#include "app/Unit1.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ScrollBox.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/TabSet.h"
#include "test_graphics_support.h"
#include "tests/test_local_support.h"

#include <QScrollBar>

class LocalPreview : public LocalBrowser
{
protected:
    void SetUp() override
    {
        LocalBrowser::SetUp();
        dir = makeFolder(QStringLiteral("preview"),
                         {{QStringLiteral("big.jpg"), EncodeJpeg(TestPattern(4000, 3000))},
                          {QStringLiteral("small.bmp"), BmpBytes(30, 20, qRgb(1, 2, 3))},
                          {QStringLiteral("medium.jpg"), JpegBytes(300, 200, qRgb(9, 9, 9))},
                          {QStringLiteral("notes.txt"), "text"}});
        form->resize(800, 600);
        form->show();
        listFolder(dir);
    }
    QString dir;
};

TEST_F(LocalPreview, LowestSelectedIndexIsShownAtFullSizeWithScrollBarsAtTheStart)
{
    form->PcListViewDblClick(); // nothing selected: nothing happens
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);

    const int big = entry(QStringLiteral("big.jpg"));
    const int medium = entry(QStringLiteral("medium.jpg"));
    form->PcListView->setSelected(std::max(big, medium), true);
    form->PcListView->setSelected(std::min(big, medium), true);
    form->PcListViewDblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    EXPECT_TRUE(form->BigImageView->isVisible());
    const QSize expected = big < medium ? QSize(4000, 3000) : QSize(300, 200);
    EXPECT_EQ(form->BigImage->Picture().size(), expected);
    EXPECT_EQ(form->BigImage->size(), expected);
    EXPECT_EQ(form->BigImage->pos(), QPoint(0, 0));
    EXPECT_EQ(form->ScrollBox1->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(form->ScrollBox1->verticalScrollBar()->value(), 0);
}

TEST_F(LocalPreview, TwoWaysBackAndUndecodableFiles)
{
    form->PcShowBigImage(entry(QStringLiteral("small.bmp")));
    ASSERT_EQ(form->BigImage->Picture().size(), QSize(30, 20));
    form->PcTreeView->setFocus();
    form->ScrollBox1DblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
    EXPECT_EQ(form->focusWidget(), static_cast<QWidget *>(form->PcTreeView));

    // A text file not yet drawn still counts as a picture: the view switches, picture kept.
    const int text = entry(QStringLiteral("notes.txt"));
    form->PcShowBigImage(text);
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(30, 20));
    form->BigImageDblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
    EXPECT_EQ(form->focusWidget(), static_cast<QWidget *>(form->PcListView));

    // After its draw step failed, it does not open the image view at all.
    drawRange(text, text);
    ASSERT_FALSE(form->PcImages[size_t(text)].IsPicture);
    form->PcShowBigImage(text);
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
}

TEST_F(LocalPreview, DraggingWithTheLeftButtonScrollsThePicture)
{
    form->PcShowBigImage(entry(QStringLiteral("big.jpg")));
    AppFixture::pump(50);
    QScrollBar *h = form->ScrollBox1->horizontalScrollBar();
    QScrollBar *v = form->ScrollBox1->verticalScrollBar();
    ASSERT_GT(h->maximum(), 100);
    ASSERT_GT(v->maximum(), 100);
    form->BigImageMouseDown(Qt::LeftButton, QPoint(500, 400));
    form->BigImageMouseMove(Qt::LeftButton, QPoint(440, 330));
    EXPECT_EQ(h->value(), 60);
    EXPECT_EQ(v->value(), 70);
    form->BigImageMouseUp(Qt::LeftButton, QPoint(440, 330));
    form->BigImageMouseMove(Qt::LeftButton, QPoint(0, 0)); // released: no more scrolling
    EXPECT_EQ(h->value(), 60);
    form->BigImageMouseDown(Qt::RightButton, QPoint(10, 10));
    form->BigImageMouseMove(Qt::RightButton, QPoint(0, 0));
    EXPECT_EQ(h->value(), 60);
    EXPECT_FALSE(form->BigImagePressed);
}
