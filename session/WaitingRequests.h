#pragma once
// The album's requests wait on the network worker (platform/net/NetworkWorker.h) while the window
// goes on processing its events; start-up's login, the logout and the folder list keep the
// blocking TForm1::GetHTTP. TForm1::GetHTTPBin always waits on the worker: only the album's
// thumbnails and pictures use it.
#include <QString>

class TForm1;

// TForm1::GetHTTP's request, refusal check and communication message, the reply waited for
// on the network worker.
QString GetHTTPWaiting(TForm1 &form, const QString &url);
