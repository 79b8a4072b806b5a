// Renders the main window and the guide to PNG files (for looking at them) and checks that
// what is drawn is more than an empty frame.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "tests/support/AppFixture.h"

#include <QDir>
#include <QImage>
#include <QPixmap>

namespace
{
int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return colours.size();
}
} // namespace

TEST_F(AppFixture, MainWindowAndGuideRender)
{
    start();
    form->resize(800, 560);
    form->show();
    program->Form3->show();
    pump(50);
    QImage window = form->grab().toImage();
    QImage guide = program->Form3->grab().toImage();
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        window.save(out + QStringLiteral("/main-window.png"));
        guide.save(out + QStringLiteral("/guide.png"));
    }
    EXPECT_EQ(guide.size(), QSize(393, 169));
    EXPECT_GT(distinctColours(window), 8);
    EXPECT_GT(distinctColours(guide), 8);
}

#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "tests/test_local_support.h"

using RenderedBrowser = LocalBrowser;

// A listed folder with drawn thumbnails and a selection, as the user sees it.
TEST_F(RenderedBrowser, ListedFolderShowsItsThumbnails)
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QRgb colours[] = {qRgb(200, 40, 40),  qRgb(40, 160, 60),  qRgb(40, 80, 200),
                            qRgb(230, 180, 30), qRgb(120, 40, 160), qRgb(30, 170, 170)};
    for (int i = 0; i < 12; ++i)
        files.emplace_back(QStringLiteral("写真%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')),
                           JpegBytes(i % 2 ? 480 : 640, i % 2 ? 640 : 480, colours[i % 6]));
    form->resize(900, 600);
    form->show();
    const QString folder = makeFolder(QStringLiteral("旅行"), files);
    listFolder(folder);
    pump(20);
    drawRange(0, 11);
    form->PcListView->setSelected(1, true);
    form->PcListView->setSelected(2, true);
    pump(50);
    QImage shot = form->grab().toImage();
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty())
        shot.save(out + QStringLiteral("/local-browser.png"));
    EXPECT_EQ(form->PcListView->ItemsCount(), 12);
    // The first thumbnail's centre shows its picture's colour, not the white of an empty slot.
    const QRect first =
        form->PcListView->visualRect(form->PcListView->QListView::model()->index(0, 0));
    const QPoint centre =
        form->PcListView->viewport()->mapTo(form, first.topLeft() + QPoint(first.width() / 2, 50));
    const QColor seen = shot.pixelColor(centre);
    EXPECT_NE(seen, QColor(Qt::white));
    EXPECT_LT(std::min({seen.red(), seen.green(), seen.blue()}), 100);
}

#include "session/LoginForm.h"

TEST_F(AppFixture, LoginDialogRenders)
{
    start();
    TLoginDialog *dialog = program->LoginDialog.get();
    dialog->show();
    pump(20);
    QImage shot = dialog->grab().toImage();
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty())
        shot.save(out + QStringLiteral("/login.png"));
    EXPECT_EQ(shot.size(), QSize(414, 186));
    EXPECT_GT(distinctColours(shot), 8);
}
