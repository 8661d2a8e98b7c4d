// Files that replace their destination only as a whole: what is left on disk after a commit, a
// discard, a failed append, and what is refused.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "files/replacement_file.h"
#include "tests/support/scratch_folder.h"
#include "translations/text_language.h"

namespace {

namespace fs = std::filesystem;
using files::DestinationKind;
using files::ReplacementFile;

using Folder = test_support::ScratchFolder;

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

bool Write(ReplacementFile& file, const std::string& bytes) {
    return file.Append(bytes.data(), bytes.size());
}

// Before the commit the old file is there as it was; afterwards the new one, and no temporary
// file in either case. A link at the destination is replaced, its target left alone.
TEST(ReplacementFile, ReplacesAFileOrALinkOnlyAtTheCommit) {
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "link" : "file");
        Folder folder;
        const std::string destination = folder.File("data.csv");
        const std::string elsewhere = folder.File("someone-elses");
        Put(elsewhere, "theirs");
        if (link) {
            fs::create_symlink(elsewhere, destination);
        } else {
            Put(destination, "old");
        }
        ReplacementFile file;
        ASSERT_TRUE(file.Create(destination));
        ASSERT_TRUE(Write(file, "line 1\r\n"));
        ASSERT_TRUE(Write(file, "line 2\r\n"));
        EXPECT_EQ(Bytes(destination), link ? "theirs" : "old");
        EXPECT_EQ(file.Size(), 16u);

        ASSERT_TRUE(file.Commit());

        EXPECT_EQ(Bytes(destination), "line 1\r\nline 2\r\n");
        EXPECT_FALSE(fs::is_symlink(destination));
        EXPECT_EQ(Bytes(elsewhere), "theirs");
        EXPECT_THAT(folder.Names(), ::testing::UnorderedElementsAre("data.csv", "someone-elses"));
    }
}

