// A file that replaces its destination only as a whole. It is written under a temporary name in
// the destination's folder and renamed over the destination at the end: a discard leaves whatever
// was there untouched, and a link at the destination is replaced, never written through. An append
// that cannot be written whole is cut back, so the file always ends after the last complete append
// (a full disk never leaves a torn line), and what was appended whole can still be committed.
//
// Opening never blocks: the temporary file is new, and the destination itself is never opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace files {

// What is at a path a file is about to replace.
enum class DestinationKind {
    Missing,     // nothing there (or the folder itself is missing; creating will tell)
    RegularFile, // a file, replaced as a whole
    Link,        // a symbolic link to a file or to nothing: the link is replaced
    Other,       // a folder, a named pipe, a device or a socket, or a link to one: never replaced
};
DestinationKind KindOfDestination(const std::string& path);

// The system's error number when no replacement file can be created beside `destination` (0
// when one can), found by creating one and discarding it: a destination that would fail only
// after a whole transfer is refused before anything is sent.
[[nodiscard]] int CreationError(const std::string& destination);

// `path` as UTF-8, the encoding of every message: paths are in the system's encoding, which on
// Windows is the ANSI code page.
std::string PathInMessage(const std::string& path);

// "Can not save "<path>".  " and, on the next line, `reason`, or the system's reason for `error`,
// in the language in use.
std::string CannotSaveMessage(const std::string& path, const std::string& reason);
std::string CannotSaveMessage(const std::string& path, int error);

class ReplacementFile {
public:
    ReplacementFile() = default;
    // Discards a file that was not committed.
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates a new, empty temporary file beside `destination`. False with Error() set.
    [[nodiscard]] bool Create(const std::string& destination);

    // Appends `size` bytes whole. When they cannot all be written, the file is cut back to its
    // size before the call and the call fails with Error() set; nothing is appended afterwards.
    [[nodiscard]] bool Append(const void* data, std::size_t size);

    // Writes the file through to the disk, closes it and renames it over the destination: the
    // appends that were written whole, also after a failed append. False with Error() set when
    // that cannot be done (or a failed append could not be cut back); the temporary file is then
    // removed and the destination left as it was.
    [[nodiscard]] bool Commit();

    // Closes and removes the temporary file; the destination stays as it was.
    void Discard();

    bool IsOpen() const;
    // The system's error number of the first failure (0 when none).
    int Error() const { return error_; }
    // The bytes appended whole so far.
    std::uint64_t Size() const { return size_; }
    const std::string& TemporaryPath() const { return temporaryPath_; }

private:
    void Fail(int error);

    std::string destination_;
    std::string temporaryPath_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    int error_ = 0;
    bool torn_ = false; // a failed append could not be cut back
};

} // namespace files
