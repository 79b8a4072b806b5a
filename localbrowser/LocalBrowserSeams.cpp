// Seam until the local picture browser lands.
#include "app/Unit1.h"

void TForm1::BindLocalBrowserEvents() {}
void TForm1::ResetLocalBrowserState() {}
void TForm1::StopTimerPcBranch() {}
void TForm1::ActFileUpExecute()
{
    ActFileUpLoadExecute();
}
