// The measurement data reception engine against the simulated instrument, and its
// texts and estimate.
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <gtest/gtest.h>

#include "reading_encoder.h"
#include "reception.h"
#include "support/measure_support.h"

namespace {

using measure::EndOutcome;
using measure::ReceptionEnd;
using measure::ReceptionEngine;
using measure::ReceptionRequest;
using measure::StartOutcome;
using measure::TemperatureUnit;
using measure_test::CrLfLines;
using measure_test::FileExists;
using measure_test::ReadFileBytes;
using measure_test::ScratchFolder;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using namespace std::chrono_literals;

const measure::CsvDate kDate{2014, 3, 10};

// Records what the engine reports, from its worker threads.
class RecordingObserver : public measure::ReceptionObserver {
public:
    void OnUnitStarted(int unit) override {
        std::lock_guard lock(mutex_);
        units_.push_back(unit);
    }
    void OnProgress(int received, int total) override {
        std::function<void(int)> hook;
        {
            std::lock_guard lock(mutex_);
            progress_.emplace_back(received, total);
            hook = progressHook_;
        }
        if (hook) {
            hook(received);
        }
        cv_.notify_all();
    }
    void OnTimeRemaining(const std::string& text) override {
        std::lock_guard lock(mutex_);
        times_.push_back(text);
    }
    void OnEnd(const ReceptionEnd& end) override {
        std::function<void()> hook;
        {
            std::lock_guard lock(mutex_);
            hook = endHook_;
        }
        if (hook) {
            hook();
        }
        {
            std::lock_guard lock(mutex_);
            ends_.push_back(end);
        }
        cv_.notify_all();
    }
    void SetEndHook(std::function<void()> hook) {
        std::lock_guard lock(mutex_);
        endHook_ = std::move(hook);
    }

    void SetProgressHook(std::function<void(int)> hook) {
        std::lock_guard lock(mutex_);
        progressHook_ = std::move(hook);
    }
    // The end of the reception, or nothing after the timeout.
    std::optional<ReceptionEnd> WaitForEnd(std::chrono::milliseconds timeout = 30s) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [this] { return !ends_.empty(); })) {
            return std::nullopt;
        }
        return ends_.front();
    }
    bool WaitForProgress(int received, std::chrono::milliseconds timeout = 30s) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [&] {
            return !ends_.empty() || (!progress_.empty() && progress_.back().first >= received);
        });
    }
    std::vector<int> Units() {
        std::lock_guard lock(mutex_);
        return units_;
    }
    std::vector<std::pair<int, int>> Progress() {
        std::lock_guard lock(mutex_);
        return progress_;
    }
    std::vector<std::string> Times() {
        std::lock_guard lock(mutex_);
        return times_;
    }
    std::size_t EndCount() {
        std::lock_guard lock(mutex_);
        return ends_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<int> units_;
    std::vector<std::pair<int, int>> progress_;
    std::vector<std::string> times_;
    std::vector<ReceptionEnd> ends_;
    std::function<void(int)> progressHook_;
    std::function<void()> endHook_;
};

// A reading whose date and time name its unit and slot.
ReadingCodes CodesFor(int unit, int slot) {
    ReadingCodes c;
    c.year = 2026;
    c.month = 1;
    c.day = unit + 1;
    c.hour = slot / 60;
    c.minute = slot % 60;
    c.resistanceRange = slot % 4;
    c.resistance = 100 + slot;
    c.voltageRange = unit % 2;
    c.voltage = 6000 + 3000 + slot;
    c.temperature = 100 + 250 - slot; // down to -15.0 degrees
    c.result = slot % 4;
    c.limit1 = 1000;
    c.limit2 = 2000;
    c.voltageLimit = 2500;
    return c;
}

void Store(sim::InstrumentState& state, int unit, const std::vector<int>& slots) {
    for (int slot : slots) {
        state.units[static_cast<std::size_t>(unit)].Store(slot,
                                                          EncodeReading(CodesFor(unit, slot)));
    }
}

