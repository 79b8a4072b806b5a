// Seam until the online album lands: no folder list is fetched.
#include "app/Unit1.h"

void TForm1::BindAlbumEvents() {}
void TForm1::ResetAlbumState() {}
void TForm1::StopTimerAlbumBranch() {}
void TForm1::AlbumFolderLoad() {}
void TForm1::AcTUpFolderExecute() {}
void TForm1::ActReloadExecute() {}
