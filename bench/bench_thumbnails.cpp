// (a) One thumbnail step (a tick handing the decode to the worker, decode, scale into
// 100 x 100, placed in a slot)
// for 640 x 480, 4000 x 3000 and 6000 x 4000 JPEGs, against the full decode alone and against
// `djpeg -bmp -outfile /dev/null` on the same file in the same run. Run it with
// QT_SCALE_FACTOR=2 for a screen of pixel ratio 2, where each thumbnail holds 200 x 200 pixels.
// The rows marked "turned" are the same pictures stored turned, with EXIF orientation 6 (a
// phone's portrait).
// (b) The turn alone, on a 6000 x 4000 picture decoded once: the stretch into the thumbnail
// square upright and turned, and the preview's full-size upright image.
#include "app/Unit1.h"
#include "bench_form.h"
#include "bench_pictures.h"
#include "localbrowser/ThumbnailGeometry.h"
#include "platform/base/Application.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/support/ThumbnailSteps.h"

#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const QString djpeg = DjpegProgram();
    if (djpeg.isEmpty())
        return 1;
    BenchForm bench;
    TForm1 *form = bench.Form();
    struct Size {
        int width, height, runs, orientation;
    } sizes[] = {{640, 480, 31, 0},
                 {4000, 3000, 7, 0},
                 {6000, 4000, 5, 0},
                 {4000, 3000, 7, 6},
                 {6000, 4000, 5, 6}};
    std::printf("screen pixel ratio %g\n", form->PcListView->devicePixelRatioF());
    std::printf("%-18s %14s %14s %14s %10s\n", "picture", "thumb step", "decode only", "djpeg -bmp",
                "step/djpeg");
    for (const Size &s : sizes) {
        const QString folder =
            bench.Home.path() +
            QStringLiteral("/%1x%2-%3").arg(s.width).arg(s.height).arg(s.orientation);
        QDir().mkpath(folder);
        const QString path = folder + QStringLiteral("/picture.jpg");
        WriteBenchJpeg(path, s.width, s.height, s.orientation);
        bench.List(folder);
        form->PcListViewDataHint(0, 0);
        if (form->PcImages.size() != 1) {
            std::fprintf(stderr, "listing of %s gave %zu entries\n", qPrintable(folder),
                         form->PcImages.size());
            return 1;
        }
        const double step = MedianMs(s.runs, [&] {
            form->PcImgCache.Clear();
            form->PcImages[0].ImageIndex = -1;
            form->PcImages[0].Drawn = false;
            DrawStep(*form);
            if (form->PcImages[0].ImageIndex < 0)
                std::abort();
        });
        const double decode = MedianMs(s.runs, [&] {
            TJPEGImage jpeg;
            jpeg.LoadFromFile(path);
        });
        const double theirs = MedianMs(s.runs, [&] {
            if (RunProgram(djpeg, {QStringLiteral("-bmp"), QStringLiteral("-outfile"),
                                   QStringLiteral("/dev/null"), path}) != 0)
                std::abort();
        });
        const QImage slot = form->PcImageList->image(form->PcImages[0].ImageIndex);
        std::printf("%5dx%-5d %-6s %11.2f ms %11.2f ms %11.2f ms %10.2f  (slot %dx%d)\n", s.width,
                    s.height, s.orientation ? "turned" : "", step, decode, theirs, step / theirs,
                    slot.width(), slot.height());
    }

    std::printf("\n%-18s %14s %14s\n", "6000x4000 decoded", "thumb stretch", "ToImage");
    for (int orientation : {1, 6}) {
        const QString path = bench.Home.path() + QStringLiteral("/turn-%1.jpg").arg(orientation);
        WriteBenchJpeg(path, 6000, 4000, orientation);
        TJPEGImage jpeg;
        jpeg.LoadFromFile(path);
        const TThumbnailPlacement place = ThumbnailPlacement(jpeg.Width(), jpeg.Height());
        const double stretch = MedianMs(21, [&] {
            TBitmap work;
            work.SetSize(100, 100);
            work.Canvas()->StretchDraw(place.Rect, jpeg);
            if (work.Image().isNull())
                std::abort();
        });
        const double whole = MedianMs(5, [&] {
            if (jpeg.ToImage().width() != jpeg.Width())
                std::abort();
        });
        std::printf("orientation %-6d %11.2f ms %11.2f ms\n", orientation, stretch, whole);
    }
    return 0;
}
