#include "localbrowser/LocalBrowserState.h"

void TLocalBrowserState::ResetLocalBrowserState()
{
    PcImages.clear();
    PcLoadState = STOPED_PC;
    PcHintStart = 0;
    PcHintEnd = 0;
    PcDrawing = false;
    ++PcListing;
    PcImgCache.Clear();
    PcDroppedThumbnails.clear();
    BigImagePressed = false;
}