std::vector<int> Range(int first, int last) {
    std::vector<int> slots;
    for (int s = first; s <= last; ++s) {
        slots.push_back(s);
    }
    return slots;
}

sim::InstrumentState Instrument(std::initializer_list<std::pair<int, std::vector<int>>> units,
                                std::string serial = "123456789") {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.serialNumber = std::move(serial);
    for (const auto& [unit, slots] : units) {
        Store(state, unit, slots);
    }
    return state;
}

std::string Header(const std::string& serial) {
    return "Model,K720 BATTERY TARVELIN\r\nSerial," + serial +
           "\r\nDate,2014-3-10,,V1.03\r\n\r\n\r\n";
}

// The lines of one unit from slot 1 up to `upToSlot`, readings in `slots`; closed with two empty
// lines when `complete`.
std::string UnitBlock(int unit, const std::vector<int>& slots, int upToSlot, bool complete = true,
                      TemperatureUnit temperature = TemperatureUnit::Celsius) {
    std::string text = measure::CsvUnitHeadingText(unit, temperature);
    for (int slot = 1; slot <= upToSlot; ++slot) {
        text += std::to_string(slot);
        if (std::find(slots.begin(), slots.end(), slot) != slots.end()) {
            text += measure::ReadingColumns(
                measure::DecodeReading(EncodeReading(CodesFor(unit, slot))), temperature);
        } else {
            text += ",,,,,,,,,,,";
        }
        text += "\r\n";
    }
    if (complete) {
        text += "\r\n\r\n";
    }
    return text;
}

std::string UnitBlock(int unit, const std::vector<int>& slots) {
    return UnitBlock(unit, slots, slots.empty() ? 0 : slots.back());
}

ReceptionRequest Request(const SimInstrument& sim, const ScratchFolder& folder, int code,
                         int mask = 0) {
    ReceptionRequest request;
    request.selectedUnitCode = code;
    request.unitDataMask = mask;
    request.port = sim.Port();
    request.folder = folder.Path();
    request.fileName = "data";
    request.fileDate = kDate;
    return request;
}

std::vector<std::string> DataRequests(const std::vector<std::string>& commands) {
    std::vector<std::string> requests;
    for (const std::string& command : commands) {
        if (command.starts_with(":MEM:DATA? ")) {
            requests.push_back(command.substr(11));
        }
    }
    return requests;
}

bool Contains(const std::vector<std::string>& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// After the reception the port must be closed: closing it again reports that nothing was open.
void ExpectPortClosed() {
    EXPECT_EQ(CommClose(), 0);
}

TEST(Reception, OneUnitWithReadingsInSlots3And7) {
    SimInstrument sim(Instrument({{0, {1}}, {2, {3, 7}}}));
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 4)), StartOutcome::Started);
    EXPECT_EQ(engine.Total(), 2);
    EXPECT_EQ(engine.Destination(), folder.File("data.csv"));
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_EQ(end->received, 2);
    EXPECT_EQ(end->total, 2);
    EXPECT_FALSE(engine.Running());
    ExpectPortClosed();

    const std::vector<std::string> expectedCommands = {
        ":MEM:UNIT? C",   ":SERIAL?",       ":FACT:SYS:UNIT?", ":MEM:DATA:START",
        ":MEM:DATA? 803", ":MEM:DATA? 807", ":MEM:DATA:END"};
    EXPECT_EQ(sent.Lines(), expectedCommands);
    EXPECT_EQ(DataRequests(sim.SettledCommands()), (std::vector<std::string>{"803", "807"}));
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header("123456789") + UnitBlock(2, {3, 7}));
    EXPECT_EQ(observer.Units(), std::vector<int>{2});
    const std::vector<std::pair<int, int>> progress = {{1, 2}, {2, 2}};
    EXPECT_EQ(observer.Progress(), progress);
    EXPECT_EQ(observer.EndCount(), 1u);
}

