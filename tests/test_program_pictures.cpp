// The program's own pictures are decoded when first needed, and then show what the files hold.
#include "app/Unit3.h"
#include "platform/graphics/ResourceImages.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "session/LoginForm.h"

#include <QLabel>
#include <QPainter>
#include <gtest/gtest.h>

namespace
{
QImage premultiplied(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

TEST(ProgramPictures, DecodedWhenNeededAsTheFilesHoldThem)
{
    const QImage page1(QStringLiteral(":/guide/page1.png"));
    const QImage up(QStringLiteral(":/icons/up.png"));
    ASSERT_EQ(page1.size(), QSize(200, 150));

    // Image list slots: a resource of the list's size as it is, a smaller one from the top
    // left on transparency; a slot replaced before it was read keeps the replacement.
    TImageList list(200, 150);
    EXPECT_EQ(list.AddResource(QStringLiteral(":/guide/page1.png")), 0);
    EXPECT_EQ(list.AddResource(QStringLiteral(":/icons/up.png")), 1);
    EXPECT_EQ(list.AddResource(QStringLiteral(":/guide/page2.png")), 2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(premultiplied(list.image(0)), premultiplied(page1));
    const QImage fitted = premultiplied(list.image(1));
    EXPECT_EQ(fitted.size(), QSize(200, 150));
    EXPECT_EQ(fitted.copy(0, 0, 16, 16), premultiplied(up));
    EXPECT_EQ(fitted.pixel(100, 100), 0u);
    QImage red(200, 150, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    list.Replace(2, red);
    EXPECT_EQ(list.image(2), red);

    // Every picture has its double-density version, twice its size, for scaled screens; a
    // list hands it out above ratio 1 and puts both into the slot's icon.
    for (const char *name : {"thumbs/unknown", "thumbs/folder", "thumbs/folderup", "icons/up",
                             "icons/album", "icons/album_selected", "icons/addprint", "login/logo",
                             "guide/page0", "guide/page1", "guide/page2", "guide/page3"}) {
        const QString path = QStringLiteral(":/%1.png").arg(QLatin1String(name));
        const QImage plain = LoadResourceImage(path), doubled = LoadResourceImage(path, 2);
        EXPECT_EQ(doubled.size(), plain.size() * 2) << name;
        EXPECT_EQ(doubled.devicePixelRatio(), 2.0) << name;
        EXPECT_EQ(LoadResourceImage(path, 1.5).size(), doubled.size()) << name;
    }
    EXPECT_EQ(list.image(0, 2).size(), QSize(400, 300));
    EXPECT_EQ(list.image(0, 1), list.image(0));
    EXPECT_EQ(list.image(1, 2).deviceIndependentSize(), QSizeF(200, 150)) << "fitted at 2x";
    EXPECT_EQ(list.image(2, 2), red) << "a replaced slot has no other density";
    TImageList icons(16, 16);
    icons.AddResource(QStringLiteral(":/icons/up.png"));
    EXPECT_EQ(icons.Icon(0).pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    EXPECT_EQ(premultiplied(icons.Icon(0).pixmap(QSize(16, 16), 2.0).toImage()),
              premultiplied(LoadResourceImage(QStringLiteral(":/icons/up.png"), 2)));

    // The guide window shows a later page's picture on white when that page is reached.
    TForm3 guide;
    guide.Button1Click();
    QImage expected(200, 150, QImage::Format_RGB32);
    expected.fill(Qt::white);
    QPainter(&expected).drawImage(0, 0, page1);
    EXPECT_EQ(guide.Image1->Picture().convertToFormat(QImage::Format_RGB32), expected);

    // The window icon: its sizes and picture are those of the file.
    const QIcon icon = LazyResourceIcon({QStringLiteral(":/icons/tovela256.png")});
    EXPECT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(256, 256)});
    EXPECT_EQ(premultiplied(icon.pixmap(QSize(256, 256)).toImage()),
              premultiplied(QImage(QStringLiteral(":/icons/tovela256.png"))));
    EXPECT_TRUE(LazyResourceIcon({QStringLiteral(":/icons/none.png")}).pixmap(16, 16).isNull());

    // The login dialog's logo is on the panel's colour once the dialog is shown.
    TLoginDialog dialog;
    const QColor panel = dialog.palette().color(QPalette::Highlight);
    dialog.show();
    const QImage logo = dialog.Image1->pixmap().toImage();
    dialog.hide();
    ASSERT_EQ(logo.size(), QSize(106, 25));
    EXPECT_EQ(logo.pixelColor(0, 0), panel);
    EXPECT_NE(logo.pixelColor(0, 0), logo.pixelColor(53, 12)) << "the name is drawn";
}
