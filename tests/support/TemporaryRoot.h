#pragma once
// Every temporary file and folder of a test process goes below one folder of its own (TMPDIR),
// and a watcher process removes that folder once the test process has ended, however it
// ended: a crashed test runs no destructor of its temporary folders.

// Call first thing in main, while the process still has one thread (it forks the watcher).
void useTemporaryRootOfThisProcess();
