// The owner-data list's questions: an item's caption and picture, and the announced range.
#include "app/Unit1.h"

void TForm1::PcListViewData(int index, QString &caption, int &imageIndex)
{
    if (PcImages.empty() || index < 0 || index >= static_cast<int>(PcImages.size()))
        return;
    caption = PcImages[static_cast<size_t>(index)].Name;
    imageIndex = PcImages[static_cast<size_t>(index)].ImageIndex;
}

void TForm1::PcListViewDataHint(int start, int end)
{
    if (start != PcHintStart || end != PcHintEnd) {
        // Thumbnails dropped for want of a slot get another chance in the new range.
        for (int dropped : PcDroppedThumbnails)
            if (dropped < static_cast<int>(PcImages.size()) &&
                PcImages[static_cast<size_t>(dropped)].ImageIndex == -1)
                PcImages[static_cast<size_t>(dropped)].Drawn = false;
        PcDroppedThumbnails.clear();
    }
    PcHintStart = start;
    PcHintEnd = end;
}
