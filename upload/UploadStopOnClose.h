#pragma once
// What the upload does when the main window closes.
class TForm1;

// A running batch ends after its current picture (which finishes or fails, and is not sent
// again); no later picture is sent and the batch ends without a box.
void UploadStopOnClose(TForm1 &form);
