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

// The desktop is gone and the process ends as soon as this returns: keeps
// what would otherwise be lost without reaching any window.
void ShutdownWithoutDesktop();

// What the single-instance lock made of this start: the first instance on
// its Data folder; a later start whose note the running instance took; one
// that the running instance never answered; one that could not take or test
// the lock at all.
enum class Instance { First, HandedOver, Unreachable, Unlockable };
Instance AcquireSingleInstance(const std::u16string& lockFile);
int InitDefaultSettings();
bool RegisterNoteClass();
int CreateMainWindow(int showCommand);
void FreeNoteTable();