// A replaced file keeps its mode and, for a program that may give files away, its owner; a new
// file gets the usual mode.
TEST(ReplacementFile, ReplacedFileKeepsItsModeAndOwner) {
    Folder folder;
    const std::string destination = folder.File("private.csv");
    Put(destination, "old");
    ASSERT_EQ(chmod(destination.c_str(), 0600), 0);
    const bool privileged = geteuid() == 0;
    constexpr uid_t kSomeoneElse = 65534;
    if (privileged) {
        ASSERT_EQ(chown(destination.c_str(), kSomeoneElse, kSomeoneElse), 0);
    }
    for (const std::string& path : {destination, folder.File("new.csv")}) {
        ReplacementFile file;
        ASSERT_TRUE(file.Create(path));
        ASSERT_TRUE(Write(file, "new"));
        ASSERT_TRUE(file.Commit());
    }
    struct stat replaced {};
    ASSERT_EQ(stat(destination.c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0600u);
    if (privileged) {
        EXPECT_EQ(replaced.st_uid, kSomeoneElse);
    }
    struct stat made {};
    ASSERT_EQ(stat(folder.File("new.csv").c_str(), &made), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(made.st_mode & 07777, 0666u & ~mask);
}

// The temporary name does not grow with the destination's: a name of the longest length a folder
// takes (255 bytes) is written too. One byte more is refused at the creation, where the probe
// finds it, not at the commit after a whole transfer.
TEST(ReplacementFile, TakesADestinationNameOfTheLongestLength) {
    Folder folder;
    const std::string destination = folder.File(std::string(251, 'n') + ".csv");
    EXPECT_EQ(files::CreationError(destination), 0);
    ReplacementFile file;
    ASSERT_TRUE(file.Create(destination));
    ASSERT_TRUE(Write(file, "x"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Bytes(destination), "x");

    const std::string tooLong = folder.File(std::string(252, 'n') + ".csv");
    EXPECT_EQ(files::CreationError(tooLong), ENAMETOOLONG);
    EXPECT_FALSE(file.Create(tooLong));
    EXPECT_EQ(file.Error(), ENAMETOOLONG);
    EXPECT_EQ(folder.Names().size(), 1u) << "the probe leaves nothing behind";
    EXPECT_EQ(files::CannotSaveMessage(tooLong, ENAMETOOLONG),
              "Can not save \"" + tooLong + "\".  \nFile name too long");
}

TEST(ReplacementFile, CannotSaveMessageInJapaneseNamesThePathAndTheReason) {
    UseTextLanguage(Language::Japanese);
    const std::string message = files::CannotSaveMessage("/tmp/測定.csv", "Disk full");
    UseTextLanguage(Language::English);
    EXPECT_EQ(message, "\"/tmp/測定.csv\" を保存できません。  \nDisk full");
}

TEST(ReplacementFile, ADiscardedOrAbandonedFileLeavesTheDestinationUntouched) {
    Folder folder;
    const std::string destination = folder.File("data.csv");
    Put(destination, "old");
    {
        ReplacementFile file;
        ASSERT_TRUE(file.Create(destination));
        ASSERT_TRUE(Write(file, "new"));
        file.Discard();
        EXPECT_FALSE(file.IsOpen());
    }
    {
        ReplacementFile abandoned;
        ASSERT_TRUE(abandoned.Create(destination));
        ASSERT_TRUE(Write(abandoned, "new"));
    }
    EXPECT_EQ(Bytes(destination), "old");
    EXPECT_THAT(folder.Names(), ::testing::ElementsAre("data.csv"));
}

// A full disk in the middle of an append: the file is cut back to the last whole append, and that
// is what a commit puts in place.
TEST(ReplacementFile, AnAppendThatCannotBeWrittenWholeIsTakenBack) {
    Folder folder;
    const std::string destination = folder.File("data.csv");
    ReplacementFile file;
    ASSERT_TRUE(file.Create(destination));
    ASSERT_TRUE(Write(file, std::string(3000, 'a')));

    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = Write(file, std::string(2000, 'b'));
    const bool afterwards = Write(file, "c");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_FALSE(afterwards) << "nothing is appended after a failure";
    EXPECT_EQ(file.Error(), EFBIG);
    EXPECT_EQ(file.Size(), 3000u);
    EXPECT_EQ(fs::file_size(file.TemporaryPath()), 3000u);
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Bytes(destination), std::string(3000, 'a'));
    EXPECT_THAT(folder.Names(), ::testing::ElementsAre("data.csv"));
}

TEST(ReplacementFile, KnowsWhatIsAtTheDestinationAndCreatesOnlyInAnExistingFolder) {
    Folder folder;
    Put(folder.File("file"), "x");
    fs::create_symlink(folder.File("file"), folder.File("link"));
    fs::create_directory(folder.File("folder"));
    ASSERT_EQ(mkfifo(folder.File("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files::KindOfDestination(folder.File("missing")), DestinationKind::Missing);
    EXPECT_EQ(files::KindOfDestination(folder.File("file")), DestinationKind::RegularFile);
    EXPECT_EQ(files::KindOfDestination(folder.File("link")), DestinationKind::Link);
    EXPECT_EQ(files::KindOfDestination(folder.File("folder")), DestinationKind::Other);
    EXPECT_EQ(files::KindOfDestination(folder.File("pipe")), DestinationKind::Other);
    // A link counts as what it leads to: a file or nothing is replaced, anything else refused.
    fs::create_symlink(folder.File("missing"), folder.File("dangling"));
    EXPECT_EQ(files::KindOfDestination(folder.File("dangling")), DestinationKind::Link);
    for (const std::string& target :
         {folder.File("folder"), folder.File("pipe"), std::string("/dev/null")}) {
        fs::create_symlink(target, folder.File("to-other"));
        EXPECT_EQ(files::KindOfDestination(folder.File("to-other")), DestinationKind::Other)
            << target;
        fs::remove(folder.File("to-other"));
    }

    ReplacementFile file;
    EXPECT_FALSE(file.Create(folder.File("no such folder/data.csv")));
    EXPECT_EQ(file.Error(), ENOENT);
    EXPECT_FALSE(file.IsOpen());
}

} // namespace
