// The few file operations ReplacementFile needs, once per operating system
// (file_ops_posix.cpp, file_ops_win32.cpp). Each returns 0 or the system's error number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "files/replacement_file.h"

namespace files::ops {

// ENAMETOOLONG when the last part of `path` is longer than its folder takes, else 0: the
// temporary file's short name would fit where the destination's name, taken at the end, does not.
int NameTooLong(const std::string& path);
// Creates `path`, which must not exist yet, for writing; never blocks, never follows a link.
int CreateNew(const std::string& path, int* fd);
// Writes all `size` bytes; a partial write is an error (ENOSPC when the system gave no reason).
int WriteAll(int fd, const void* data, std::size_t size);
int Truncate(int fd, std::uint64_t size);
// Gives the new file `fd` the mode and, where the program may, the owner of the regular file at
// `destination`, which it is about to replace; nothing when there is none (or a link is there).
int TakeOverAttributes(int fd, const std::string& destination);
// Flushes the file's data to the disk.
int Sync(int fd);
int Close(int fd);
// Replaces `to` (a file or a link) by `from`.
int Rename(const std::string& from, const std::string& to);
void Remove(const std::string& path);
DestinationKind KindOf(const std::string& path);
// `path` (in the system's encoding) as UTF-8: unchanged on POSIX, whose paths are taken as UTF-8;
// converted from the ANSI code page on Windows.
std::string PathAsUtf8(const std::string& path);
// Whether two resolved folder entries are one name: the same text on POSIX, the same text but for
// case on Windows, whose file systems ignore it.
bool SameEntryName(const std::filesystem::path& first, const std::filesystem::path& second);

} // namespace files::ops