TEST(Reception, AllUnitsReadsOnlyTheUnitsOfTheMask) {
    SimInstrument sim(Instrument({{0, {1, 2}}, {2, {5}}, {5, {400}}, {11, {1}}}));
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    const int mask = 0x1 | 0x20 | 0x800; // A, F, P; C holds data but is not in the mask
    ASSERT_EQ(engine.Start(Request(sim, folder, 4096, mask)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_EQ(end->total, 4);
    const measure::UnitCounts counts{2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(engine.Counts(), counts);

    const std::vector<std::string> commands = sim.SettledCommands();
    const std::vector<std::string> head(commands.begin(), commands.begin() + 6);
    const std::vector<std::string> expectedHead = {":MEM:UNIT? A",    ":MEM:UNIT? F",
                                                   ":MEM:UNIT? P",    ":SERIAL?",
                                                   ":FACT:SYS:UNIT?", ":MEM:DATA:START"};
    EXPECT_EQ(head, expectedHead);
    const std::vector<std::string> requests = {"1", "2", "2400", "4401"};
    EXPECT_EQ(DataRequests(commands), requests);
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header("123456789") + UnitBlock(0, {1, 2}) +
                                                          UnitBlock(5, {400}) + UnitBlock(11, {1}));
    EXPECT_EQ(observer.Units(), (std::vector<int>{0, 5, 11}));
}

TEST(Reception, UnitFlaggedButEmptyGetsNoRecord) {
    // The mask says B holds data, its slot map says it holds none.
    SimInstrument sim(Instrument({{0, {2}}, {2, {1, 3}}}));
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 4096, 0x7)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    const std::vector<std::string> commands = sim.SettledCommands();
    EXPECT_TRUE(Contains(commands, ":MEM:UNIT? B"));
    EXPECT_EQ(DataRequests(commands), (std::vector<std::string>{"2", "801", "803"}));
    // C's slot numbers are C's own; no block for B.
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")),
              Header("123456789") + UnitBlock(0, {2}) + UnitBlock(2, {1, 3}));
    EXPECT_EQ(observer.Units(), (std::vector<int>{0, 2}));
}

TEST(Reception, SingleUnitWithEmptySlotMapGivesHeaderOnly) {
    SimInstrument sim(Instrument({{0, {2}}}));
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 2)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_EQ(end->total, 0);
    EXPECT_TRUE(DataRequests(sim.SettledCommands()).empty());
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header("123456789"));
}

TEST(Reception, SerialNumberTexts) {
    struct Case {
        std::string reply;
        std::string written;
    };
    const Case cases[] = {
        {std::string(20, '\xFF'), "0"},
        {std::string(23, '\xFF'), "0"},
        {std::string(19, '\xFF'), std::string(19, '\xFF')},
        {"K720-0042", "K720-0042"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "ABCDEFGHIJKLMNOPQRSTUVW"}, // cut to 23
        {"", ""},
    };
    for (const Case& c : cases) {
        SimInstrument sim(Instrument({{0, {1}}}, c.reply));
        ScratchFolder folder;
        RecordingObserver observer;
        ReceptionEngine engine(observer);
        ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
        ASSERT_TRUE(observer.WaitForEnd().has_value());
        engine.Join();
        EXPECT_EQ(engine.SerialNumber(), c.written);
        EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header(c.written) + UnitBlock(0, {1}));
    }
}

TEST(Reception, FahrenheitInstrument) {
    sim::InstrumentState state = Instrument({{3, {2}}});
    state.temperatureUnit = 'F';
    SimInstrument sim(state);
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 8)), StartOutcome::Started);
    ASSERT_TRUE(observer.WaitForEnd().has_value());
    engine.Join();
    EXPECT_EQ(engine.Temperature(), TemperatureUnit::Fahrenheit);
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")),
              Header("123456789") + UnitBlock(3, {2}, 2, true, TemperatureUnit::Fahrenheit));
}

