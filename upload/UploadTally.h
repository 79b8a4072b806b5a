#pragma once
// What became of each picture of one upload batch, and the words the batch's end says about
// it: the completion message only when nothing failed, otherwise which pictures did not
// arrive, and how many the service's limit kept out.
#include "localbrowser/PcImages.h"

#include <QString>
#include <vector>

enum class UploadOutcome {
    Arrived,          // the POST ended with a success status and the service took the picture
    LimitReached,     // the service answered "OVER": it took no more, this picture included
    NotSent,          // left out because the service had answered "OVER" before
    Cancelled,        // left out because the user asked the batch to stop
    Unreadable,       // the file could not be read
    ConnectionFailed, // no connection, or it broke off or stalled past the client's time-out
    ErrorStatus,      // the service answered with an error status
    TransferFailed,   // any other failure of the request
};

// A picture that did not arrive through no choice of the user's or the service's: the user is
// told and may send it again.
bool IsUploadFailure(UploadOutcome outcome);

struct UploadTally {
    std::vector<TPcImages> Pictures;     // the batch, in the order it was sent
    std::vector<UploadOutcome> Outcomes; // one per picture

    // The pictures that failed, in batch order.
    std::vector<TPcImages> Failed() const;
    // Pictures the service's limit kept out: the one answered "OVER" and every later one.
    int LimitCount() const;
};

// The failure box's text for failed pictures of a batch of total: the count, at most ten names
// as the list shows them and "ほか n 個" for the rest, and the question to send them again.
QString UploadFailureText(int total, const std::vector<TPcImages> &failed);
// The notice after the service's "OVER", for count pictures kept out.
QString UploadLimitText(int count);
