// k720ctl end to end: the program against the simulated instrument, its exit statuses, messages
// and files.
#include <algorithm>
#include <condition_variable>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/unique_fd.h"
#include "comp/table_file.h"
#include "measure/reception.h"
#include "sim/instrument.h"
#include "sim/pty_server.h"
#include "tests/support/child_process.h"
#include "tests/support/measure_support.h"
#include "tests/support/pty_peer.h"

namespace {

using measure_test::SimInstrument;
using namespace std::chrono_literals;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Waits until the instrument has received a command line that begins with `command`.
bool WaitForCommand(SimInstrument& instrument, const std::string& command) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const std::string& line : instrument.Server().Commands()) {
            if (line.starts_with(command)) {
                return true;
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// The language of the programs started while it lives, as the locale chooses it (LANG; LC_ALL
// and LC_MESSAGES are cleared, since they would decide first).
class ScopedLanguage {
public:
    explicit ScopedLanguage(const char* lang) {
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", lang, 1);
    }
    ~ScopedLanguage() { setenv("LANG", "C", 1); }
    ScopedLanguage(const ScopedLanguage&) = delete;
    ScopedLanguage& operator=(const ScopedLanguage&) = delete;
};

class K720ctlTest : public ::testing::Test {
protected:
    // The English texts that the cases check, whatever the locale the tests run under.
    void SetUp() override { language_.emplace("C"); }
    void TearDown() override { language_.reset(); }

    struct Outcome {
        int status;
        std::string out, err;
        bool operator==(const Outcome&) const = default;
    };
    // k720ctl run under the locale `lang`.
    static Outcome RunIn(const char* lang, SimInstrument& instrument,
                         std::vector<std::string> arguments) {
        const ScopedLanguage language(lang);
        ChildProcess child = Run(instrument, std::move(arguments));
        const int status = child.Wait();
        return {status, child.out, child.err};
    }
    // Runs `arguments` under LANG=C and under a Japanese locale, where --lang en must give the
    // English run byte for byte and the Japanese run the same exit status.
    struct Runs {
        Outcome english, japanese;
        bool Differ() const { return english.out + english.err != japanese.out + japanese.err; }
    };
    static Runs RunInBothLanguages(SimInstrument& instrument,
                                   const std::vector<std::string>& arguments) {
        const Outcome english = RunIn("C", instrument, arguments);
        std::vector<std::string> chosen = arguments;
        chosen.insert(chosen.begin(), {"--lang", "en"});
        EXPECT_EQ(RunIn("ja_JP.UTF-8", instrument, chosen), english) << arguments.front();
        const Outcome japanese = RunIn("ja_JP.UTF-8", instrument, arguments);
        EXPECT_EQ(japanese.status, english.status) << arguments.front();
        return {english, japanese};
    }

    std::optional<ScopedLanguage> language_;

    static std::filesystem::path ScratchFolder() {
        const std::filesystem::path folder = std::filesystem::path(testing::TempDir()) / "k720ctl";
        std::filesystem::create_directories(folder);
        return folder;
    }
    std::filesystem::path Scratch(const std::string& name) {
        const std::filesystem::path path = ScratchFolder() / name;
        std::filesystem::remove(path);
        return path;
    }

    static ChildProcess Run(SimInstrument& instrument, std::vector<std::string> arguments,
                            const std::string& inputPath = "/dev/null") {
        arguments.insert(arguments.begin(), {"--port", instrument.Server().DevicePath()});
        return ChildProcess(K720CTL_PROGRAM, std::move(arguments), inputPath);
    }
};

class EndWaiter : public measure::ReceptionObserver {
public:
    void OnEnd(const measure::ReceptionEnd&) override {
        std::lock_guard lock(mutex_);
        ended_ = true;
        cv_.notify_all();
    }
    void WaitForEnd() {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::seconds(30), [this] { return ended_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool ended_ = false;
};

// The file the main program's core writes for the same instrument, through the same engine.
std::string FileOfTheCore(int port, int unitCode, int mask, const std::filesystem::path& path) {
    EndWaiter observer;
    measure::ReceptionEngine engine(observer);
    measure::ReceptionRequest request;
    request.selectedUnitCode = unitCode;
    request.unitDataMask = mask;
    request.port = port;
    request.folder = path.parent_path().string();
    request.fileName = path.stem().string();
    if (engine.Start(request) != measure::StartOutcome::Started) {
        return "<not started>";
    }
    observer.WaitForEnd();
    engine.Join();
    return ReadFile(path);
}

TEST_F(K720ctlTest, ScanFindsTheInstrumentOrSaysToCheckTheCable) {
    SimInstrument instrument(sim::EmptyInstrument());
    ChildProcess found = Run(instrument, {"scan"});
    EXPECT_EQ(found.Wait(), 0);
    EXPECT_NE(found.out.find("K720 found on port"), std::string::npos) << found.out;
    EXPECT_EQ(instrument.Server().Commands(), (std::vector<std::string>{"QPID", "QPID"}));

    sim::Faults silent;
    silent.wrongReplies.push_back({"QPID", "K999\r\n", 0});
    SimInstrument stranger(sim::EmptyInstrument(), silent);
    ChildProcess notFound = Run(stranger, {"scan"});
    EXPECT_EQ(notFound.Wait(), 1);
    EXPECT_NE(notFound.out.find("Check USB cable connection, \nor power supply of K720.  "),
              std::string::npos)
        << notFound.out;

    // Held by another program: the port is named as the cause, before the message.
    const std::string device = instrument.Server().DevicePath();
    const UniqueFd held(open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_EQ(flock(held.Get(), LOCK_EX | LOCK_NB), 0);
    ChildProcess busy = Run(instrument, {"scan"});
    EXPECT_EQ(busy.Wait(), 1);
    EXPECT_NE(busy.out.find("The port " + device +
                            " is in use by another program.\nCheck USB cable connection"),
              std::string::npos)
        << busy.out;
}

TEST_F(K720ctlTest, ReadWritesTheSameFileAsTheMainProgramsCore) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto path = Scratch("all.csv");
    ChildProcess read = Run(instrument, {"read", "--unit", "all", "--out", path.string()});
    EXPECT_EQ(read.Wait(), 0) << read.out << read.err;
    EXPECT_NE(read.out.find("Data received.  \n"), std::string::npos) << read.out;
    EXPECT_EQ(read.err, "") << "no progress line when stderr is not a terminal";

    const auto reference = Scratch("reference.csv");
    const int mask = 0b1000'0000'1101; // A, C, d and P hold data in the demo
    EXPECT_EQ(ReadFile(path), FileOfTheCore(instrument.Port(), 4096, mask, reference));
}

// The report of a file read from the instrument: the text, the same figures as JSON, and the
// page written after a complete reading; what is no measurement file writes nothing.
TEST_F(K720ctlTest, ReportSummarisesAFileReadFromTheInstrument) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto csv = Scratch("reported.csv");
    const auto page = Scratch("reported.html");
    ChildProcess read = Run(
        instrument, {"read", "--unit", "all", "--out", csv.string(), "--report", page.string()});
    ASSERT_EQ(read.Wait(), 0) << read.err;
    EXPECT_NE(ReadFile(page).find("<svg"), std::string::npos);

    // The readings as the file holds them: slot lines with a resistance range.
    int readings = 0;
    std::istringstream lines(ReadFile(csv));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t comma = line.find(',');
        readings += line.find_first_of("0123456789") == 0 && comma != std::string::npos &&
                    line[comma + 1] != ',';
    }
    ChildProcess text = Run(instrument, {"report", csv.string()});
    ASSERT_EQ(text.Wait(), 0) << text.err;
    for (const char* unit : {"UNIT A", "UNIT C", "UNIT D", "UNIT P", "All units"}) {
        EXPECT_NE(text.out.find(unit), std::string::npos) << unit;
    }
    ChildProcess json = Run(instrument, {"report", csv.string(), "--json"});
    ASSERT_EQ(json.Wait(), 0) << json.err;
    EXPECT_NE(json.out.find("\"total\": {\"readings\": " + std::to_string(readings) + ","),
              std::string::npos)
        << json.out;

    const auto table = Scratch("not-readings.csv");
    ASSERT_EQ(Run(instrument, {"table", "new", "--out", table.string()}).Wait(), 0);
    const auto refusedPage = Scratch("refused.html");
    ChildProcess refused =
        Run(instrument, {"report", table.string(), "--html", refusedPage.string()});
    EXPECT_EQ(refused.Wait(), 1);
    EXPECT_NE(refused.err.find("not a measurement file"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(refusedPage));

    // A page never replaces the file it reports on.
    const std::string before = ReadFile(csv);
    ChildProcess itself = Run(instrument, {"report", csv.string(), "--html", csv.string()});
    EXPECT_EQ(itself.Wait(), 2);
    ChildProcess readItself =
        Run(instrument, {"read", "--unit", "A", "--out", csv.string(), "--report", csv.string()});
    EXPECT_EQ(readItself.Wait(), 2);
    EXPECT_EQ(ReadFile(csv), before);
}

// The text report is written whole, a NUL byte of the serial number included; the page's heading
// takes --title and --operator, which need a page.
TEST_F(K720ctlTest, ReportWritesTheWholeTextAndThePagesHeading) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto csv = Scratch("serial-nul.csv");
    const auto page = Scratch("serial-nul.html");
    const std::string serial("12\0"
                             "34",
                             5);
    std::ofstream(csv, std::ios::binary) << "Model,K720 BATTERY TARVELIN\r\nSerial," + serial +
                                                "\r\nDate,2014-3-10,,V1.03\r\n\r\n\r\n";
    ChildProcess text = Run(instrument, {"report", csv.string(), "--html", page.string(), "--title",
                                         "Batch <7>", "--operator", "J. Doe"});
    ASSERT_EQ(text.Wait(), 0) << text.err;
    EXPECT_NE(text.out.find("Serial   " + serial + "\n"), std::string::npos);
    EXPECT_NE(text.out.find("All units"), std::string::npos) << text.out;
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("<h1>Batch &lt;7&gt;</h1>"), std::string::npos);
    EXPECT_NE(html.find("J. Doe"), std::string::npos);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"report", csv.string(), "--title", "T"},
          std::vector<std::string>{"read", "--unit", "A", "--out", csv.string(), "--operator",
                                   "O"}}) {
        ChildProcess refused = Run(instrument, arguments);
        EXPECT_EQ(refused.Wait(), 2) << arguments[0];
        EXPECT_NE(refused.err.find("need"), std::string::npos) << refused.err;
    }
}