TEST(Reception, TemperatureUnitOtherThanCOrFIsAFailure) {
    for (const char* reply : {"c\r\n", "f\r\n", "CF\r\n", "\r\n", "C \r\n", "FC\r\n"}) {
        sim::Faults faults;
        faults.wrongReplies.push_back({":FACT:SYS:UNIT?", reply});
        SimInstrument sim(Instrument({{0, {1}}}), faults);
        ScratchFolder folder;
        RecordingObserver observer;
        ReceptionEngine engine(observer);
        EXPECT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::CommunicationError) << reply;
        EXPECT_FALSE(engine.Running());
        ExpectPortClosed();
        EXPECT_FALSE(FileExists(folder.File("data.csv")));
        EXPECT_FALSE(Contains(sim.SettledCommands(), ":MEM:DATA:START"));
        EXPECT_EQ(observer.EndCount(), 0u);
    }
    EXPECT_STREQ(measure::StartMessage(StartOutcome::CommunicationError), "Communication Error.  ");
}

TEST(Reception, CancelStopsAfterTheCurrentRecord) {
    SimInstrument sim(Instrument({{0, Range(1, 100)}}));
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    observer.SetProgressHook([&engine](int received) {
        if (received == 20) {
            engine.Cancel();
        }
    });
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_EQ(end->received, 20);
    EXPECT_STREQ(measure::EndMessage(end->outcome), "Data receipt cancelled.  ");
    ExpectPortClosed();
    const std::vector<std::string> commands = sim.SettledCommands();
    EXPECT_EQ(DataRequests(commands).size(), 20u);
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")),
              Header("123456789") + UnitBlock(0, Range(1, 20), 20, false));
}

TEST(Reception, InstrumentFallingSilentEndsInErrorWithoutDataEnd) {
    sim::Faults faults;
    faults.readingsBeforeSilence = 57;
    SimInstrument sim(Instrument({{0, Range(1, 50)}, {1, Range(1, 50)}}), faults);
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 4096, 0x3)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->instrumentFailed);
    EXPECT_FALSE(end->fileFailed);
    EXPECT_EQ(end->received, 57);
    EXPECT_EQ(end->total, 100);
    EXPECT_STREQ(measure::EndMessage(end->outcome), "Data reception error.  ");
    ExpectPortClosed();
    const std::vector<std::string> commands = sim.SettledCommands();
    EXPECT_FALSE(Contains(commands, ":MEM:DATA:END"));
    EXPECT_EQ(DataRequests(commands).size(), 58u);
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA? 408"); // the 58th reading: unit B, slot 8
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header("123456789") +
                                                          UnitBlock(0, Range(1, 50)) +
                                                          UnitBlock(1, Range(1, 7), 7, false));
}

TEST(Reception, DestinationThatCannotBeCreatedEndsInError) {
    SimInstrument sim(Instrument({{0, Range(1, 400)}}));
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ReceptionRequest request = Request(sim, folder, 1);
    request.folder = folder.File("no-such-folder");
    ASSERT_EQ(engine.Start(request), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->fileFailed);
    EXPECT_FALSE(end->instrumentFailed);
    EXPECT_EQ(end->fileError, ENOENT);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
    EXPECT_FALSE(FileExists(request.folder));
}

TEST(Reception, FullDiskEndsInErrorAndNothingWaitsForever) {
    SimInstrument sim(Instrument({{0, Range(1, 400)}}));
    ScratchFolder folder;
    SentCommands sent;
    ASSERT_EQ(symlink("/dev/full", folder.File("data.csv").c_str()), 0);
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->fileFailed);
    EXPECT_EQ(end->fileError, ENOSPC);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
}

