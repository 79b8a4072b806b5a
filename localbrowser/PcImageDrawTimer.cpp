// The thumbnail pipeline: one decode per tick, only inside the announced range.
#include "app/Unit1.h"
#include "localbrowser/ThumbnailGeometry.h"
#include "platform/Bitmap.h"
#include "platform/FileNames.h"
#include "platform/OwnerDataListView.h"
#include "platform/Picture.h"
#include "platform/TabSet.h"

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
    for (int i = std::max(PcHintStart, 0); i <= last; ++i) {
        const TPcImages &entry = PcImages[static_cast<size_t>(i)];
        if (entry.ImageIndex == -1 && !entry.Drawn) {
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
    bool made = false;
    try {
        picture.LoadFromLocalFile(FileSystemPath(entry.Folder, entry.NameBytes()));
        const int W = picture.Width(), H = picture.Height();
        work.SetSize(100, 100);
        entry.IsPicture = true;
        made = true;
        const TThumbnailPlacement place = ThumbnailPlacement(W, H);
        if (place.Scaled)
            work.Canvas()->StretchDraw(place.Rect, *picture.Graphic());
        else
            work.Canvas()->Draw(place.Rect.x(), place.Rect.y(), *picture.Graphic());
    } catch (...) {
        // Undecodable: silently no thumbnail and no longer a picture.
        entry.IsPicture = false;
    }
    if (!made)
        return;
    const int slot = PcStoreThumbnail(index, work.Image());
    if (slot < 0)
        return;
    PcListView->UpdateItems(index, index);
}
