// The disk writer: one thread of the program's own that runs the work
// handed to it, one piece after the other in the order handed, so that the
// flushes of the files (which take seconds on a slow disk) happen where no
// key, click or paint waits for them. The work brings everything it needs
// with it (bytes, paths) and shares nothing with the program's thread but
// what it guards itself; what it has to tell the program goes back through
// RunOnMainThread.
//
// On the desktop the writer has its thread from InitPlatform on; on the
// headless backend the work runs at once, inside RunOnWriter, so that
// behaviour tests stay deterministic (unless a test starts the thread).
#pragma once

#include <functional>

namespace platform {

// Gives the writer its own thread: the desktop backend's start-up calls
// it; a test on the headless backend may too (what a kill leaves while a
// flush is under way).
void StartWriterThread();

// Runs `work` on the writer after all the work handed to it before.
void RunOnWriter(std::function<void()> work);

// Runs `work` on the program's own thread at the next turn of its message
// loop (a nested one too). For the writer's results; callable from any
// thread.
void RunOnMainThread(std::function<void()> work);

// Waits until all the work handed to the writer so far has run, and ends
// its thread: later work runs at once, as on the headless backend. The
// program's end calls it before the Data folder's lock goes, so that every
// save has reached the disk.
void FinishWriter();

}  // namespace platform
