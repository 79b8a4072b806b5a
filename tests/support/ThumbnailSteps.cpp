#include "tests/support/ThumbnailSteps.h"

#include "app/Unit1.h"
#include "platform/base/Timer.h"
#include "platform/graphics/DecodeWorker.h"

#include <QCoreApplication>
#include <QEventLoop>

void DrawStep(TForm1 &form)
{
    form.PcImageDrawTimer->setEnabled(false);
    form.PcImageDrawTimerTimer();
    while (form.DecodeWorker->Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
