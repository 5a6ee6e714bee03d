// Files and folders. Files are real files in both backends; paths are UTF-16
// in the program and UTF-8 on disk.
//
// Whole-file writes commit by rename: the bytes go to a temporary file in
// the folder of the file they replace, which is flushed to the disk and then
// renamed over it, so a crash or a full disk leaves either the old file or
// the new one. Appends are whole or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class PathKind { Missing, File, Folder };
// What the path leads to, following symbolic links.
PathKind QueryPath(const std::u16string& path);

// True when anything at all bears the path's name: a file, a folder, a
// symbolic link (also one that leads nowhere), a device. A name that is
// taken cannot be given to a new file.
bool IsNameTaken(const std::u16string& path);

bool CreateFolder(const std::u16string& path);

// Why the last file or folder operation that failed on this thread failed,
// in the system's words (in the language of the user's locale where the
// system has it); to be read at once after the failure.
std::u16string LastFileErrorText();

// The names of the entries of a folder that are not folders, sorted; empty
// when the folder cannot be listed.
std::vector<std::u16string> ListFolderFiles(const std::u16string& folder);
bool DeleteFileAt(const std::u16string& path);

// Gives the file at the path (through a symbolic link, the file it leads
// to) a second name in one step, with nothing copied; false when the name
// is taken or the file system cannot (another disk). May run on any thread.
bool LinkFileAs(const std::u16string& path, const std::u16string& secondName);

// The largest file the program reads: far above the text of any note a
// person keeps (a note of 100 MB loads in seconds), and small enough that a
// stray huge file in Data cannot take the memory of the program.
inline constexpr std::uint64_t kLargestReadableFile = 256u << 20;

// The whole content of a regular file of at most kLargestReadableFile bytes;
// nullopt when it cannot be opened or read. Only regular files are read, and
// never by waiting: a FIFO, a device or a socket at the path, or a file too
// large, is not read, with a line on standard error that says why.
std::optional<std::string> ReadWholeFile(const std::u16string& path);

// Size in bytes of a regular file, or nullopt when it is none or cannot be
// opened for reading (opened as ReadWholeFile opens it, never waiting).
std::optional<std::uint64_t> FileSize(const std::u16string& path);

// Which file bears a name, and as written when: the file's device, inode,
// size and modification time. A file replaced by rename, or written again,
// has another stamp; a rename leaves a file's own stamp as it was.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
// The stamp of the file at the path (links followed); nullopt when none.
std::optional<FileStamp> StampOfFile(const std::u16string& path);

// Replaces the file's content whole, committing by rename. What the user set
// on the file stays: its permission bits (and its owner, where allowed), and
// a symbolic link stays a link: the file it leads to is replaced, in that
// file's own folder. A new file gets the usual mode for new files. Only a
// regular file is replaced: a FIFO or a device at the path (or where its
// links lead) is left alone and the write fails. False when any step fails;
// the previous file is then untouched.
bool WriteFileAtomically(const std::u16string& path, const std::string& bytes);

// The same for a file that takes the place of another one under a new name
// (a note's text moving to a fresh file): when the path names no file yet,
// the new file takes the permission bits and owner of `modelFile`, if that
// exists, instead of the usual mode for new files.
bool WriteFileAtomically(const std::u16string& path, const std::string& bytes, const std::u16string& modelFile);

// A whole-file replacement in two steps, so that the flush can happen on
// another thread than the write: StageFileReplacement writes the bytes to
// the temporary file beside the target (with the target's attributes, as
// above) and returns at once, so a full disk is known to the caller;
// CommitStagedFile flushes that file to the disk and renames it over the
// target; FlushFolderOf then makes the rename last. A staged file that will
// not be committed is discarded. Commit, flush and discard touch only the
// staged file and the folder, so they may run on any thread.
struct StagedFile {
    std::u16string path;  // the path the caller named
    std::string temp;     // the temporary file, native
    std::string target;   // the file it replaces, links followed, native
};
std::optional<StagedFile> StageFileReplacement(const std::u16string& path, const std::string& bytes,
                                               const std::u16string& modelFile = u"");
bool CommitStagedFile(const StagedFile& file);
// The stamp the staged file brings to its target's name when committed.
std::optional<FileStamp> StampOfStagedFile(const StagedFile& file);
void DiscardStagedFile(const StagedFile& file);
void FlushFolderOf(const StagedFile& file);

// Creates the file when missing and appends the bytes at its end, flushed to
// the disk. All or nothing: when any write fails (a full disk) the file is
// cut back to its old length, or removed again when this call created it.
bool AppendToFile(const std::u16string& path, const std::string& bytes);

// Removes from the folder the temporary files that whole-file writes leave
// when the process dies between creating and renaming them, and nothing
// else: only names of that writer's own pattern. The number removed.
int RemoveLeftoverTempFiles(const std::u16string& folder);

// The same beside the file that `file` leads to when it is a symbolic link
// (the writes of a linked file are made there), and there only for that
// file's own temporary files. 0 when it is no link.
int RemoveLeftoverTempFilesOf(const std::u16string& file);

// Makes the folder and whichever of its parents are missing, each one that
// is made open to its owner only (0700), as the user's data folders are.
// True when the folder exists afterwards.
bool CreateUserFolder(const std::u16string& path);

// Removes the folder when it is empty; a folder that still holds anything
// stays. False when it was not removed.
bool RemoveEmptyFolder(const std::u16string& path);

// The path with every symbolic link, "." and ".." resolved; nullopt when it
// leads nowhere.
std::optional<std::u16string> RealPath(const std::u16string& path);

}  // namespace platform
