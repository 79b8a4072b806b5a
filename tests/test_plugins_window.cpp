// The shipped plug-ins end to end through the real window: plug-ins switched on with their
// folder chosen in the folder dialog, a folder of PNG, GIF, TIFF, WebP, HEIC and AVIF files
// made by other tools gets thumbnails placed as for any picture and full-size previews, and the
// formats keep loading after plug-in use is switched off again.
#include "app/Unit1.h"
#include "platform/graphics/PictureFormats.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "spi/SPIBmp.h"
#include "tests/test_local_support.h"
#include "tests/test_plugins_support.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <iostream>

namespace
{
class PluginsWindow : public LocalBrowser
{
protected:
    void TearDown() override
    {
        LocalBrowser::TearDown();
        UnregisterGraphicClass(SPIBitmapClass());
    }
};

struct Sample {
    QString name;
    int width, height;
    QRect thumbnail; // where the thumbnail table puts it on the 100 x 100 square
    QRgb color;
    QString tool;        // the encoder the format needs
    QStringList options; // for cwebp and heif-enc; convert writes by the file's extension
    int tolerance;       // per sample: lossy formats move a flat colour a little
};

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}
} // namespace

TEST_F(PluginsWindow, ShippedFormatsGetThumbnailsAndPreviewsAlsoAfterPluginsAreSwitchedOff)
{
    // Landscape, portrait and smaller-than-a-thumbnail sizes, all rows of the thumbnail table.
    const std::vector<Sample> samples = {
        {"landscape.png", 150, 99, QRect(0, 17, 100, 66), qRgb(200, 30, 30), "convert", {}, 0},
        {"portrait.gif", 99, 150, QRect(17, 0, 66, 100), qRgb(0, 0, 255), "convert", {}, 0},
        {"small.tif", 99, 99, QRect(0, 0, 99, 99), qRgb(0, 128, 0), "convert", {}, 0},
        {"small.webp", 32, 32, QRect(34, 34, 32, 32), qRgb(40, 60, 200), "cwebp", {"-q", "90"}, 24},
        {"portrait.heic",
         480,
         640,
         QRect(13, 0, 74, 99),
         qRgb(220, 120, 20),
         "heif-enc",
         {"-q", "90"},
         24},
        // This libaom encodes opaque 4:2:2 input only.
        {"landscape.avif",
         800,
         600,
         QRect(0, 12, 100, 75),
         qRgb(30, 140, 160),
         "heif-enc",
         {"-A", "-q", "90", "-p", "chroma=422"},
         24},
    };
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    std::vector<std::pair<QString, QByteArray>> files;
    std::vector<Sample> made;
    for (const Sample &s : samples) {
        if (QStandardPaths::findExecutable(s.tool).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("convert")).isEmpty()) {
            std::cout << "[ SKIPPED  ] " << s.name.toStdString() << ": " << s.tool.toStdString()
                      << " is not installed\n";
            continue;
        }
        const QString flat = work.filePath(s.name + QStringLiteral(".source.png"));
        runTool(QStringLiteral("convert"),
                {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(s.width).arg(s.height),
                 QStringLiteral("xc:") + QColor(s.color).name(), QStringLiteral("PNG24:") + flat});
        const QString file = work.filePath(s.name);
        if (s.tool == QStringLiteral("convert"))
            runTool(s.tool, {flat, file});
        else
            runTool(s.tool, QStringList(s.options) << flat << QStringLiteral("-o") << file);
        files.push_back({s.name, readAll(file)});
        ASSERT_FALSE(files.back().second.isEmpty()) << s.name.toStdString();
        made.push_back(s);
    }
    ASSERT_FALSE(made.empty());

    dialogs->folders = {QStringLiteral(TOVELA_SHIPPED_PLUGIN_DIR)};
    form->ActSusiePlugin->Execute();
    ASSERT_TRUE(form->Spi);

    const QString dir = makeFolder(QStringLiteral("shipped"), files);
    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), made.size());
    drawRange(0, int(made.size()) - 1);

    for (const Sample &s : made) {
        SCOPED_TRACE(s.name.toStdString());
        const TPcImages &e = form->PcImages[size_t(entry(s.name))];
        ASSERT_TRUE(e.IsPicture);
        ASSERT_NE(e.ImageIndex, -1);
        const QImage thumb = form->PcImageList->image(e.ImageIndex);
        ASSERT_EQ(thumb.size(), QSize(100, 100));
        // Inside the table's rectangle the picture's colour, outside it plain white.
        const QRect rect = s.thumbnail;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                const QRgb c = thumb.pixel(x, y);
                if (rect.contains(x, y))
                    ASSERT_TRUE(near(c, s.color, s.tolerance + 2))
                        << x << "," << y << " " << QColor(c).name().toStdString();
                else
                    ASSERT_EQ(c, qRgb(255, 255, 255)) << x << "," << y;
            }
        EXPECT_TRUE(near(thumb.pixel(rect.center()), s.color, s.tolerance));
    }

    const QImage window = form->grab().toImage();
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        window.save(out + QStringLiteral("/plugins-shipped-formats.png"));
    }

    // A double click shows each picture at its own size.
    for (const Sample &s : made) {
        SCOPED_TRACE(s.name.toStdString());
        form->PcListView->ClearSelection();
        form->PcListView->setSelected(entry(s.name), true);
        form->PcListViewDblClick();
        EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
        const QImage shown = form->BigImage->Picture();
        ASSERT_EQ(shown.size(), QSize(s.width, s.height));
        EXPECT_TRUE(near(shown.pixel(s.width / 2, s.height / 2), s.color, s.tolerance));
        form->BigImageDblClick(); // back to the listing
        EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
    }

    // Switched off, the formats still load for the rest of the run: a fresh listing of a new
    // folder draws every thumbnail again.
    form->ActSusiePlugin->Execute();
    ASSERT_FALSE(form->Spi);
    const QString again = makeFolder(QStringLiteral("again"), files);
    listFolder(again);
    ASSERT_EQ(form->PcImages.size(), made.size());
    drawRange(0, int(made.size()) - 1);
    for (const Sample &s : made) {
        SCOPED_TRACE(s.name.toStdString());
        const TPcImages &e = form->PcImages[size_t(entry(s.name))];
        EXPECT_TRUE(e.IsPicture);
        ASSERT_NE(e.ImageIndex, -1);
        const QImage thumb = form->PcImageList->image(e.ImageIndex);
        const QRect rect = s.thumbnail;
        EXPECT_TRUE(near(thumb.pixel(rect.center()), s.color, s.tolerance));
    }
}
