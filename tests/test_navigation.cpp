// The guide window: forward-only progress, redraws only on change, buttons at the ends.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "tests/support/AppFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

TEST(Guide, StartsOnPageZeroWithItsText)
{
    TForm3 guide;
    EXPECT_EQ(guide.windowTitle(), QStringLiteral("ルミナード ナビケーション"));
    EXPECT_EQ(guide.Page, 0);
    EXPECT_EQ(guide.ShownPage, 0);
    EXPECT_TRUE(guide.StaticText1->text().startsWith(QStringLiteral("まず始めに画面左側の")));
    EXPECT_FALSE(guide.Button2->isEnabled());
    EXPECT_TRUE(guide.Button1->isEnabled());
    EXPECT_EQ(guide.Button1->text(), QStringLiteral("次へ"));
    EXPECT_EQ(guide.Button2->text(), QStringLiteral("前へ"));
    EXPECT_EQ(guide.CheckBox1->text(), QStringLiteral("起動時に毎回表示する"));
    EXPECT_TRUE(guide.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(guide.Image1->Picture().isNull());
}

TEST(Guide, SetPageNeverMovesBackButPagingBackCanBeOvertaken)
{
    TForm3 guide;
    guide.SetPage(2);
    EXPECT_EQ(guide.Page, 2);
    guide.SetPage(1); // a later folder listing
    EXPECT_EQ(guide.Page, 2);
    guide.Button2Click();
    guide.Button2Click();
    EXPECT_EQ(guide.Page, 0);
    EXPECT_FALSE(guide.Button2->isEnabled());
    guide.SetPage(1);
    EXPECT_EQ(guide.Page, 1);
    EXPECT_TRUE(guide.StaticText1->text().startsWith(QStringLiteral("続いて、")));
}

TEST(Guide, EndsClampAndRedrawOnlyOnChange)
{
    TForm3 guide;
    // Every redraw puts a new picture into Image1; an unchanged page keeps the old one.
    const qint64 first = guide.Image1->Picture().cacheKey();
    guide.PageRefresh();
    EXPECT_EQ(guide.Image1->Picture().cacheKey(), first);
    guide.SetPage(3);
    const qint64 last = guide.Image1->Picture().cacheKey();
    EXPECT_NE(last, first);
    EXPECT_FALSE(guide.Button1->isEnabled());
    EXPECT_TRUE(guide.Button2->isEnabled());
    guide.Button1Click(); // past the end: clamped, not redrawn
    EXPECT_EQ(guide.Page, 3);
    EXPECT_EQ(guide.Image1->Picture().cacheKey(), last);
    EXPECT_FALSE(guide.Button1->isEnabled());
    EXPECT_TRUE(
        guide.StaticText1->text().startsWith(QStringLiteral("写真をプリントに追加し終わったら")));
}

TEST_F(AppFixture, ClosingTheGuideHidesItAndTheCommandBringsItBackAtItsPage)
{
    start();
    TForm3 *guide = program->Form3.get();
    guide->SetPage(2);
    guide->close();
    EXPECT_FALSE(guide->isVisible());
    form->ActShowNavigateWindow->Execute();
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->Page, 2);
}
