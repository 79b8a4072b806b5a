// Seam until the plug-in host lands: no plug-in is loaded, the command changes nothing.
#include "app/Unit1.h"

void TForm1::SetSpi() {}
void TForm1::ActSusiePluginExecute() {}