// A file size limit makes a write fail part-way through: the receiver, which by then waits on a
// full queue, is released, and what was written stays on disk.
TEST(Reception, WriteFailingPartWayKeepsWhatWasWritten) {
    struct LimitGuard {
        rlimit saved{};
        void (*savedHandler)(int) = nullptr;
        LimitGuard(rlim_t bytes) {
            getrlimit(RLIMIT_FSIZE, &saved);
            savedHandler = signal(SIGXFSZ, SIG_IGN);
            rlimit limited = saved;
            limited.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &limited);
        }
        ~LimitGuard() {
            setrlimit(RLIMIT_FSIZE, &saved);
            signal(SIGXFSZ, savedHandler);
        }
    };
    SimInstrument sim(Instrument({{0, Range(1, 400)}}));
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    std::optional<ReceptionEnd> end;
    {
        LimitGuard limit(4000);
        ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
        end = observer.WaitForEnd();
        engine.Join();
    }
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->fileFailed);
    EXPECT_EQ(end->fileError, EFBIG);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
    const std::string bytes = ReadFileBytes(folder.File("data.csv"));
    EXPECT_EQ(bytes.size(), 4000u);
    const std::string complete = Header("123456789") + UnitBlock(0, Range(1, 400));
    EXPECT_EQ(bytes, complete.substr(0, bytes.size()));
}

TEST(Reception, PathOfMoreThan299CharactersIsRefusedBeforeAnythingIsSent) {
    SimInstrument sim(Instrument({{0, {1}}}));
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ReceptionRequest request = Request(sim, folder, 1);
    // A deep folder, since no single name may be longer than 255 characters.
    request.folder = folder.File(std::string(150, 'd'));
    ASSERT_TRUE(std::filesystem::create_directory(request.folder));
    // folder + "/" + name + ".csv" = 300 characters.
    request.fileName = std::string(300 - request.folder.size() - 1 - 4, 'n');
    ASSERT_EQ(measure::DestinationPath(request.folder, request.fileName).size(), 300u);
    EXPECT_EQ(engine.Start(request), StartOutcome::PathTooLong);
    EXPECT_NE(std::string(measure::StartMessage(StartOutcome::PathTooLong)), "");
    EXPECT_TRUE(sim.SettledCommands().empty());
    EXPECT_TRUE(sim.Server().Events().empty()); // the port was not even opened
    EXPECT_EQ(observer.EndCount(), 0u);

    // 299 characters are accepted.
    request.fileName.pop_back();
    ASSERT_EQ(engine.Start(request), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_TRUE(FileExists(measure::DestinationPath(request.folder, request.fileName)));
}

TEST(Reception, PortThatCannotBeOpened) {
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ReceptionRequest request;
    request.selectedUnitCode = 1;
    request.port = kLastPortNumber; // nothing attached there
    request.folder = folder.Path();
    request.fileName = "data";
    EXPECT_EQ(engine.Start(request), StartOutcome::PortNotOpened);
    EXPECT_STREQ(measure::StartMessage(StartOutcome::PortNotOpened),
                 "Communication Error.  \nUSB disconnected. ");
    EXPECT_FALSE(FileExists(folder.File("data.csv")));
    EXPECT_FALSE(engine.Running());
}

TEST(Reception, SilentInstrumentWhileCountingIsACommunicationError) {
    sim::Faults faults;
    faults.silentFromCommand = 2; // the slot map of A comes, that of C does not
    SimInstrument sim(Instrument({{0, {1}}, {2, {1}}}), faults);
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.Start(Request(sim, folder, 4096, 0x5)), StartOutcome::CommunicationError);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2500ms);
    ExpectPortClosed();
    EXPECT_FALSE(FileExists(folder.File("data.csv")));
    EXPECT_EQ(sim.SettledCommands(), (std::vector<std::string>{":MEM:UNIT? A", ":MEM:UNIT? C"}));
}

TEST(Reception, SilentInstrumentAtTheSerialNumberIsACommunicationError) {
    sim::Faults faults;
    faults.silentFromCommand = 2;
    SimInstrument sim(Instrument({{0, {1}}}), faults);
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    EXPECT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::CommunicationError);
    ExpectPortClosed();
    EXPECT_EQ(sim.SettledCommands(), (std::vector<std::string>{":MEM:UNIT? A", ":SERIAL?"}));
}

// A slow instrument, so that the reception is still running when the test acts.
sim::ServerOptions Slow() {
    sim::ServerOptions options;
    options.pace = true;
    options.latency = 2ms;
    return options;
}

