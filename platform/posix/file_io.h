// What the POSIX file writers share: the one path by which every write(2)
// goes out, native paths, and flushing a folder so that a rename or a new
// name in it lasts. Also the two places where a test library looks in
// (platform/posix/testing/): the program leaves them as they are.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace platform::posix {

// The call by which WriteAll writes: write(2). A test library puts a write
// in its place that fails as a full disk would.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
extern WriteCall writeCall;

// Told of every completed whole-file replacement when set, on the thread
// that completed it (the disk writer's, too); nothing is set in the
// program, and a test library counts the saves of a file with it.
using ReplacedCall = void (*)(const std::u16string& path);
extern ReplacedCall replacedCall;

// Writes all of the bytes, in blocks of at most one page so that a large
// image takes several calls and a full disk can strike in the middle of it.
// False at the first failed write (errno tells why).
bool WriteAll(int fd, const std::string& bytes);

std::string NativePath(const std::u16string& path);

// The folder part of a native path: "." for a bare name, "/" at the root.
std::string FolderOf(const std::string& path);
// The name part of a native path: what follows its last '/'.
std::string NameOf(const std::string& path);

// Makes a rename or a new name in the folder durable. Some file systems
// cannot sync a folder; the change is already in place then, so this is
// best effort.
void SyncFolder(const std::string& folder);

}  // namespace platform::posix