// Under a Japanese locale the messages, the help and the report's labels are Japanese, with the
// statuses of the English runs; LANG=C and --lang en give the English texts, and the JSON is the
// same in both languages.
TEST_F(K720ctlTest, MessagesFollowTheLanguageAndStatusesAndJsonDoNot) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto csv = Scratch("language.csv");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"read", "--unit", "A", "--out", csv.string()},
          std::vector<std::string>{"read", "--unit", "e", "--out", csv.string()},
          std::vector<std::string>{"report", csv.string()}, std::vector<std::string>{"--help"}}) {
        EXPECT_TRUE(RunInBothLanguages(instrument, arguments).Differ()) << arguments.front();
    }
    EXPECT_EQ(RunIn("C", instrument, {"read", "--unit", "e", "--out", csv.string()}).status, 1);
    const Outcome japanese =
        RunIn("ja_JP.UTF-8", instrument, {"read", "--unit", "A", "--out", csv.string()});
    EXPECT_NE(japanese.out.find("候補のポート:\n"), std::string::npos) << japanese.out;
    EXPECT_TRUE(
        RunIn("ja_JP.UTF-8", instrument, {"table", "--help"}).out.starts_with("使い方: k720ctl"));
    const Outcome json = RunIn("C", instrument, {"report", csv.string(), "--json"});
    EXPECT_EQ(RunIn("ja_JP.UTF-8", instrument, {"report", csv.string(), "--json"}), json);
}

