// Whole-file reading and writing, and path helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rymd {

// The largest file ReadFileBytes takes when its caller names no limit of its own kind.
inline constexpr std::uint64_t kReadFileDefaultMaxBytes = std::uint64_t{1} << 30;

// Why a file could not be read whole.
enum class ReadFileError {
    kNone,
    kCannotOpen,  // missing, no permission, ...
    kNotAFile,    // a folder, a FIFO, a device node or a socket: only regular files are read
    kTooLarge,    // larger than the limit of its kind
    kReadFailed,  // an input/output error while reading
};

// Reads the whole of a regular file of at most maxBytes bytes into out (out emptied on failure).
// Anything else is refused without reading: opening a FIFO does not wait for a writer, and a
// device such as /dev/zero is never read.
ReadFileError ReadFile(const std::string& path, std::vector<std::uint8_t>& out,
                       std::uint64_t maxBytes = kReadFileDefaultMaxBytes);
// ReadFile, true when the file was read.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out,
                   std::uint64_t maxBytes = kReadFileDefaultMaxBytes);
// What ReadFile would say about the file, without reading it.
ReadFileError ProbeReadFile(const std::string& path, std::uint64_t maxBytes = kReadFileDefaultMaxBytes);
// The reason in words ("not a regular file", "larger than 64 MB", the system's error text); ""
// for kNone.
std::string ReadFileErrorText(const std::string& path, ReadFileError error, std::uint64_t maxBytes);
// Why the file at path cannot be read whole, in words (for a message after a failed read).
std::string WhyUnreadable(const std::string& path, std::uint64_t maxBytes);

// Writes data to the file at path. A symlink is followed to its final target, which is written
// in its place. When the target is a regular file or does not exist yet, the data goes to a
// temporary file (a short name in the target's folder), is flushed to disk and renamed over the
// target, so the target holds either its old or its new content; the old file's permissions are
// kept. Anything else (a FIFO, a device node) is written in place and never replaced; a FIFO
// without a reader fails instead of waiting. On failure a regular target is untouched and the
// temporary file is removed.
bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data);

// True when both paths name the same existing file (the same device and inode, symlinks
// followed), or are the same string.
bool SameFile(const std::string& a, const std::string& b);

// True when both paths name one file, whether or not it exists yet: SameFile, or the same place
// once each path is resolved (taken from the working folder, symlinks followed even when their
// target is not there yet, "." and ".." taken out). For outputs, which need not exist.
bool SamePlace(const std::string& a, const std::string& b);

// The folder part of a path, with its trailing separator ('/' or '\\'); "" for a bare name.
std::string DirectoryOf(const std::string& path);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace rymd
