// Start-up, the message loop and shutdown of the program.
#pragma once

#include <string>

#include "platform/system.h"

// The whole life of the program: start, loop, shut down; returns the exit code.
int AppMain();

// Start-up up to the message loop. Returns true when the loop should run;
// otherwise exitCode holds the code to end with.
bool StartApp(int& exitCode);

// Frees the table (closing an open editor first) and releases the lock.
void ShutdownApp();

platform::InstanceLock AcquireSingleInstance(const std::u16string& name);
int InitDefaultSettings();
bool RegisterNoteClass();
int CreateMainWindow(int showCommand);
void FreeNoteTable();