TEST(Reception, StopAndJoinWhileRunning) {
    SimInstrument sim(Instrument({{0, Range(1, 400)}}), {}, Slow());
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    ASSERT_TRUE(observer.WaitForProgress(5));
    EXPECT_TRUE(engine.Running());
    EXPECT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Busy);
    engine.StopAndJoin();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(observer.EndCount(), 1u);
    const auto end = observer.WaitForEnd(0ms);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(sent.Lines().back(), ":MEM:DATA:END");
    const std::string bytes = ReadFileBytes(folder.File("data.csv"));
    EXPECT_EQ(bytes,
              Header("123456789") + UnitBlock(0, Range(1, end->received), end->received, false));
}

TEST(Reception, DestroyingTheEngineStopsItAndJoins) {
    SimInstrument sim(Instrument({{0, Range(1, 400)}}), {}, Slow());
    ScratchFolder folder;
    RecordingObserver observer;
    {
        ReceptionEngine engine(observer);
        ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
        ASSERT_TRUE(observer.WaitForProgress(3));
    }
    EXPECT_EQ(observer.EndCount(), 1u);
    ExpectPortClosed();
    // Stopping an idle engine is harmless.
    ReceptionEngine idle(observer);
    idle.StopAndJoin();
    idle.Join();
    EXPECT_EQ(observer.EndCount(), 1u);
}

TEST(Reception, JoinFromACallbackDoesNotDeadlock) {
    SimInstrument sim(Instrument({{0, Range(1, 50)}}));
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    observer.SetProgressHook([&engine](int received) {
        if (received == 3) {
            engine.StopAndJoin(); // cancels; the join is skipped on a worker thread
        }
    });
    observer.SetEndHook([&engine] { engine.Join(); });
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    const auto end = observer.WaitForEnd(10s);
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_EQ(end->received, 3);
}

TEST(Reception, ProgressAndEstimateWhileReceiving) {
    SimInstrument sim(Instrument({{0, Range(1, 180)}}), {}, Slow());
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    const auto end = observer.WaitForEnd();
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    ASSERT_TRUE(end.has_value());
    engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    const auto progress = observer.Progress();
    ASSERT_EQ(progress.size(), 180u);
    for (std::size_t i = 0; i < progress.size(); ++i) {
        EXPECT_EQ(progress[i], std::make_pair(static_cast<int>(i) + 1, 180));
    }
    // At most one text per elapsed second; each in one of the two forms.
    const auto times = observer.Times();
    EXPECT_LE(static_cast<long long>(times.size()), seconds);
    for (const std::string& text : times) {
        EXPECT_TRUE(text.ends_with(" sec")) << text;
    }
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")),
              Header("123456789") + UnitBlock(0, Range(1, 180)));
}

TEST(Reception, EngineRunsAgainAfterAnEnd) {
    SimInstrument sim(Instrument({{0, {1, 2}}, {1, {3}}}));
    ScratchFolder folder;
    RecordingObserver observer;
    ReceptionEngine engine(observer);
    ASSERT_EQ(engine.Start(Request(sim, folder, 1)), StartOutcome::Started);
    ASSERT_TRUE(observer.WaitForEnd().has_value());
    // No explicit Join: the next Start reaps the finished threads.
    ReceptionRequest second = Request(sim, folder, 2);
    second.fileName = "second";
    ASSERT_EQ(engine.Start(second), StartOutcome::Started);
    engine.Join();
    EXPECT_EQ(observer.EndCount(), 2u);
    EXPECT_EQ(ReadFileBytes(folder.File("second.csv")), Header("123456789") + UnitBlock(1, {3}));
    EXPECT_EQ(ReadFileBytes(folder.File("data.csv")), Header("123456789") + UnitBlock(0, {1, 2}));
}