// A standard output that nobody reads (k720ctl ... | true) stops no exchange: the reading and the
// table's reception run to their end, and the command's status is theirs.
TEST_F(K720ctlTest, ClosedStandardOutputStopsNoExchange) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto csv = Scratch("unread-output.csv");
    const auto table = Scratch("unread-output-table.csv");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"read", "--unit", "all", "--out", csv.string()},
          std::vector<std::string>{"table", "get", "--out", table.string()}}) {
        ChildProcess child = Run(instrument, arguments);
        child.CloseOutput();
        EXPECT_EQ(child.Wait(), 0) << arguments[0] << ": " << child.err;
    }
    EXPECT_TRUE(WaitForCommand(instrument, ":MEM:DATA:END"));
    EXPECT_TRUE(WaitForCommand(instrument, ":COMP:TABLE:END"));
    const auto reference = Scratch("unread-output-reference.csv");
    EXPECT_EQ(ReadFile(csv), FileOfTheCore(instrument.Port(), 4096, 0b1000'0000'1101, reference));
    EXPECT_TRUE(std::filesystem::is_regular_file(table));
}

TEST_F(K720ctlTest, UnitWithoutDataIsRefusedAfterTheMemoryCheck) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto path = Scratch("e.csv");
    ChildProcess read = Run(instrument, {"read", "--unit", "e", "--out", path.string()});
    EXPECT_EQ(read.Wait(), 1);
    EXPECT_NE(read.out.find("No Data.\n"), std::string::npos) << read.out;
    EXPECT_EQ(instrument.SettledCommands().back(), ":MEM:CHECK?") << "nothing more is sent";
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(K720ctlTest, StopSignalDuringAReadingCancelsLikeTheCancelButton) {
    sim::ServerOptions paced;
    paced.pace = true;
    for (const int signal : {SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        SimInstrument instrument(sim::DemoInstrument(), {}, paced);
        const auto path = Scratch("p.csv");
        ChildProcess read = Run(instrument, {"read", "--unit", "P", "--out", path.string()});
        ASSERT_NE(read.OutputUntil("Reading"), "");
        std::this_thread::sleep_for(500ms);
        read.Signal(signal);
        EXPECT_EQ(read.Wait(), 130);
        EXPECT_NE(read.out.find("Data receipt cancelled.  \n"), std::string::npos) << read.out;
        const std::vector<std::string> commands = instrument.SettledCommands();
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(commands.back(), ":MEM:DATA:END");
        const std::string file = ReadFile(path);
        EXPECT_NE(file.find("UNIT P\r\n"), std::string::npos);
        EXPECT_FALSE(file.ends_with("\r\n\r\n\r\n")) << "an interrupted unit has no closing lines";
    }
}

TEST_F(K720ctlTest, StopSignalBeforeTheReadingEndsTheExchangeInProgressAndSendsNothingMore) {
    const auto path = Scratch("stopped.csv");
    const std::vector<std::string> read = {"read", "--unit", "P", "--out", path.string()};
    struct Case {
        const char* when;
        int signal;
        std::vector<std::string> arguments;
        int silentFromCommand; // the instrument's silence begins with this command
        const char* awaited;   // the unanswered command
    };
    const Case cases[] = {
        {"memory check", SIGINT, read, 3, ":MEM:CHECK?"},
        {"memory check", SIGTERM, read, 3, ":MEM:CHECK?"},
        {"memory check", SIGHUP, read, 3, ":MEM:CHECK?"},
        {"scan", SIGTERM, {"scan"}, 1, "QPID"},
        {"start of the reception", SIGINT, read, 4, ":MEM:UNIT? P"},
        {"deletion", SIGTERM, {"delete", "--unit", "all", "--yes"}, 4, ":MEM:CLEAR A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(strsignal(c.signal)) + " during the " + c.when);
        sim::Faults faults;
        faults.silentFromCommand = c.silentFromCommand;
        SimInstrument instrument(sim::DemoInstrument(), faults);
        ChildProcess child = Run(instrument, c.arguments);
        ASSERT_TRUE(WaitForCommand(instrument, c.awaited));
        const std::vector<std::string> sent = instrument.Server().Commands();
        const auto signalled = std::chrono::steady_clock::now();
        child.Signal(c.signal);
        EXPECT_EQ(child.Wait(), 130) << child.out << child.err;
        EXPECT_LE(std::chrono::steady_clock::now() - signalled, 2500ms);
        EXPECT_EQ(instrument.SettledCommands(), sent) << "sent after the signal";
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(K720ctlTest, InstrumentFallingSilentIsAnError) {
    sim::Faults faults;
    faults.readingsBeforeSilence = 57;
    SimInstrument instrument(sim::DemoInstrument(), faults);
    const auto path = Scratch("silent.csv");
    ChildProcess read = Run(instrument, {"read", "--unit", "P", "--out", path.string()});
    EXPECT_EQ(read.Wait(), 1);
    EXPECT_NE(read.out.find("Data reception error.  \n57 readings of unit P were kept in "
                            "silent.csv.\n"),
              std::string::npos)
        << read.out;
    EXPECT_NE(ReadFile(path).find("\r\n57,"), std::string::npos);
}

// The report page of read --report never replaces the readings: a page that names the measurement
// file by any spelling is refused before anything is sent, although the file does not exist yet,
// and again just before the page is written, should a folder have been linked meanwhile.
TEST_F(K720ctlTest, ReadReportNeverWritesThePageOverTheReadings) {
    const auto folder = ScratchFolder() / "one-file";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "d1");
    std::filesystem::create_directory_symlink("d1", folder / "d2");
    std::filesystem::create_symlink("d1/x.csv", folder / "link.html");
    const auto csv = folder / "d1" / "x.csv";
    const std::string relative = std::filesystem::relative(csv).string();
    const std::pair<std::string, std::string> sameFile[] = {
        {relative, csv.string()},
        {csv.string(), (folder / "d2" / "x.csv").string()},
        {csv.string(), (folder / "d2" / ".." / "d2" / "." / "x.csv").string()},
        {csv.string(), (folder / "link.html").string()},
    };
    SimInstrument instrument(sim::DemoInstrument());
    for (const auto& [out, page] : sameFile) {
        SCOPED_TRACE(out + " and " + page);
        ChildProcess read =
            Run(instrument, {"read", "--unit", "A", "--out", out, "--report", page});
        EXPECT_EQ(read.Wait(), 2) << read.out;
        EXPECT_NE(read.err.find("names the measurement file itself"), std::string::npos)
            << read.err;
        EXPECT_FALSE(std::filesystem::exists(csv));
    }
    EXPECT_TRUE(instrument.SettledCommands().empty());

    // The page's folder becomes a link to the file's while the unit is read.
    std::filesystem::create_directory(folder / "d3");
    sim::ServerOptions paced;
    paced.pace = true;
    SimInstrument slow(sim::DemoInstrument(), {}, paced);
    ChildProcess read = Run(slow, {"read", "--unit", "P", "--out", csv.string(), "--report",
                                   (folder / "d3" / "x.csv").string()});
    ASSERT_TRUE(WaitForCommand(slow, ":MEM:DATA? "));
    std::filesystem::rename(folder / "d3", folder / "d3-before");
    std::filesystem::create_directory_symlink("d1", folder / "d3");
    EXPECT_EQ(read.Wait(), 1) << read.out;
    EXPECT_NE(read.out.find("Data received.  \n"), std::string::npos) << read.out;
    EXPECT_NE(read.err.find("names the measurement file itself"), std::string::npos) << read.err;
    EXPECT_TRUE(ReadFile(csv).starts_with("Model,")) << ReadFile(csv).substr(0, 40);
}

TEST_F(K720ctlTest, DeviceThatCannotBeOpenedIsNamedWithTheReason) {
    const auto file = Scratch("plain-file");
    std::ofstream(file) << "not a terminal";
    struct Case {
        std::filesystem::path device;
        const char* reason;
    };
    const Case cases[] = {{Scratch("no-such-device"), "no such device"}, {file, "not a terminal"}};
    const auto path = Scratch("unopened.csv");
    for (const Case& c : cases) {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"scan"},
              std::vector<std::string>{"read", "--unit", "A", "--out", path.string()}}) {
            std::vector<std::string> arguments = {"--port", c.device.string()};
            arguments.insert(arguments.end(), command.begin(), command.end());
            ChildProcess child(K720CTL_PROGRAM, arguments);
            EXPECT_EQ(child.Wait(), 1) << command.front();
            EXPECT_NE(child.out.find(c.device.string() + ": " + c.reason), std::string::npos)
                << child.out;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(K720ctlTest, UsageErrorsAndUnusableDestinationsExitWithTwoBeforeAnythingIsSent) {
    SimInstrument instrument(sim::DemoInstrument());
    const auto folder = Scratch("folder.csv");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const auto fifo = Scratch("fifo.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A destination path of `length` characters in a folder of the scratch folder whose long
    // name leaves the file a name that fits.
    const auto deep = ScratchFolder() / std::string(100, 'd');
    std::filesystem::create_directories(deep);
    const auto pathOfLength = [&deep](std::size_t length) {
        const std::string folderPart = deep.string() + "/";
        return folderPart + std::string(length - folderPart.size() - 4, 'x') + ".csv";
    };
    const auto read = [](const std::string& out) {
        return std::vector<std::string>{"read", "--unit", "A", "--out", out};
    };
    struct Case {
        std::vector<std::string> arguments;
        std::string says;
    };
    // One byte more than a folder takes: only the temporary file's creation would have passed.
    const std::string nameTooLong = (ScratchFolder() / (std::string(252, 'x') + ".csv")).string();
    std::vector<Case> cases = {
        {{"read", "--unit", "K", "--out", "x.csv"}, "unknown unit 'K'"},
        {{"read", "--unit", "A"}, "read needs --unit and --out"},
        {read("x.txt"), "a file ending in .csv"},
        {{"read", "--out"}, "--out needs a value"},
        {{"frobnicate"}, "unknown command"},
        {{"clock", "--set", "2014-03-07T09:05"}, "YYYY-MM-DD HH:MM"},
        {{"clock", "--set", "2014-03-07 09:-0"}, "YYYY-MM-DD HH:MM"},
        {{"clock", "--set", "2014-003-007 009:005"}, "YYYY-MM-DD HH:MM"},
        {{}, "no command"},
        {{"--port", "", "scan"}, "names no serial port"},
        {read(pathOfLength(300)), "300 characters"},
        {read((ScratchFolder() / "missing" / "x.csv").string()), "missing folder"},
        {read(folder.string()), "not a file"},
        {read(fifo.string()), "not a file"},
        {{"table"}, "table needs a subcommand"},
        {{"table", "new"}, "table new needs --out"},
        {{"table", "check"}, "table check needs one file"},
        {{"table", "put"}, "table put needs one file"},
        {{"table", "get"}, "table get needs --out"},
        {{"table", "get", "--out", (ScratchFolder() / "missing" / "t.csv").string()},
         "missing folder"},
        {{"table", "get", "--out", folder.string()}, "not a file"},
        {{"table", "get", "--out", fifo.string()}, "not a file"},
        {{"table", "get", "--out", "t.csv", "--names-from", fifo.string()}, "not a file"},
        {{"table", "get", "--out", "t.csv", "--names-from", Scratch("none.csv").string()},
         "--names-from"},
        {{"table", "send"}, "unknown table subcommand 'send'"},
        {read(nameTooLong), "cannot be created: " + nameTooLong + ": File name too long"},
        {{"table", "get", "--out", nameTooLong}, "cannot be created"},
    };
    // Root writes into a read-only folder: the case exists for other users only.
    const auto readOnly = Scratch("read-only");
    ASSERT_TRUE(std::filesystem::create_directory(readOnly));
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    if (geteuid() != 0) {
        cases.push_back({read((readOnly / "x.csv").string()), "Permission denied"});
        cases.push_back(
            {{"table", "get", "--out", (readOnly / "t.csv").string()}, "Permission denied"});
    }
    // --lang takes ja or en only.
    cases.push_back({{"--lang", "de", "scan"}, "--lang takes ja or en"});
    cases.push_back({{"--lang"}, "--lang takes ja or en"});
    // Each in English, and in Japanese with the same status.
    for (const Case& c : cases) {
        const Runs runs = RunInBothLanguages(instrument, c.arguments);
        // The table file's faults after --names-from are the table core's messages.
        EXPECT_TRUE(runs.Differ() || runs.english.err.starts_with("k720ctl: --names-from"))
            << c.says;
        const Outcome& misuse = runs.english;
        EXPECT_EQ(misuse.status, 2) << c.says;
        EXPECT_TRUE(misuse.err.starts_with("k720ctl: ")) << misuse.err;
        EXPECT_NE(misuse.err.find(c.says), std::string::npos) << misuse.err;
        EXPECT_EQ(misuse.out, "") << "no candidate list, no port opened";
    }
    EXPECT_TRUE(instrument.SettledCommands().empty());

    // The longest path is taken: the instrument is asked which units hold data.
    ChildProcess longest = Run(instrument, {"read", "--unit", "e", "--out", pathOfLength(299)});
    EXPECT_EQ(longest.Wait(), 1) << longest.err;
    EXPECT_NE(longest.out.find("No Data.\n"), std::string::npos) << longest.out;
}

// The last line of the standard output: what check and delete found, after the candidate list.
std::string LastLine(const std::string& out) {
    const std::size_t end = out.ends_with('\n') ? out.size() - 1 : out.size();
    const std::size_t start = out.rfind('\n', end == 0 ? 0 : end - 1);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - (start + 1));
}

// The demo instrument holds data in A, C, d and P.
TEST_F(K720ctlTest, CheckListsTheUnitsThatHoldData) {
    struct Case {
        sim::InstrumentState instrument;
        const char* line;
    };
    const Case cases[] = {{sim::DemoInstrument(), "A C d P"}, {sim::EmptyInstrument(), "No Data."}};
    for (const Case& c : cases) {
        SimInstrument instrument(c.instrument);
        ChildProcess check = Run(instrument, {"check"});
        EXPECT_EQ(check.Wait(), 0) << check.out << check.err;
        EXPECT_EQ(LastLine(check.out), c.line) << check.out;
        EXPECT_EQ(instrument.SettledCommands(),
                  (std::vector<std::string>{"QPID", "QPID", ":MEM:CHECK?"}));
    }
}

TEST_F(K720ctlTest, DeleteSendsWhatTheDeletionPageSends) {
    using Lines = std::vector<std::string>;
    sim::Faults ngForC;
    ngForC.wrongReplies.push_back({":MEM:CLEAR C", "NG\r\n"});
    const Lines all = {":MEM:CLEAR A", ":MEM:CLEAR C", ":MEM:CLEAR D", ":MEM:CLEAR P"};
    const char* invalid = "Communication Error.  \nInvalid response. ";
    struct Case {
        const char* unit;
        bool empty; // else the demo instrument: data in A, C, d and P
        sim::Faults faults;
        int exitStatus;
        const char* says;
        Lines clears; // sent after the memory check
    };
    const Case cases[] = {
        {"C", false, {}, 0, "Deleted.", {":MEM:CLEAR C"}},
        {"all", false, {}, 0, "Deleted.", all},
        {"all", false, ngForC, 1, invalid, {":MEM:CLEAR A", ":MEM:CLEAR C"}},
        {"e", false, {}, 1, "No Data.", {}},
        {"all", true, {}, 1, "No Data.", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("unit ") + c.unit + ", " + c.says);
        SimInstrument instrument(c.empty ? sim::EmptyInstrument() : sim::DemoInstrument(),
                                 c.faults);
        ChildProcess deletion = Run(instrument, {"delete", "--unit", c.unit, "--yes"});
        EXPECT_EQ(deletion.Wait(), c.exitStatus) << deletion.out << deletion.err;
        EXPECT_TRUE(deletion.out.ends_with(std::string(c.says) + "\n")) << deletion.out;
        Lines expected = {"QPID", "QPID", ":MEM:CHECK?"};
        expected.insert(expected.end(), c.clears.begin(), c.clears.end());
        EXPECT_EQ(instrument.SettledCommands(), expected);
    }
}

// Without --yes the question needs a terminal: answered there, or refused before anything is
// sent when nobody could answer it.
TEST_F(K720ctlTest, DeleteAsksOnATerminalAndRefusesWithoutOne) {
    SimInstrument instrument(sim::DemoInstrument());
    ChildProcess refused = Run(instrument, {"delete", "--unit", "C"});
    EXPECT_EQ(refused.Wait(), 2);
    EXPECT_NE(refused.err.find("--yes"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(instrument.SettledCommands().empty());

    struct Case {
        const char* unit;
        const char* answer;
        const char* question;
        int exitStatus;
        const char* says;
        bool cleared;
    };
    const Case cases[] = {
        {"P", "n\n", "This will delete unit [ P ].  Proceed? [y/N] ", 1, "Nothing deleted.", false},
        {"all", "\n", "This will delete ALL UNITs.  Proceed? [y/N] ", 1, "Nothing deleted.", false},
        {"P", "y\n", "This will delete unit [ P ].  Proceed? [y/N] ", 0, "Deleted.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.unit) + " answered " + c.answer);
        SimInstrument demo(sim::DemoInstrument());
        PtyPeer terminal;
        terminal.Write(c.answer); // read once the memory check is done
        ChildProcess asked = Run(demo, {"delete", "--unit", c.unit}, terminal.Path());
        EXPECT_EQ(asked.Wait(), c.exitStatus) << asked.out << asked.err;
        EXPECT_EQ(asked.err, c.question);
        EXPECT_TRUE(asked.out.ends_with(std::string(c.says) + "\n")) << asked.out;
        EXPECT_EQ(demo.SettledCommands().back(), c.cleared ? ":MEM:CLEAR P" : ":MEM:CHECK?");
    }
}

// The port is free while the question waits, and the memory check is made again once it is
// answered: a unit another program emptied meanwhile is not cleared a second time.
TEST_F(K720ctlTest, DeleteFreesThePortWhileAskingAndChecksAgainAfterTheAnswer) {
    SimInstrument demo(sim::DemoInstrument());
    PtyPeer terminal;
    ChildProcess asking = Run(demo, {"delete", "--unit", "P"}, terminal.Path());
    // The memory check is answered and the port closed: the question waits.
    const auto checkedAndClosed = [&demo] {
        bool checked = false;
        for (const sim::ProtocolEvent& event : demo.Server().Events()) {
            checked = checked || event.text == ":MEM:CHECK?";
            if (checked && event.kind == sim::ProtocolEvent::Kind::PortClosed) {
                return true;
            }
        }
        return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!checkedAndClosed() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_TRUE(checkedAndClosed());

    ChildProcess other = Run(demo, {"delete", "--unit", "P", "--yes"});
    EXPECT_EQ(other.Wait(), 0) << other.out << other.err;
    terminal.Write("y\n");
    EXPECT_EQ(asking.Wait(), 1) << asking.out << asking.err;
    EXPECT_TRUE(asking.out.ends_with("No Data.\n")) << asking.out;
    const std::vector<std::string> sent = demo.SettledCommands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), ":MEM:CLEAR P"), 1);
    EXPECT_EQ(sent.back(), ":MEM:CHECK?");
}

// The set clock page's checks come first (nothing is sent after a refusal), then its exchange.
TEST_F(K720ctlTest, ClockSendsWhatTheSetClockPageSends) {
    using Lines = std::vector<std::string>;
    sim::Faults refused;
    refused.wrongReplies.push_back({":TIME*", "NG\r\n"});
    const Lines found = {"QPID", "QPID"};
    struct Case {
        const char* set;
        sim::Faults faults;
        int exitStatus;
        const char* says;
        Lines sent;
    };
    const Case cases[] = {
        {"2014-03-07 09:05", {}, 0, "Clock set.  ", {"QPID", "QPID", ":TIME 2014,3,7,9,5"}},
        {"2014-3-7 9:5", {}, 0, "Clock set.  ", {"QPID", "QPID", ":TIME 2014,3,7,9,5"}},
        {"2012-02-29 23:59",
         refused,
         1,
         "Clock setting failed.  ",
         {"QPID", "QPID", ":TIME 2012,2,29,23,59"}},
        {"2013-02-29 10:00", {}, 2, "Please enter an integer between 1 and 28.  ", {}},
        {"2038-01-01 00:00", {}, 2, "Please enter an integer between 2006 and 2037.  ", {}},
        {"2014-03-07 24:00", {}, 2, "Please enter an integer between 0 and 23.  ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        SimInstrument instrument(sim::EmptyInstrument(), c.faults);
        ChildProcess clock = Run(instrument, {"clock", "--set", c.set});
        EXPECT_EQ(clock.Wait(), c.exitStatus) << clock.out << clock.err;
        EXPECT_EQ(LastLine(clock.out), c.says) << clock.out;
        EXPECT_EQ(instrument.SettledCommands(), c.sent);
    }

    // Without --set: the PC's time now, to the minute.
    SimInstrument instrument(sim::EmptyInstrument());
    auto now = [] {
        const std::time_t seconds = std::time(nullptr);
        std::tm local{};
        localtime_r(&seconds, &local);
        return ":TIME " + std::to_string(local.tm_year + 1900) + "," +
               std::to_string(local.tm_mon + 1) + "," + std::to_string(local.tm_mday) + "," +
               std::to_string(local.tm_hour) + "," + std::to_string(local.tm_min);
    };
    const std::string before = now();
    ChildProcess clock = Run(instrument, {"clock"});
    EXPECT_EQ(clock.Wait(), 0) << clock.out << clock.err;
    const std::string after = now();
    const Lines sent = instrument.SettledCommands();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_TRUE(sent[2] == before || sent[2] == after) << sent[2];
}

// Table files need no instrument: a new table passes the editor's check, a broken one gets the
// editor's message, a file that cannot be written is said so.
TEST_F(K720ctlTest, TableNewWritesATableThatTableCheckAccepts) {
    const std::string path = Scratch("table.csv").string();
    ChildProcess made(K720CTL_PROGRAM, {"table", "new", "--out", path});
    EXPECT_EQ(made.Wait(), 0) << made.out << made.err;
    ChildProcess sound(K720CTL_PROGRAM, {"table", "check", path});
    EXPECT_EQ(sound.Wait(), 0) << sound.out << sound.err;
    EXPECT_EQ(made.out + sound.out, "");

    // Entry 7 in the 30 mohm range, written in full-width letters, with a limit beyond 31.00.
    std::string bytes = ReadFile(path);
    const std::string entry7 = "\r\n7,No Name,3m,0.000,";
    ASSERT_NE(bytes.find(entry7), std::string::npos);
    bytes.replace(bytes.find(entry7), entry7.size(),
                  "\r\n7,No Name,\x82\x52\x82\x4F\x82\x6C,31.01,");
    std::ofstream(path, std::ios::binary) << bytes;
    ChildProcess broken(K720CTL_PROGRAM, {"table", "check", path});
    EXPECT_EQ(broken.Wait(), 1);
    EXPECT_EQ(broken.out, "File corrupted.  \nCan not open. \n\n( No.7, R-Lim1 )\n");

    ChildProcess unwritable(K720CTL_PROGRAM, {"table", "new", "--out", ScratchFolder().string()});
    EXPECT_EQ(unwritable.Wait(), 1);
    EXPECT_NE(unwritable.out.find("not a file"), std::string::npos) << unwritable.out;
}

// Every command the instrument received after the scan, and every record, as its log shows them.
std::vector<std::string> TableExchange(SimInstrument& instrument) {
    std::vector<std::string> lines;
    for (const sim::ProtocolEvent& event : instrument.Server().Events()) {
        if (event.kind == sim::ProtocolEvent::Kind::Command && event.text != "QPID") {
            lines.push_back(event.text);
        } else if (event.kind == sim::ProtocolEvent::Kind::TableRecord) {
            lines.push_back("entry " + event.text);
        }
    }
    return lines;
}

comp::ParsedTable ParsedFile(const std::filesystem::path& path) {
    std::string text;
    EXPECT_TRUE(comp::LoadTableFile(path.string(), text).Ok());
    return comp::ParseTableText(text);
}

// A table sent with put comes back with get: the same ranges and limits, named "No Name" or, with
// --names-from, as before; the instrument received exactly the records of the file.
TEST_F(K720ctlTest, TablePutThenGetGivesTheSameTable) {
    comp::CompTable rows;
    rows[0] = {"Cell A", "30m", "12.34", "31.00", "60V", "12.00"};
    rows[2] = {"Block", "3", "3100", "3100", "60V", "60.00"};
    rows[199] = {"Last", "300m", "0.1", "309.9", "6V", "0.001"};
    const auto sent = Scratch("sent.csv");
    ASSERT_TRUE(comp::WriteTableFile(sent.string(), rows).Ok());
    SimInstrument instrument(sim::DemoInstrument());

    ChildProcess put = Run(instrument, {"-v", "table", "put", sent.string()});
    EXPECT_EQ(put.Wait(), 0) << put.out << put.err;
    EXPECT_TRUE(put.out.ends_with("Data transferred.  \n")) << put.out;
    EXPECT_NE(put.err.find("->    5 bytes: 53 4B 07 24 B0\n"), std::string::npos) << put.err;
    std::vector<std::string> expected = {":COMP:TABLE"};
    for (int entry = 1; entry <= comp::kEntryCount; ++entry) {
        const char* record = entry == 1     ? "53 4B 07 24 B0"
                             : entry == 3   ? "F0 73 07 37 70"
                             : entry == 200 ? "80 07 06 C0 01"
                                            : "00 00 00 00 00";
        expected.push_back("entry " + std::to_string(entry) + ": " + record);
    }
    EXPECT_EQ(TableExchange(instrument), expected);
    EXPECT_EQ(instrument.Server().State().comparatorTable[199],
              sim::PackEntryCodes(2, 1, 3099, 0, 1));

    const auto received = Scratch("received.csv");
    ChildProcess get = Run(instrument, {"-v", "table", "get", "--out", received.string()});
    EXPECT_EQ(get.Wait(), 0) << get.out << get.err;
    EXPECT_TRUE(get.out.ends_with("Data received.  \n")) << get.out;
    EXPECT_NE(get.err.find("<-    5 bytes: F0 73 07 37 70\n"), std::string::npos) << get.err;
    comp::CompTable unnamed = rows;
    for (comp::CompRow& row : unnamed) {
        row.name = "No Name";
    }
    const comp::ParsedTable got = ParsedFile(received);
    EXPECT_EQ(got.message, "");
    EXPECT_TRUE(got.rows == unnamed);
    expected.push_back(":COMP:TABLE:START");
    for (int entry = 1; entry <= comp::kEntryCount; ++entry) {
        expected.push_back(":COMP:TABLE? " + std::to_string(entry));
    }
    expected.push_back(":COMP:TABLE:END");
    EXPECT_EQ(TableExchange(instrument), expected);

    const auto named = Scratch("named.csv");
    ChildProcess again =
        Run(instrument, {"table", "get", "--out", named.string(), "--names-from", sent.string()});
    EXPECT_EQ(again.Wait(), 0) << again.out << again.err;
    EXPECT_TRUE(ParsedFile(named).rows == rows);
}

// A table file that fails the checks is not sent; a received table that fails them is not
// written; the instrument's refusals print the transfer pages' messages.
TEST_F(K720ctlTest, TableFailuresPrintThePagesMessages) {
    const auto broken = Scratch("broken.csv");
    std::string text;
    ASSERT_TRUE(comp::BuildTableText(comp::CompTable{}, text).Ok());
    const std::string entry7 = "\r\n7,No Name,3m,0.000,";
    text.replace(text.find(entry7), entry7.size(), "\r\n7,No Name,3m,3.101,");
    std::ofstream(broken, std::ios::binary) << text;
    const auto sound = Scratch("sound.csv");
    ASSERT_TRUE(comp::WriteTableFile(sound.string(), comp::CompTable{}).Ok());
    const auto out = Scratch("out.csv");

    sim::InstrumentState beyondBounds = sim::EmptyInstrument();
    beyondBounds.comparatorTable[8] = sim::PackEntryCodes(0, 4000, 0, 0, 0);
    sim::Faults badAck;
    badAck.badAckEntry = 10;
    sim::Faults refused;
    refused.wrongReplies.push_back({":COMP:TABLE", "NG\r\n"});
    struct Case {
        const char* name;
        sim::InstrumentState instrument;
        sim::Faults faults;
        std::vector<std::string> arguments;
        std::string says; // the end of the standard output
        std::size_t sent; // commands and records after the scan
    };
    const Case cases[] = {
        {"broken file",
         sim::EmptyInstrument(),
         {},
         {"table", "put", broken.string()},
         "File corrupted.  \nCan not open. \n\n( No.7, R-Lim1 )\n",
         0},
        {"count beyond its bound",
         beyondBounds,
         {},
         {"table", "get", "--out", out.string()},
         "Data received.  \nFile corrupted.  \nCan not open. \n\n( No.9, R-Lim1 )\n",
         202},
        {"wrong acknowledgement",
         sim::EmptyInstrument(),
         badAck,
         {"table", "put", sound.string()},
         "\nData transfer error.  \n",
         11},
        {"transfer refused",
         sim::EmptyInstrument(),
         refused,
         {"table", "put", sound.string()},
         "\nCommunication Error.  \nInvalid response. \n",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument instrument(c.instrument, c.faults);
        ChildProcess child = Run(instrument, c.arguments);
        EXPECT_EQ(child.Wait(), 1) << child.out << child.err;
        EXPECT_TRUE(child.out.ends_with(c.says)) << child.out;
        instrument.SettledCommands();
        EXPECT_EQ(TableExchange(instrument).size(), c.sent);
        if (c.sent == 0) {
            EXPECT_EQ(child.out, c.says) << "not even the candidate list";
            EXPECT_TRUE(instrument.Server().Commands().empty()) << "not even the scan";
        }
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

// A stop signal ends a transfer after the entry in progress: the reception tells the instrument
// it ended and writes no file; the transmission leaves the entries acknowledged until then.
TEST_F(K720ctlTest, StopSignalEndsATableTransferAfterTheEntryInProgress) {
    sim::ServerOptions paced;
    paced.pace = true;
    const auto table = Scratch("put.csv");
    comp::CompTable rows;
    for (comp::CompRow& row : rows) {
        row.vLim = "1.234";
    }
    ASSERT_TRUE(comp::WriteTableFile(table.string(), rows).Ok());
    const auto out = Scratch("got.csv");
    struct Case {
        int signal;
        std::vector<std::string> arguments;
        const char* awaited; // seen in the instrument's log before the signal
        const char* says;
    };
    const Case cases[] = {
        {SIGINT,
         {"table", "get", "--out", out.string()},
         ":COMP:TABLE? 20",
         "Reception stopped after "},
        {SIGTERM, {"table", "put", table.string()}, ":COMP:TABLE", "Transfer stopped after "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments[1]);
        SimInstrument instrument(sim::EmptyInstrument(), {}, paced);
        ChildProcess child = Run(instrument, c.arguments);
        ASSERT_TRUE(WaitForCommand(instrument, c.awaited));
        std::this_thread::sleep_for(50ms);
        const auto signalled = std::chrono::steady_clock::now();
        child.Signal(c.signal);
        EXPECT_EQ(child.Wait(), 130) << child.out << child.err;
        EXPECT_LE(std::chrono::steady_clock::now() - signalled, 2500ms);
        EXPECT_NE(child.out.find(c.says), std::string::npos) << child.out;
        const std::vector<std::string> commands = instrument.SettledCommands();
        EXPECT_FALSE(std::filesystem::exists(out));
        if (c.arguments[1] == "get") {
            EXPECT_EQ(commands.back(), ":COMP:TABLE:END");
            continue;
        }
        const std::size_t records = TableExchange(instrument).size() - 1;
        EXPECT_GT(records, 0u);
        EXPECT_LT(records, 200u);
        const auto stored = instrument.Server().State().comparatorTable;
        EXPECT_EQ(stored[records - 1], sim::PackEntryCodes(0, 0, 0, 0, 1234));
        EXPECT_EQ(stored[records], sim::EntryRecord{}) << "nothing after the stop";
        EXPECT_NE(child.out.find("after " + std::to_string(records) + " of 200"), std::string::npos)
            << child.out;
    }
}

} // namespace
