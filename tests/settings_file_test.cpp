#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/settings_file.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

Bytes FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = fs::temp_directory_path() / "k720-settings-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    const fs::path& Path() const { return path_; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    fs::path path_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

Settings Sample() {
    Settings s = DefaultSettings("/srv/k720 data");
    s.rect = {-50, 20, 590, 460}; // partly off the screen
    s.instrumentPort = 3;
    s.compTablePath = "/srv/tables/cells.csv";
    s.compTableFileName = "cells.csv";
    s.compTableFolder = "/srv/tables";
    return s;
}

TEST(SettingsBytes, FirstRunDefaultsHaveTheFileLayout) {
    Settings first = DefaultSettings("/opt/k720");
    first.rect = {-50, 20, 590, 460};
    const Bytes expected = Concat({
        {0x07},
        BytesOf("Ver1.03"),
        {0xCE, 0xFF, 0xFF, 0xFF},
        {0x14, 0x00, 0x00, 0x00},
        {0x4E, 0x02, 0x00, 0x00},
        {0xCC, 0x01, 0x00, 0x00},
        {0xE8, 0x03, 0x00, 0x00}, // port 1000: none found
        {0x09},
        BytesOf("/opt/k720"), // measurement folder
        {0x08},
        BytesOf("DataK720"), // measurement file name
        {0x00},              // comparator table path
        {0x00},              // comparator table file name
        {0x09},
        BytesOf("/opt/k720"), // comparator table folder
    });
    EXPECT_EQ(EncodeSettings(first), expected);
}

