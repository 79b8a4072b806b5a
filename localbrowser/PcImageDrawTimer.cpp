// The thumbnail pipeline: one decode per tick, only inside the announced range.
#include "app/Unit1.h"
#include "localbrowser/ThumbnailGeometry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/system/FileNames.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"

#include <QScopeGuard>
#include <algorithm>

void TForm1::PcImageDrawTimerTimer()
{
    if (PcDrawing || DockTabSet1->TabIndex() != ViewIndex::Pc || PcListView->ItemsCount() == 0 ||
        PcHintEnd < PcHintStart)
        return;
    // A range announced before the last listing may reach past the entries now listed.
    const int last =
        std::min({PcHintEnd, static_cast<int>(PcImages.size()) - 1, PcListView->ItemsCount() - 1});
    // After the window moved to a screen of another pixel ratio, a thumbnail on screen is made
    // again at the new ratio, in its own slot, one per tick like any other.
    const qreal ratio = PcListView->devicePixelRatioF();
    for (int i = std::max(PcHintStart, 0); i <= last; ++i) {
        const TPcImages &entry = PcImages[static_cast<size_t>(i)];
        const bool undrawn = entry.ImageIndex == -1 && !entry.Drawn;
        const bool otherRatio = entry.ImageIndex >= 0 && entry.IsPicture &&
                                entry.ImageIndex < PcImageList->Count() &&
                                PcImageList->image(entry.ImageIndex).devicePixelRatio() != ratio;
        if (undrawn || otherRatio) {
            PcDispSmallImage(i);
            return;
        }
    }
}

void TForm1::PcDispSmallImage(int index)
{
    if (index < 0 || index >= static_cast<int>(PcImages.size()))
        return;
    PcDrawing = true;
    const auto done = qScopeGuard([this, index] {
        PcImages[static_cast<size_t>(index)].Drawn = true;
        PcDrawing = false;
    });

    TPcImages &entry = PcImages[static_cast<size_t>(index)];
    if (entry.IsFolder)
        return;
    TPicture picture;
    TBitmap work;
    // The square is 100 x 100 in the list's layout and holds ratio times as many pixels on a
    // scaled screen, drawn from the decoded picture; the placement stays in layout pixels.
    const qreal ratio = PcListView->devicePixelRatioF();
    bool made = false;
    try {
        picture.LoadFromLocalFile(FileSystemPath(entry.Folder, entry.NameBytes()));
        const int W = picture.Width(), H = picture.Height();
        const int side = ThumbnailSide(ratio);
        work.SetSize(side, side);
        entry.IsPicture = true;
        made = true;
        const TThumbnailPlacement place = ThumbnailPlacement(W, H);
        if (side == 100 && !place.Scaled)
            work.Canvas()->Draw(place.Rect.x(), place.Rect.y(), *picture.Graphic());
        else
            work.Canvas()->StretchDraw(ScaledToDevice(place.Rect, ratio), *picture.Graphic());
    } catch (...) {
        // Undecodable: silently no thumbnail and no longer a picture.
        entry.IsPicture = false;
    }
    if (!made)
        return;
    QImage thumbnail = work.Image();
    thumbnail.setDevicePixelRatio(ratio);
    if (entry.ImageIndex >= 0) {
        // Made again at another ratio: the entry keeps its slot and its stamp.
        PcImageList->Replace(entry.ImageIndex, thumbnail);
    } else if (PcStoreThumbnail(index, thumbnail) < 0) {
        return;
    }
    PcListView->UpdateItems(index, index);
}
