// StopTimer, shared by the two views that list a folder: once the user has picked one, its
// tick starts the album picture-list load (album/AlbumLoad.cpp) or the local folder listing
// (localbrowser/PcLoad.cpp), whichever view is current, and stops itself once that load is
// done. Each branch keeps its own state byte (AlbumLoadState, PcLoadState).
#include "app/Unit1.h"

void TForm1::StopTimerExecute()
{
    StopTimerAlbumBranch();
    StopTimerPcBranch();
}
