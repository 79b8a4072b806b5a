#pragma once
// What the album does when the main window closes.
class TForm1;

// A running picture-list load stops after its current request, and StopTimer lists nothing
// more.
void AlbumStopOnClose(TForm1 &form);
