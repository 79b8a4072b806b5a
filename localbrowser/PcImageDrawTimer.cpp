// The thumbnail pipeline: one decode per tick, only inside the announced range. The decode runs
// on the decode worker; its result is placed when it comes back, after what it was asked for
// has been checked again, since the window went on meanwhile.
#include "app/Unit1.h"
#include "localbrowser/PcThumbnailDecode.h"
#include "platform/base/Timer.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/system/FileNames.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"

#include <algorithm>
#include <exception>
#include <memory>

namespace
{
void placeThumbnail(TForm1 &form, int index, const TPcThumbnail &thumbnail)
{
    // The list may have been cut short or scrolled away from the entry meanwhile; one out of
    // the announced range stays undrawn and is made again when it is announced again.
    if (index >= static_cast<int>(form.PcImages.size()) || index < form.PcHintStart ||
        index > form.PcHintEnd)
        return;
    TPcImages &entry = form.PcImages[static_cast<size_t>(index)];
    entry.Drawn = true;
    // Undecodable: silently no thumbnail and no longer a picture.
    entry.IsPicture = thumbnail.Made;
    if (!thumbnail.Made)
        return;
    if (entry.ImageIndex >= 0) {
        // Made again at another ratio: the entry keeps its slot and its stamp.
        form.PcImageList->Replace(entry.ImageIndex, thumbnail.Image);
    } else if (form.PcStoreThumbnail(index, thumbnail.Image) < 0) {
        return;
    }
    form.PcListView->UpdateItems(index, index);
}
} // namespace

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
    TPcImages &entry = PcImages[static_cast<size_t>(index)];
    if (entry.IsFolder) {
        entry.Drawn = true;
        return;
    }
    PcDrawing = true;
    PcDecodeHanded.start();
    const QByteArray path = FileSystemPath(entry.Folder, entry.NameBytes());
    const qreal ratio = PcListView->devicePixelRatioF();
    const uint32_t listing = PcListing;
    auto thumbnail = std::make_shared<TPcThumbnail>();
    DecodeWorker->Post([path, ratio, thumbnail] { *thumbnail = DecodePcThumbnail(path, ratio); },
                       [this, index, listing, thumbnail](std::exception_ptr error) {
                           PcPlaceSmallImage(index, listing, *thumbnail);
                           // A failure the decode does not drop goes on to the error boundary,
                           // after the pipeline has been freed for the next thumbnail.
                           if (error)
                               std::rethrow_exception(error);
                       });
}

void TForm1::PcPlaceSmallImage(int index, uint32_t listing, const TPcThumbnail &thumbnail)
{
    // A decode of an earlier listing: its entries are gone, and PcDrawing is the new one's.
    if (listing != PcListing)
        return;
    PcDrawing = false;
    placeThumbnail(*this, index, thumbnail);
    // A decode that outlasted the tick's interval held back the ticks that fell due meanwhile;
    // the next one runs now, as a late tick would.
    if (PcImageDrawTimer->Enabled() && PcDecodeHanded.elapsed() >= PcImageDrawTimer->Interval())
        PcImageDrawTimerTimer();
}
