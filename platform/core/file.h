// Whole-file reading and writing, and path helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rymd {

// Reads the whole file into out. False (out emptied) when the file cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out);

// Writes data to a temporary file beside the target, flushes it to disk and renames it over
// the target, so the target holds either its old or its new content. On failure the old
// file is untouched and the temporary file is removed.
bool WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& data);

// The folder part of a path, with its trailing separator ('/' or '\\'); "" for a bare name.
std::string DirectoryOf(const std::string& path);

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace rymd
