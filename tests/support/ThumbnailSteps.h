#pragma once
// Thumbnail steps driven by hand: a test (or a benchmark) ticks the pipeline itself and needs
// the decode each tick hands over placed before it looks.
class TForm1;

// One tick of PcImageDrawTimer, then the wait for the decode it handed to the worker (if any)
// to come back and be placed. The window's own draw timer is stopped, so that the steps are
// the caller's alone.
void DrawStep(TForm1 &form);