TEST(SettingsBytes, LengthPrefixGrowsWithTheString) {
    const struct {
        std::size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {300, {0xFF, 0x2C, 0x01}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    constexpr std::size_t kFolderOffset = 8 + 5 * 4; // after the marker and the five integers
    for (const auto& c : cases) {
        Settings settings = Sample();
        settings.measurementFolder = std::string(c.length, 'x');
        const Bytes bytes = EncodeSettings(settings);
        ASSERT_GT(bytes.size(), kFolderOffset + c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(
            Bytes(bytes.begin() + kFolderOffset, bytes.begin() + kFolderOffset + c.prefix.size()),
            c.prefix)
            << c.length;
        // The next field's prefix follows the folder's last byte.
        EXPECT_EQ(bytes[kFolderOffset + c.prefix.size() + c.length], 0x08) << c.length;
        EXPECT_EQ(DecodeSettings(bytes), settings) << c.length;
    }
}

TEST(SettingsBytes, StringsAreKeptAsBytes) {
    Settings settings = Sample();
    settings.measurementFolder = "C:\\\x83\x5C\x83\x65\x83\x58\x83\x67"; // Shift-JIS, 0x5C inside
    settings.measurementFileName = std::string("a\0b\xFF", 4);
    EXPECT_EQ(DecodeSettings(EncodeSettings(settings)), settings);
}

TEST(SettingsBytes, AnythingButACompleteFileOfThisVersionIsRejected) {
    const Bytes valid = EncodeSettings(Sample());
    Bytes otherVersion = valid;
    otherVersion[7] = '2'; // "Ver1.02"
    Bytes otherCase = valid;
    otherCase[1] = 'v';
    Bytes wideStrings = Concat({BytesOf(std::string_view("\x07Ver1.03", 8)),
                                Bytes(valid.begin() + 8, valid.begin() + 28),
                                {0xFF, 0xFE, 0xFF, 0x03},
                                BytesOf("abc")});
    Bytes hugeLength = Concat({Bytes(valid.begin(), valid.begin() + 28),
                               {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                               BytesOf("abc")});

    EXPECT_EQ(DecodeSettings(otherVersion), std::nullopt);
    EXPECT_EQ(DecodeSettings(otherCase), std::nullopt);
    EXPECT_EQ(DecodeSettings(wideStrings), std::nullopt);
    EXPECT_EQ(DecodeSettings(hugeLength), std::nullopt);
    for (std::size_t size = 0; size < valid.size(); ++size) { // from nothing to one byte short
        EXPECT_EQ(DecodeSettings(std::span(valid).first(size)), std::nullopt) << "cut at " << size;
    }
    EXPECT_EQ(DecodeSettings(valid), Sample());
}

TEST(SettingsFile, RoundTripWritesExactlyTheBytesAndNothingElse) {
    TempFolder folder;
    const std::string path = (folder.Path() / "K720.ini").string();
    EXPECT_EQ(ReadSettingsFile(path), std::nullopt); // missing
    std::ofstream(path).close();
    EXPECT_EQ(ReadSettingsFile(path), std::nullopt); // empty
    Settings settings = Sample();
    settings.measurementFolder = std::string(300, 'f');

    ASSERT_TRUE(WriteSettingsFile(path, settings));
    EXPECT_EQ(FileBytes(path), EncodeSettings(settings));
    EXPECT_EQ(ReadSettingsFile(path), settings);

    settings.instrumentPort = NO_INSTRUMENT_PORT; // overwrite a longer file with a shorter one
    settings.measurementFolder = "/short";
    ASSERT_TRUE(WriteSettingsFile(path, settings));
    EXPECT_EQ(ReadSettingsFile(path), settings);
    EXPECT_THAT(folder.Names(), ::testing::ElementsAre("K720.ini"));
}

TEST(SettingsFile, WritingCreatesTheMissingConfigurationFolder) {
    TempFolder folder;
    const std::string path = (folder.Path() / "config" / "k720" / "K720.ini").string();
    ASSERT_TRUE(WriteSettingsFile(path, Sample()));
    EXPECT_EQ(ReadSettingsFile(path), Sample());
}

TEST(SettingsFile, FailedWriteKeepsThePreviousFile) {
    TempFolder folder;
    const std::string path = (folder.Path() / "K720.ini").string();
    ASSERT_TRUE(WriteSettingsFile(path, Sample()));
    const Bytes before = FileBytes(path);

    // A disk that fills up: writes beyond 4 KiB fail.
    Settings big = Sample();
    big.measurementFolder = std::string(100000, 'x');
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteSettingsFile(path, big);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_THAT(folder.Names(), ::testing::ElementsAre("K720.ini"));

    // A place that cannot take the file at all.
    fs::create_directory(folder.Path() / "taken");
    std::ofstream(folder.Path() / "taken" / "inside").close();
    EXPECT_FALSE(WriteSettingsFile((folder.Path() / "taken").string(), Sample()));
    EXPECT_THAT(folder.Names(), ::testing::UnorderedElementsAre("K720.ini", "taken"));
}

TEST(SettingsLocation, BesideAWritableProgram) {
    TempFolder program;
    const std::string dir = program.Path().string();
    EXPECT_EQ(SettingsFilePath(dir), (program.Path() / "K720.ini").string());
    EXPECT_EQ(DefaultDataFolder(dir + "/"), dir);
    EXPECT_THAT(program.Names(), ::testing::IsEmpty()); // the writability test leaves nothing
}

TEST(SettingsLocation, UserFoldersWhenTheProgramsFolderIsNotWritable) {
    TempFolder user;
    const fs::path home = user.Path() / "home";
    const fs::path config = user.Path() / "config";
    fs::create_directories(home);
    const std::string program = (user.Path() / "no such folder").string();
    ScopedEnv homeEnv("HOME", home.c_str());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
        EXPECT_EQ(SettingsFilePath(program), (config / "k720" / "K720.ini").string());
    }
    for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedEnv xdg("XDG_CONFIG_HOME", ignored);
        EXPECT_EQ(SettingsFilePath(program), (home / ".config" / "k720" / "K720.ini").string())
            << (ignored != nullptr ? ignored : "unset");
    }
    EXPECT_EQ(DefaultDataFolder(program), home.string());
    fs::create_directories(home / "Documents");
    EXPECT_EQ(DefaultDataFolder(program), (home / "Documents").string());
}

// Saving goes beside a writable program; a file only in the user's folder (saved while the
// program's folder was not writable) is still read, until one is saved beside the program.
TEST(SettingsLocation, LoadingFallsBackToTheOtherPlace) {
    TempFolder user;
    const fs::path program = user.Path() / "program";
    const fs::path userFile = user.Path() / "config" / "k720" / "K720.ini";
    fs::create_directories(program);
    ScopedEnv xdg("XDG_CONFIG_HOME", (user.Path() / "config").c_str());
    EXPECT_EQ(SettingsFileToLoad(program.string()), (program / "K720.ini").string());
    ASSERT_TRUE(WriteSettingsFile(userFile.string(), Sample()));
    EXPECT_EQ(SettingsFileToLoad(program.string()), userFile.string());
    ASSERT_TRUE(WriteSettingsFile((program / "K720.ini").string(), Sample()));
    EXPECT_EQ(SettingsFileToLoad(program.string()), (program / "K720.ini").string());
}

// A read-only program folder: saving goes to the user's folder, and a file an administrator put
// beside the program is read as long as the user has none.
TEST(SettingsLocation, ReadOnlyProgramFolderIsNotWritableButItsFileIsRead) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempFolder user;
    const fs::path program = user.Path() / "program";
    const fs::path userFile = user.Path() / "config" / "k720" / "K720.ini";
    fs::create_directories(program);
    ASSERT_TRUE(WriteSettingsFile((program / "K720.ini").string(), Sample()));
    fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec);
    ScopedEnv xdg("XDG_CONFIG_HOME", (user.Path() / "config").c_str());
    EXPECT_EQ(SettingsFilePath(program.string()), userFile.string());
    EXPECT_EQ(SettingsFileToLoad(program.string()), (program / "K720.ini").string());
    EXPECT_TRUE(WriteSettingsFile(userFile.string(), Sample()));
    EXPECT_EQ(SettingsFileToLoad(program.string()), userFile.string());
    fs::permissions(program, fs::perms::owner_all);
}

} // namespace
