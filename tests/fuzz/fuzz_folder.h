// A program folder for the fuzz targets: made once per process, in memory
// when /dev/shm is there (every input is written to a file), with the
// store's globals pointing at it.
#pragma once

#include <string>

namespace fuzz {

// Makes the folder and its Data folder, sets the global paths, and returns
// the program folder's path.
const std::string& ProgramFolder();

// Writes bytes to a file, replacing it; aborts on failure (a fuzz run that
// cannot write its input tests nothing).
void WriteFile(const std::string& path, const std::string& bytes);

// Stops the run with a message when an invariant does not hold.
void Require(bool holds, const char* what);

}  // namespace fuzz
