// Seam until the picture upload lands: the command sends nothing.
#include "app/Unit1.h"

void TForm1::ActFileUpLoadExecute() {}
