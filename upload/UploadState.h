#pragma once
// The upload's state: whether a batch runs, the requests to end it, and the pictures it sends.
// The main window is composed of it; the progress window reaches the cancel request through it.
#include "localbrowser/PcImages.h"

#include <vector>

struct TUploadState {
    bool UploadBusy = false;   // a batch runs
    bool UploadCancel = false; // set by the progress window's cancel button
    bool UploadClosed = false; // the window closed while a batch ran: it ends without a word
    // The running batch: a snapshot of the pictures to send (Name and Folder only), taken
    // when the batch starts so that browsing meanwhile does not change it. Empty otherwise.
    std::vector<TPcImages> UploadList;

    void SetUploadCancel(bool value) { UploadCancel = value; }
};
