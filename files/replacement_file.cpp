#include "files/replacement_file.h"

#include <cerrno>
#include <filesystem>
#include <random>
#include <system_error>

#include "base/texts.h"
#include "files/file_ops.h"

namespace files {

namespace {

// A name in the destination's folder that no other writer is likely to pick; creation fails with
// EEXIST on a clash and is tried again with another one. The name is short and of fixed length,
// so that it fits wherever the destination's name fits (a folder takes names of 255 bytes).
std::string TemporaryNameFor(const std::string& destination) {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    static constexpr char kDigits[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string name = ".k720-";
    for (int i = 0; i < 12; ++i, value >>= 4) {
        name.push_back(kDigits[value & 0xF]);
    }
    name += ".tmp";
    return (std::filesystem::path(destination).parent_path() / name).string();
}

constexpr int kCreateAttempts = 16;

} // namespace

DestinationKind KindOfDestination(const std::string& path) {
    return ops::KindOf(path);
}

int CreationError(const std::string& destination) {
    ReplacementFile probe;
    return probe.Create(destination) ? 0 : probe.Error();
}

std::string PathInMessage(const std::string& path) {
    return ops::PathAsUtf8(path);
}

std::string CannotSaveMessage(const std::string& path, const std::string& reason) {
    return FillText(kMessages, K720_TEXT("Messages", "Can not save \"%1\".  \n%2"),
                    {PathInMessage(path), reason});
}

std::string CannotSaveMessage(const std::string& path, int error) {
    return CannotSaveMessage(path, std::generic_category().message(error));
}

ReplacementFile::~ReplacementFile() {
    Discard();
}

bool ReplacementFile::Create(const std::string& destination) {
    Discard();
    destination_ = destination;
    size_ = 0;
    error_ = 0;
    torn_ = false;
    if (const int tooLong = ops::NameTooLong(destination); tooLong != 0) {
        Fail(tooLong);
        return false;
    }
    int error = EEXIST;
    for (int attempt = 0; attempt < kCreateAttempts && error == EEXIST; ++attempt) {
        temporaryPath_ = TemporaryNameFor(destination);
        error = ops::CreateNew(temporaryPath_, &fd_);
    }
    if (error != 0) {
        temporaryPath_.clear();
        fd_ = -1;
        Fail(error);
        return false;
    }
    return true;
}

bool ReplacementFile::Append(const void* data, std::size_t size) {
    if (!IsOpen() || error_ != 0) {
        Fail(EBADF);
        return false;
    }
    if (const int error = ops::WriteAll(fd_, data, size); error != 0) {
        // Whatever part went out is taken back; should even that fail, the file is not committed.
        torn_ = ops::Truncate(fd_, size_) != 0;
        Fail(error);
        return false;
    }
    size_ += size;
    return true;
}

bool ReplacementFile::Commit() {
    if (!IsOpen()) {
        Fail(EBADF);
        return false;
    }
    int error = torn_ ? error_ : 0;
    if (error == 0) {
        error = ops::TakeOverAttributes(fd_, destination_);
    }
    if (error == 0) {
        error = ops::Sync(fd_);
    }
    const int closeError = ops::Close(fd_);
    fd_ = -1;
    if (error == 0) {
        error = closeError;
    }
    if (error == 0) {
        error = ops::Rename(temporaryPath_, destination_);
    }
    if (error != 0) {
        Fail(error);
        ops::Remove(temporaryPath_);
        temporaryPath_.clear();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void ReplacementFile::Discard() {
    if (fd_ >= 0) {
        (void)ops::Close(fd_);
        fd_ = -1;
    }
    if (!temporaryPath_.empty()) {
        ops::Remove(temporaryPath_);
        temporaryPath_.clear();
    }
}

bool ReplacementFile::IsOpen() const {
    return fd_ >= 0;
}

void ReplacementFile::Fail(int error) {
    if (error_ == 0) {
        error_ = error != 0 ? error : EIO;
    }
}

} // namespace files
