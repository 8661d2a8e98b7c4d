#include "app/settings_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "app/user_folders.h"
#include "base/version.h"
#include "files/replacement_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t kLongLength = 0xFF;           // a longer length follows
constexpr std::uint16_t kUnicodeMark = 0xFFFE;       // a wide string follows: not ours
constexpr std::uint16_t kLongerLength = 0xFFFF;      // a 32-bit length follows
constexpr std::uint32_t kTooLongLength = 0xFFFFFFFF; // a 64-bit length follows: not ours
// Far beyond any real settings file; a bigger file is not one of ours.
constexpr std::uintmax_t kMaxFileSize = 1 << 20;

class ByteWriter {
public:
    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value) {
        U8(static_cast<std::uint8_t>(value));
        U8(static_cast<std::uint8_t>(value >> 8));
    }
    void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void String(std::string_view text) {
        const std::size_t length = text.size();
        if (length < kLongLength) {
            U8(static_cast<std::uint8_t>(length));
        } else if (length < kUnicodeMark) {
            U8(kLongLength);
            U16(static_cast<std::uint16_t>(length));
        } else {
            U8(kLongLength);
            U16(kLongerLength);
            U32(static_cast<std::uint32_t>(length));
        }
        bytes_.insert(bytes_.end(), text.begin(), text.end());
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Reads fields front to back; every read fails once the bytes run out.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool U8(std::uint8_t* value) {
        if (next_ >= bytes_.size()) {
            return false;
        }
        *value = bytes_[next_++];
        return true;
    }
    bool U16(std::uint16_t* value) {
        std::uint8_t low = 0;
        std::uint8_t high = 0;
        if (!U8(&low) || !U8(&high)) {
            return false;
        }
        *value = static_cast<std::uint16_t>(low | (high << 8));
        return true;
    }
    bool U32(std::uint32_t* value) {
        std::uint16_t low = 0;
        std::uint16_t high = 0;
        if (!U16(&low) || !U16(&high)) {
            return false;
        }
        *value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
        return true;
    }
    bool I32(std::int32_t* value) {
        std::uint32_t raw = 0;
        if (!U32(&raw)) {
            return false;
        }
        *value = static_cast<std::int32_t>(raw);
        return true;
    }
    bool String(std::string* text) {
        std::uint32_t length = 0;
        if (!Length(&length) || length > bytes_.size() - next_) {
            return false;
        }
        text->assign(reinterpret_cast<const char*>(bytes_.data() + next_), length);
        next_ += length;
        return true;
    }

private:
    bool Length(std::uint32_t* length) {
        std::uint8_t shortLength = 0;
        if (!U8(&shortLength)) {
            return false;
        }
        if (shortLength != kLongLength) {
            *length = shortLength;
            return true;
        }
        std::uint16_t mediumLength = 0;
        if (!U16(&mediumLength) || mediumLength == kUnicodeMark) {
            return false;
        }
        if (mediumLength != kLongerLength) {
            *length = mediumLength;
            return true;
        }
        return U32(length) && *length != kTooLongLength;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
};

// The settings file in the user's configuration folder; empty when there is no such folder.
fs::path UserSettingsFile() {
    const fs::path configFolder = UserConfigFolder();
    return configFolder.empty() ? fs::path() : configFolder / "k720" / kSettingsFileName;
}

// True when a new file can be created in `folder`; tried for real, since permission bits,
// access lists and read-only mounts all have a say.
bool IsWritableFolder(const fs::path& folder) {
    std::error_code error;
    if (folder.empty() || !fs::is_directory(folder, error)) {
        return false;
    }
    // A file created and discarded again: nothing is left behind.
    files::ReplacementFile probe;
    return probe.Create((folder / ".k720-write-test").string());
}

// The folder's text without trailing separators, the root excepted.
std::string WithoutTrailingSeparator(std::string folder) {
    auto isSeparator = [](char c) {
        return c == '/' || c == static_cast<char>(fs::path::preferred_separator);
    };
    while (folder.size() > 1 && isSeparator(folder.back()) &&
           !(folder.size() == 3 && folder[1] == ':')) {
        folder.pop_back();
    }
    return folder;
}

} // namespace

Settings DefaultSettings(const std::string& dataFolder) {
    Settings settings;
    settings.measurementFolder = dataFolder;
    settings.measurementFileName = kDefaultMeasurementFileName;
    settings.compTableFolder = dataFolder;
    return settings;
}

std::vector<std::uint8_t> EncodeSettings(const Settings& settings) {
    ByteWriter out;
    out.String(g_settingsMarker);
    out.I32(settings.rect.left);
    out.I32(settings.rect.top);
    out.I32(settings.rect.right);
    out.I32(settings.rect.bottom);
    out.I32(settings.instrumentPort);
    out.String(settings.measurementFolder);
    out.String(settings.measurementFileName);
    out.String(settings.compTablePath);
    out.String(settings.compTableFileName);
    out.String(settings.compTableFolder);
    return out.Take();
}

std::optional<Settings> DecodeSettings(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    std::string marker;
    if (!in.String(&marker) || marker != g_settingsMarker) {
        return std::nullopt;
    }
    Settings settings;
    if (in.I32(&settings.rect.left) && in.I32(&settings.rect.top) && in.I32(&settings.rect.right) &&
        in.I32(&settings.rect.bottom) && in.I32(&settings.instrumentPort) &&
        in.String(&settings.measurementFolder) && in.String(&settings.measurementFileName) &&
        in.String(&settings.compTablePath) && in.String(&settings.compTableFileName) &&
        in.String(&settings.compTableFolder)) {
        return settings;
    }
    return std::nullopt;
}

std::optional<Settings> ReadSettingsFile(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size == 0 || size > kMaxFileSize) {
        return std::nullopt;
    }
    std::ifstream in(fs::path(path), std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        return std::nullopt;
    }
    return DecodeSettings(bytes);
}

bool WriteSettingsFile(const std::string& path, const Settings& settings) {
    const fs::path target(path);
    std::error_code error;
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), error);
        if (error) {
            return false;
        }
    }
    const std::vector<std::uint8_t> bytes = EncodeSettings(settings);
    files::ReplacementFile file;
    return file.Create(path) && file.Append(bytes.data(), bytes.size()) && file.Commit();
}

std::string SettingsFilePath(const std::string& programDir) {
    const fs::path besideProgram = fs::path(programDir) / kSettingsFileName;
    if (IsWritableFolder(programDir)) {
        return besideProgram.string();
    }
    const fs::path userFile = UserSettingsFile();
    // Nowhere better without a user folder; a failed write loses this run's settings.
    return (userFile.empty() ? besideProgram : userFile).string();
}

std::string SettingsFileToLoad(const std::string& programDir) {
    const std::string savePath = SettingsFilePath(programDir);
    const fs::path besideProgram = fs::path(programDir) / kSettingsFileName;
    const fs::path other = savePath == besideProgram.string() ? UserSettingsFile() : besideProgram;
    std::error_code error;
    if (fs::exists(savePath, error) || other.empty() || !fs::exists(other, error)) {
        return savePath;
    }
    return other.string();
}

std::string DefaultDataFolder(const std::string& programDir) {
    if (IsWritableFolder(programDir)) {
        return WithoutTrailingSeparator(programDir);
    }
    const fs::path home = HomeFolder();
    if (home.empty()) {
        return WithoutTrailingSeparator(programDir);
    }
    std::error_code error;
    const fs::path documents = home / "Documents";
    return WithoutTrailingSeparator(
        (fs::is_directory(documents, error) ? documents : home).string());
}
