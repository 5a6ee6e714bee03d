// A second process of the conformance binary itself, for the cases that need
// another instance of the program: it takes the single-instance lock, holds
// it until it is killed, or hands a request to the running instance, and
// reports by its exit code.
#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace conformance {

// The roles a child can play, as its first argument; the lock file second.
inline const std::string kAcquireLockRole = "--conformance-child-acquire-lock";
inline const std::string kHoldLockRole = "--conformance-child-hold-lock";
inline const std::string kHandOffRole = "--conformance-child-hand-off";

// Exit codes of the lock role.
inline constexpr int kChildAcquired = 0;
inline constexpr int kChildAlreadyExists = 1;
inline constexpr int kChildFailed = 2;
// Exit codes of the hand-off role.
inline constexpr int kChildQueued = 0;
inline constexpr int kChildNotNow = 1;

// The file that a child in the hold role makes once it holds the lock; it
// then waits to be killed.
std::string HeldMarker(const std::string& lockFile);

// When this process was started as a child, plays its role and sets the
// exit code; false for the test process itself.
bool RunChildRole(int argc, char** argv, int& exitCode);

// Starts this binary again with the arguments and waits for it to end,
// pumping this process's messages meanwhile (so that a hand-off to it can be
// served). Returns the child's exit code, or -1 when it could not run.
int RunChild(const std::vector<std::string>& arguments);
// Starts this binary again without waiting; the process id, or -1.
pid_t StartChild(const std::vector<std::string>& arguments);

// Whether another process shares this backend's single-instance lock: the
// simulated desktop lives inside one process.
bool LockIsSharedBetweenProcesses();

}  // namespace conformance
