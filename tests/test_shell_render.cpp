// Renders the main window and the guide to PNG files (for looking at them) and checks that
// what is drawn is more than an empty frame.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "tests/AppFixture.h"

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
