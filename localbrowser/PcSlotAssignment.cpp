// Slot assignment of a finished thumbnail: at most 80 thumbnails; when all slots are used,
// the earliest-filled one whose entry lies outside the announced range gives up its slot.
#include "app/Unit1.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"

namespace
{
// Where the search for the slot to give up starts: only stamps below it can be chosen.
constexpr int32_t SlotSearchStampLimit = 999999;
} // namespace

int TForm1::PcStoreThumbnail(int index, const QImage &thumbnail)
{
    TPcImages &entry = PcImages[static_cast<size_t>(index)];
    if (PcImgCache.Count() < MaxThumbnailSlots) {
        const int slot = PcImageList->Add(thumbnail);
        PcImgCache.Add(index, slot, PcImgCache.MaxStamp() + 1);
        entry.ImageIndex = slot;
        return slot;
    }
    // The lowest stamp among the records of entries outside the range. Going through the
    // records gives the same choice as scanning every entry: stamps are distinct, and each
    // entry owns at most one record.
    int32_t best = SlotSearchStampLimit;
    TImageListCache *chosen = nullptr;
    for (TImageListCache &record : PcImgCache.Records()) {
        const int j = record.ItemIndex;
        if (j < 0 || j >= static_cast<int>(PcImages.size()))
            continue;
        if (j >= PcHintStart && j <= PcHintEnd)
            continue;
        if (record.Stamp < best) {
            best = record.Stamp;
            chosen = &record;
        }
    }
    if (!chosen) {
        // More than 80 items on screen: no slot may be taken from a visible thumbnail. The new
        // thumbnail is dropped; the entry gets another try when the range changes.
        PcDroppedThumbnails.push_back(index);
        return -1;
    }
    const int slot = chosen->ImageIndex;
    TPcImages &loser = PcImages[static_cast<size_t>(chosen->ItemIndex)];
    loser.Drawn = false;
    loser.ImageIndex = -1;
    const int loserIndex = chosen->ItemIndex;
    PcImageList->Replace(slot, thumbnail);
    const int32_t stamp = PcImgCache.MaxStamp() + 1;
    chosen->ItemIndex = index;
    chosen->ImageIndex = slot;
    chosen->Stamp = stamp;
    entry.ImageIndex = slot;
    PcListView->UpdateItems(loserIndex, loserIndex);
    return slot;
}
