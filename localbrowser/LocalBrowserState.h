#pragma once
// The local picture browser's state: the listing of the folder on display, the thumbnail slots
// and the preview's press tracking. The main window is composed of it; its widgets (PcListView,
// PcImageList, BigImage...) stay the window's own.
#include "localbrowser/ImgCache.h"
#include "localbrowser/PcImages.h"
#include "localbrowser/PcLoadState.h"

#include <QElapsedTimer>
#include <QPoint>
#include <cstdint>
#include <vector>

struct TLocalBrowserState {
    std::vector<TPcImages> PcImages;
    TLoadState PcLoadState = STOPED_PC;
    int32_t PcHintStart = 0;
    int32_t PcHintEnd = 0;
    bool PcDrawing = false; // a thumbnail of this listing is being decoded or waits to be placed
    uint32_t PcListing = 0; // counts listings: a decode asked for by an earlier one is not placed
    QElapsedTimer PcDecodeHanded; // when the last thumbnail decode was handed to the worker
    TImgCache PcImgCache;
    // Entries whose new thumbnail found no free slot (more than 80 items on screen): retried
    // once the list announces another range.
    std::vector<int> PcDroppedThumbnails;
    uint32_t PcPreviews = 0; // counts previews asked for: only the last one asked is shown
    // Preview press tracking; a left-button drag scrolls the picture.
    bool BigImagePressed = false;
    QPoint BigImagePressPos;
    QPoint BigImageScrollOrigin;

    // The values the start-up gives the local browser.
    void ResetLocalBrowserState();
};