TEST(TimeRemaining, KnownEstimates) {
    EXPECT_EQ(measure::RemainingSeconds(100, 25, 10), 30);
    EXPECT_EQ(measure::TimeRemainingText(measure::RemainingSeconds(100, 25, 10)), "30 sec");
    EXPECT_EQ(measure::RemainingSeconds(1000, 10, 20), 1980);
    EXPECT_EQ(measure::TimeRemainingText(measure::RemainingSeconds(1000, 10, 20)), "33 min 0 sec");
    EXPECT_EQ(measure::TimeRemainingText(0), "0 sec");
    EXPECT_EQ(measure::TimeRemainingText(59), "59 sec");
    EXPECT_EQ(measure::TimeRemainingText(60), "1 min 0 sec");
    EXPECT_EQ(measure::TimeRemainingText(61), "1 min 1 sec");
    EXPECT_EQ(measure::RemainingSeconds(7, 3, 10), 13); // truncated: 40 / 3
    EXPECT_EQ(measure::RemainingSeconds(4800, 4800, 900), 0);
}

TEST(TimeRemaining, ChangesAtMostOncePerElapsedSecond) {
    measure::TimeRemainingEstimate estimate;
    EXPECT_EQ(estimate.Update(100, 1, 0), std::nullopt); // nothing during the first second
    EXPECT_EQ(estimate.Update(100, 2, 0), std::nullopt);
    EXPECT_EQ(estimate.Update(100, 25, 10), "30 sec");
    EXPECT_EQ(estimate.Update(100, 26, 10), std::nullopt); // same second: not redrawn
    EXPECT_EQ(estimate.Update(1000, 10, 20), "33 min 0 sec");
    estimate.Reset();
    EXPECT_EQ(estimate.Update(100, 50, 0), std::nullopt);
    EXPECT_EQ(estimate.Update(100, 50, 1), "1 sec");
}

TEST(ReceptionTexts, PageLinesAndMessages) {
    EXPECT_EQ(measure::UnitLineText(4), "Unit [ C ]");
    EXPECT_EQ(measure::UnitLineText(1024), "Unit [ N ]");
    EXPECT_EQ(measure::UnitLineText(4096), "ALL UNITs");
    EXPECT_EQ(measure::UnitLineText(3), "Unit [ A ]"); // any other value counts as unit 0
    EXPECT_EQ(measure::ReadingUnitText(1), "Reading unit [ B ] .......");
    EXPECT_EQ(measure::ProgressText(0, 57), "0 / 57");
    EXPECT_STREQ(measure::EndMessage(EndOutcome::Received), "Data received.  ");
    EXPECT_STREQ(measure::EndMessage(EndOutcome::Cancelled), "Data receipt cancelled.  ");
    EXPECT_STREQ(measure::EndMessage(EndOutcome::Error), "Data reception error.  ");
    EXPECT_STREQ(measure::StartMessage(StartOutcome::Started), "");
    EXPECT_EQ(measure::DestinationPath("/data", "run 1"), "/data/run 1.csv");
    EXPECT_EQ(measure::DestinationPath("/", "run 1"), "/run 1.csv") << "never two separators";
}

TEST(SlotMaps, MarksCountsAndSerialNumbers) {
    measure::SlotMap map{};
    map[0] = 0x05;  // slots 1 and 3
    map[49] = 0x80; // slot 400
    EXPECT_TRUE(measure::SlotMarked(map, 1));
    EXPECT_FALSE(measure::SlotMarked(map, 2));
    EXPECT_TRUE(measure::SlotMarked(map, 3));
    EXPECT_TRUE(measure::SlotMarked(map, 400));
    EXPECT_FALSE(measure::SlotMarked(map, 0));
    EXPECT_FALSE(measure::SlotMarked(map, 401));
    EXPECT_EQ(measure::CountReadings(map), 3);
    map.fill(0xFF);
    EXPECT_EQ(measure::CountReadings(map), 400);

    char buffer[24] = {};
    std::fill(buffer, buffer + 20, '\xFF');
    EXPECT_EQ(measure::SerialNumberText(buffer, sizeof buffer), "0");
    buffer[5] = 'x';
    EXPECT_EQ(measure::SerialNumberText(buffer, sizeof buffer).size(), 20u);
}

} // namespace
