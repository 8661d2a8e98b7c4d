// The measurement data reception engine against the simulated instrument, and its
// texts and estimate.
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "measure/reception.h"
#include "sim/reading_encoder.h"
#include "tests/support/measure_support.h"
#include "translations/text_language.h"

namespace {

using measure::EndOutcome;
using measure::ReadingRecord;
using measure::ReceptionEnd;
using measure::ReceptionEngine;
using measure::ReceptionRequest;
using measure::StartOutcome;
using measure::TemperatureUnit;
using measure_test::FileExists;
using measure_test::ReadFileBytes;
using measure_test::ScratchFolder;
using measure_test::SentCommands;
using measure_test::SimInstrument;
using namespace std::chrono_literals;
using Commands = std::vector<std::string>;

// Records what the engine reports, from its worker threads.
class RecordingObserver : public measure::ReceptionObserver {
public:
    void OnUnitStarted(int unit) override {
        std::lock_guard lock(mutex_);
        units_.push_back(unit);
    }
    void OnProgress(int received, int total) override {
        {
            std::lock_guard lock(mutex_);
            progress_.emplace_back(received, total);
        }
        if (onProgress) {
            onProgress(received);
        }
        cv_.notify_all();
    }
    void OnTimeRemaining(const std::string& text) override {
        std::lock_guard lock(mutex_);
        times_.push_back(text);
    }
    void OnEnd(const ReceptionEnd& end) override {
        if (onEnd) {
            onEnd();
        }
        {
            std::lock_guard lock(mutex_);
            ends_.push_back(end);
        }
        cv_.notify_all();
    }

    // Hooks are set before the reception starts and run on the worker threads.
    std::function<void(int)> onProgress;
    std::function<void()> onEnd;

    // The end of the reception, or nothing after the timeout.
    std::optional<ReceptionEnd> WaitForEnd(std::chrono::milliseconds timeout = 30s) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [this] { return !ends_.empty(); })) {
            return std::nullopt;
        }
        return ends_.front();
    }
    bool WaitForProgress(int received) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, 30s, [&] {
            return !ends_.empty() || (!progress_.empty() && progress_.back().first >= received);
        });
    }
    std::vector<int> Units() { return Copy(units_); }
    std::vector<std::pair<int, int>> Progress() { return Copy(progress_); }
    std::vector<std::string> Times() { return Copy(times_); }
    std::size_t EndCount() { return Copy(ends_).size(); }

private:
    template <class T>
    T Copy(const T& member) {
        std::lock_guard lock(mutex_);
        return member;
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<int> units_;
    std::vector<std::pair<int, int>> progress_;
    std::vector<std::string> times_;
    std::vector<ReceptionEnd> ends_;
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

std::vector<int> Range(int first, int last) {
    std::vector<int> slots;
    for (int s = first; s <= last; ++s) {
        slots.push_back(s);
    }
    return slots;
}

sim::InstrumentState Instrument(std::initializer_list<std::pair<int, std::vector<int>>> units,
                                std::string serial = "123456789", char temperature = 'C') {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.serialNumber = std::move(serial);
    state.temperatureUnit = temperature;
    for (const auto& [unit, slots] : units) {
        for (int slot : slots) {
            state.units[static_cast<std::size_t>(unit)].Store(slot,
                                                              EncodeReading(CodesFor(unit, slot)));
        }
    }
    return state;
}

std::string Header(const std::string& serial = "123456789") {
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
    return complete ? text + "\r\n\r\n" : text;
}

std::string UnitBlock(int unit, const std::vector<int>& slots) {
    return UnitBlock(unit, slots, slots.empty() ? 0 : slots.back());
}

int DataRequestCount(const Commands& commands) {
    return static_cast<int>(std::count_if(commands.begin(), commands.end(), [](const auto& c) {
        return c.starts_with(":MEM:DATA? ");
    }));
}

bool Contains(const Commands& commands, const std::string& command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// After the reception the port must be closed: closing it again reports that nothing was open.
void ExpectPortClosed() {
    EXPECT_EQ(CommClose(), 0);
}

// One engine against one simulated instrument, a scratch folder and the commands sent.
struct Rig {
    explicit Rig(sim::InstrumentState state, sim::Faults faults = {},
                 sim::ServerOptions options = {})
        : sim(std::move(state), std::move(faults), std::move(options)) {}

    ReceptionRequest Request(int code, int mask = 0) const {
        ReceptionRequest request;
        request.selectedUnitCode = code;
        request.unitDataMask = mask;
        request.port = sim.Port();
        request.folder = folder.Path();
        request.fileName = "data";
        request.fileDate = measure::CsvDate{2014, 3, 10};
        return request;
    }
    // Starts a reception and waits for its end and for the engine's threads.
    std::optional<ReceptionEnd> Receive(const ReceptionRequest& request) {
        const StartOutcome started = engine.Start(request);
        EXPECT_EQ(started, StartOutcome::Started);
        if (started != StartOutcome::Started) {
            return std::nullopt;
        }
        auto end = observer.WaitForEnd();
        engine.Join();
        return end;
    }
    std::string File(const std::string& name = "data") const {
        return ReadFileBytes(folder.File(name + ".csv"));
    }

    SimInstrument sim;
    ScratchFolder folder;
    SentCommands sent;
    RecordingObserver observer;
    ReceptionEngine engine{observer};
};

// A reception that succeeds: the units whose slot maps are read (`asked`), the readings requested
// (400 * unit + slot) and the file written.
struct ChosenUnits {
    const char* name;
    sim::InstrumentState instrument;
    int code, mask;
    std::string asked;
    std::vector<int> readings;
    std::string file;
};
ChosenUnits Case(const char* name, sim::InstrumentState instrument, int code, int mask,
                 std::string asked, std::vector<int> readings, std::string file) {
    return {name,           std::move(instrument), code,
            mask,           std::move(asked),      std::move(readings),
            std::move(file)};
}

TEST(Reception, WritesTheReadingsOfTheChosenUnits) {
    const ChosenUnits cases[] = {
        Case("unit C, slots 3 and 7", Instrument({{0, {1}}, {2, {3, 7}}}), 4, 0, "C", {803, 807},
             Header() + UnitBlock(2, {3, 7})),
        // C holds data but is not in the mask.
        Case("all units: A, F and P of the mask",
             Instrument({{0, {1, 2}}, {2, {5}}, {5, {400}}, {11, {1}}}), 4096, 0x1 | 0x20 | 0x800,
             "AFP", {1, 2, 2400, 4401},
             Header() + UnitBlock(0, {1, 2}) + UnitBlock(5, {400}) + UnitBlock(11, {1})),
        // B gets no record, so C's readings stay in C's block.
        Case("all units: B flagged but empty", Instrument({{0, {2}}, {2, {1, 3}}}), 4096, 0x7,
             "ABC", {2, 801, 803}, Header() + UnitBlock(0, {2}) + UnitBlock(2, {1, 3})),
        Case("unit B with an empty slot map", Instrument({{0, {2}}}), 2, 0, "B", {}, Header()),
        Case("Fahrenheit instrument", Instrument({{3, {2}}}, "123456789", 'F'), 8, 0, "D", {1202},
             Header() + UnitBlock(3, {2}, 2, true, TemperatureUnit::Fahrenheit)),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Commands sent;
        for (char unit : c.asked) {
            sent.push_back(std::string(":MEM:UNIT? ") + unit);
        }
        sent.insert(sent.end(), {":SERIAL?", ":FACT:SYS:UNIT?", ":MEM:DATA:START"});
        const int total = static_cast<int>(c.readings.size());
        measure::UnitCounts counts{};
        std::vector<int> unitsStarted;
        std::vector<std::pair<int, int>> progress{{0, total}}; // counted, none received yet
        for (int reading : c.readings) {
            sent.push_back(":MEM:DATA? " + std::to_string(reading));
            const int unit = (reading - 1) / 400;
            if (counts[static_cast<std::size_t>(unit)]++ == 0) {
                unitsStarted.push_back(unit);
            }
            progress.emplace_back(static_cast<int>(progress.size()), total);
        }
        sent.push_back(":MEM:DATA:END");

        Rig rig(c.instrument);
        const auto end = rig.Receive(rig.Request(c.code, c.mask));
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(end->outcome, EndOutcome::Received);
        EXPECT_EQ(end->received, total);
        EXPECT_EQ(end->total, total);
        EXPECT_EQ(rig.engine.Total(), total);
        EXPECT_EQ(rig.engine.Counts(), counts);
        EXPECT_EQ(rig.engine.Destination(), rig.folder.File("data.csv"));
        EXPECT_FALSE(rig.engine.Running());
        ExpectPortClosed();
        EXPECT_EQ(rig.sent.Lines(), sent);
        EXPECT_EQ(rig.File(), c.file);
        EXPECT_EQ(rig.observer.Units(), unitsStarted);
        EXPECT_EQ(rig.observer.Progress(), progress);
        EXPECT_EQ(rig.observer.EndCount(), 1u);
    }
}

TEST(Reception, SerialNumberTexts) {
    const struct {
        std::string reply;
        std::string written;
    } cases[] = {
        {std::string(20, '\xFF'), "0"},
        {std::string(23, '\xFF'), "0"},
        {std::string(19, '\xFF'), std::string(19, '\xFF')},
        {"\xFF\xFF\xFF\xFF\xFFx" + std::string(14, '\xFF'),
         "\xFF\xFF\xFF\xFF\xFFx" + std::string(14, '\xFF')},
        {"K720-0042", "K720-0042"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "ABCDEFGHIJKLMNOPQRSTUVW"}, // cut to 23
        {"", ""},
    };
    for (const auto& c : cases) {
        Rig rig(Instrument({{0, {1}}}, c.reply));
        ASSERT_TRUE(rig.Receive(rig.Request(1)).has_value());
        EXPECT_EQ(rig.File(), Header(c.written) + UnitBlock(0, {1})) << c.reply;
    }
}

TEST(Reception, FailedStartClosesThePortAndCreatesNothing) {
    struct Case {
        std::string name;
        sim::Faults faults;
        int mask; // all units when not 0, else unit A
        StartOutcome outcome;
        Commands received;
    };
    sim::Faults silent;
    silent.silentFromCommand = 2;
    std::vector<Case> cases = {
        {"port missing", {}, 0, StartOutcome::PortNotOpened, {}},
        // The slot map of A comes, that of C does not.
        {"silent while counting",
         silent,
         0x5,
         StartOutcome::CommunicationError,
         {":MEM:UNIT? A", ":MEM:UNIT? C"}},
        {"silent at the serial number",
         silent,
         0,
         StartOutcome::CommunicationError,
         {":MEM:UNIT? A", ":SERIAL?"}},
    };
    // A slot map one byte too long: the next map would be shifted, so it is not even asked for.
    Case longMap{"a slot map followed by a stray byte",
                 {},
                 0x5,
                 StartOutcome::CommunicationError,
                 {":MEM:UNIT? A"}};
    longMap.faults.wrongReplies.push_back({":MEM:UNIT? A", std::string(50, '\xFE') + "X"});
    cases.push_back(longMap);
    // The same after the last map: the stray byte would be taken for the serial number.
    Case longLastMap{"the last slot map followed by a stray byte",
                     {},
                     0,
                     StartOutcome::CommunicationError,
                     {":MEM:UNIT? A"}};
    longLastMap.faults.wrongReplies.push_back({":MEM:UNIT? A", std::string(50, '\xFE') + "X"});
    cases.push_back(longLastMap);
    for (const char* reply : {"c\r\n", "f\r\n", "CF\r\n", "\r\n", "C \r\n", "FC\r\n"}) {
        Case unit{std::string("temperature unit ") + reply,
                  {},
                  0,
                  StartOutcome::CommunicationError,
                  {":MEM:UNIT? A", ":SERIAL?", ":FACT:SYS:UNIT?"}};
        unit.faults.wrongReplies.push_back({":FACT:SYS:UNIT?", reply});
        cases.push_back(unit);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig(Instrument({{0, {1}}, {2, {1}}}), c.faults);
        ReceptionRequest request = rig.Request(c.mask != 0 ? 4096 : 1, c.mask);
        if (c.outcome == StartOutcome::PortNotOpened) {
            request.port = kLastPortNumber; // nothing attached there
        }
        const auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(rig.engine.Start(request), c.outcome);
        EXPECT_LT(std::chrono::steady_clock::now() - before, 2500ms);
        EXPECT_FALSE(rig.engine.Running());
        ExpectPortClosed();
        EXPECT_FALSE(FileExists(rig.folder.File("data.csv")));
        EXPECT_EQ(rig.sim.SettledCommands(), c.received);
        EXPECT_EQ(rig.observer.EndCount(), 0u);
    }
}

TEST(Reception, PathOfMoreThan299CharactersIsRefusedBeforeAnythingIsSent) {
    Rig rig(Instrument({{0, {1}}}));
    ReceptionRequest request = rig.Request(1);
    // A deep folder, since no single name may be longer than 255 characters.
    request.folder = rig.folder.File(std::string(150, 'd'));
    ASSERT_TRUE(std::filesystem::create_directory(request.folder));
    request.fileName = std::string(300 - request.folder.size() - 1 - 4, 'n'); // folder/name.csv
    ASSERT_EQ(measure::DestinationPath(request.folder, request.fileName).size(), 300u);
    EXPECT_EQ(rig.engine.Start(request), StartOutcome::PathTooLong);
    EXPECT_TRUE(rig.sim.Server().Events().empty()); // the port was not even opened
    EXPECT_EQ(rig.observer.EndCount(), 0u);

    request.fileName.pop_back(); // 299 characters are accepted
    const auto end = rig.Receive(request);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_TRUE(FileExists(measure::DestinationPath(request.folder, request.fileName)));
}

// Bytes the engine did not ask for shift every later 13-byte record: they end the reception as an
// error, without ":MEM:DATA:END", never as received, and the record after which they turn up is
// not written: the file keeps the readings before it.
TEST(Reception, BytesOutOfStepWithTheRecordsEndItAsAnError) {
    const ReadingRecord second = EncodeReading(CodesFor(0, 2));
    const std::string wrong13(13, '7');
    const struct {
        const char* name;
        sim::Faults::WrongReply reply;
        int kept;
    } cases[] = {
        {"an answer to :MEM:DATA:START", {":MEM:DATA:START", "OK\r\n"}, 0},
        {"a reply one byte too long",
         {":MEM:DATA? 2", std::string(second.begin(), second.end()) + "X"},
         1},
        {"13 wrong bytes and a stray line end", {":MEM:DATA? 4", wrong13 + "\r\n"}, 3},
        {"a reply one byte too long at the end",
         {":MEM:DATA? 5", std::string(second.begin(), second.end()) + "X"},
         4},
    };
    for (const auto& [name, reply, kept] : cases) {
        SCOPED_TRACE(name);
        sim::Faults faults;
        faults.wrongReplies.push_back(reply);
        Rig rig(Instrument({{0, Range(1, 5)}}), faults);
        const auto end = rig.Receive(rig.Request(1));
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(end->outcome, EndOutcome::Error);
        EXPECT_TRUE(end->instrumentFailed);
        EXPECT_FALSE(Contains(rig.sent.Lines(), ":MEM:DATA:END"));
        ExpectPortClosed();
        if (kept == 0) {
            EXPECT_FALSE(FileExists(rig.folder.File("data.csv")));
        } else {
            EXPECT_EQ(rig.File(), Header() + UnitBlock(0, Range(1, kept), kept, false));
        }
    }
}

// The file is put in place of an older one only once it holds a reading; no temporary file is
// left behind in any outcome.
TEST(Reception, AnOldFileIsReplacedOnlyOnceAReadingIsWritten) {
    struct Case {
        const char* name;
        int readingsBeforeSilence;
        bool cancelAtStart;
        EndOutcome outcome;
        std::string file;
    };
    const Case cases[] = {
        {"silent at the first reading", 0, false, EndOutcome::Error, "old"},
        {"cancelled during the start", -1, true, EndOutcome::Cancelled, "old"},
        {"silent after three readings", 3, false, EndOutcome::Error,
         Header() + UnitBlock(0, Range(1, 3), 3, false)},
        {"received", -1, false, EndOutcome::Received, Header() + UnitBlock(0, Range(1, 5))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Faults faults;
        faults.readingsBeforeSilence = c.readingsBeforeSilence;
        Rig rig(Instrument({{0, Range(1, 5)}}), faults);
        measure_test::WriteFileBytes(rig.folder.File("data.csv"), "old");
        if (c.cancelAtStart) {
            // The start reports the count (0 of 5) before the workers run.
            rig.observer.onProgress = [&rig](int received) {
                if (received == 0) {
                    rig.engine.Stop();
                }
            };
        }
        const auto end = rig.Receive(rig.Request(1));
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(end->outcome, c.outcome);
        EXPECT_EQ(rig.File(), c.file);
        EXPECT_EQ(rig.folder.Names(), std::vector<std::string>{"data.csv"});
    }
}

TEST(Reception, ADestinationThatIsNotAFileIsRefusedBeforeAnythingIsSent) {
    Rig rig(Instrument({{0, {1}}}));
    const std::string pipe = rig.folder.File("data.csv");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::NotAFile);
    EXPECT_TRUE(rig.sim.Server().Events().empty());
    std::filesystem::remove(pipe);
    std::filesystem::create_directory(pipe);
    EXPECT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::NotAFile);
    EXPECT_TRUE(rig.sim.Server().Events().empty());
    // A link to a device counts as the device.
    std::filesystem::remove(pipe);
    ASSERT_EQ(symlink("/dev/full", pipe.c_str()), 0);
    EXPECT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::NotAFile);
    EXPECT_TRUE(rig.sim.Server().Events().empty());
    EXPECT_EQ(rig.observer.EndCount(), 0u);
}

TEST(Reception, CancelStopsAfterTheCurrentRecord) {
    Rig rig(Instrument({{0, Range(1, 100)}}));
    rig.observer.onProgress = [&rig](int received) {
        if (received == 20) {
            rig.engine.Stop();
        }
    };
    const auto end = rig.Receive(rig.Request(1));
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_EQ(end->received, 20);
    ExpectPortClosed();
    EXPECT_EQ(DataRequestCount(rig.sent.Lines()), 20);
    EXPECT_EQ(rig.sent.Lines().back(), ":MEM:DATA:END");
    EXPECT_EQ(rig.File(), Header() + UnitBlock(0, Range(1, 20), 20, false));
}

TEST(Reception, InstrumentFallingSilentEndsInErrorWithoutDataEnd) {
    sim::Faults faults;
    faults.readingsBeforeSilence = 57;
    Rig rig(Instrument({{0, Range(1, 50)}, {1, Range(1, 50)}}), faults);
    const auto end = rig.Receive(rig.Request(4096, 0x3));
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->instrumentFailed);
    EXPECT_FALSE(end->fileFailed);
    EXPECT_EQ(end->received, 57);
    EXPECT_EQ(end->total, 100);
    ExpectPortClosed();
    const Commands sent = rig.sent.Lines();
    EXPECT_FALSE(Contains(sent, ":MEM:DATA:END"));
    EXPECT_EQ(DataRequestCount(sent), 58);
    EXPECT_EQ(sent.back(), ":MEM:DATA? 408"); // the 58th reading: unit B, slot 8
    EXPECT_EQ(rig.File(),
              Header() + UnitBlock(0, Range(1, 50)) + UnitBlock(1, Range(1, 7), 7, false));
    EXPECT_EQ(measure::KeptReadingsText(*end),
              "57 readings of units A and B were kept in data.csv.");
}

// A reception that does not complete says how many readings its file kept, also when it ends
// between two units and the file looks whole.
TEST(Reception, AnEndShortOfTheLastReadingSaysWhatTheFileKept) {
    const struct {
        int cancelAt; // readings received when Cancel is pressed (-1: never)
        const char* kept;
    } cases[] = {
        {0, "No reading was kept: data.csv was not written."},
        {1, "1 reading of unit A was kept in data.csv."},
        {2, "2 readings of unit A were kept in data.csv."}, // A whole, B not begun
        {5, "5 readings of units A to D were kept in data.csv."},
        {-1, ""}, // received whole
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancelAt);
        Rig rig(Instrument({{0, {1, 2}}, {1, {1, 2}}, {3, {1, 2}}}));
        rig.observer.onProgress = [&rig, &c](int received) {
            if (received == c.cancelAt) {
                rig.engine.Stop();
            }
        };
        const auto end = rig.Receive(rig.Request(4096, 0xB));
        ASSERT_TRUE(end.has_value());
        EXPECT_EQ(end->outcome, c.cancelAt < 0 ? EndOutcome::Received : EndOutcome::Cancelled);
        EXPECT_EQ(measure::KeptReadingsText(*end), c.kept);
    }
}

// A file failure stops the reception as an error, with the instrument told that it ended.
void ExpectEndedByFileError(const std::optional<ReceptionEnd>& end, Rig& rig, int error) {
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Error);
    EXPECT_TRUE(end->fileFailed);
    EXPECT_FALSE(end->instrumentFailed);
    EXPECT_EQ(end->fileError, error);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(rig.sent.Lines().back(), ":MEM:DATA:END");
}

// The file is created before the instrument is asked anything.
TEST(Reception, DestinationThatCannotBeCreatedIsRefusedBeforeAnythingIsSent) {
    Rig rig(Instrument({{0, Range(1, 400)}}));
    ReceptionRequest request = rig.Request(1);
    request.folder = rig.folder.File("no-such-folder");
    EXPECT_EQ(rig.engine.Start(request), StartOutcome::CannotCreate);
    EXPECT_EQ(rig.engine.DestinationError(), ENOENT);
    EXPECT_EQ(rig.engine.StartMessage(StartOutcome::CannotCreate),
              "Can not save \"" + rig.engine.Destination() + "\".  \nNo such file or directory");
    EXPECT_TRUE(rig.sent.Lines().empty());
    EXPECT_FALSE(FileExists(request.folder));
    ExpectPortClosed();
}

// A link at the destination (one another user planted, or one to a device) is replaced by the
// reading, never written through.
TEST(Reception, ALinkToAFileAtTheDestinationIsReplacedNotWrittenThrough) {
    Rig rig(Instrument({{0, Range(1, 3)}}));
    const std::string theirs = rig.folder.File("theirs.csv");
    std::ofstream(theirs) << "theirs";
    ASSERT_EQ(symlink(theirs.c_str(), rig.folder.File("data.csv").c_str()), 0);
    const auto end = rig.Receive(rig.Request(1));
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    EXPECT_EQ(rig.File(), Header() + UnitBlock(0, Range(1, 3)));
    EXPECT_EQ(measure_test::ReadFileBytes(theirs), "theirs");
}

// A full disk part-way through: the receiver, which by then waits on a full queue, is released,
// and the file put in place ends after the last complete line.
TEST(Reception, AFullDiskKeepsTheCompleteLinesOnly) {
    Rig rig(Instrument({{0, Range(1, 400)}}));
    std::optional<ReceptionEnd> end;
    {
        measure_test::FileSizeLimit limit(4000);
        end = rig.Receive(rig.Request(1));
    }
    ExpectEndedByFileError(end, rig, EFBIG);
    const std::string bytes = rig.File();
    EXPECT_GT(bytes.size(), 3900u);
    EXPECT_LE(bytes.size(), 4000u);
    EXPECT_TRUE(bytes.ends_with("\r\n"));
    EXPECT_EQ(bytes, (Header() + UnitBlock(0, Range(1, 400))).substr(0, bytes.size()));
}

// A slow instrument, so that the reception is still running when the test acts.
sim::ServerOptions Slow() {
    sim::ServerOptions options;
    options.pace = true;
    options.latency = 2ms;
    return options;
}

TEST(Reception, StopAndJoinWhileRunning) {
    Rig rig(Instrument({{0, Range(1, 400)}}), {}, Slow());
    ASSERT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::Started);
    ASSERT_TRUE(rig.observer.WaitForProgress(5));
    EXPECT_TRUE(rig.engine.Running());
    EXPECT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::Busy);
    rig.engine.StopAndJoin();
    EXPECT_FALSE(rig.engine.Running());
    EXPECT_EQ(rig.observer.EndCount(), 1u);
    const auto end = rig.observer.WaitForEnd(0ms);
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_LT(end->received, 400);
    ExpectPortClosed();
    EXPECT_EQ(rig.sent.Lines().back(), ":MEM:DATA:END");
    EXPECT_EQ(rig.File(), Header() + UnitBlock(0, Range(1, end->received), end->received, false));
}

TEST(Reception, DestroyingTheEngineStopsItAndJoins) {
    Rig rig(Instrument({{0, Range(1, 400)}}), {}, Slow());
    {
        ReceptionEngine engine(rig.observer);
        ASSERT_EQ(engine.Start(rig.Request(1)), StartOutcome::Started);
        ASSERT_TRUE(rig.observer.WaitForProgress(3));
    }
    EXPECT_EQ(rig.observer.EndCount(), 1u);
    ExpectPortClosed();
    rig.engine.StopAndJoin(); // stopping an idle engine is harmless
    rig.engine.Join();
    EXPECT_EQ(rig.observer.EndCount(), 1u);
}

TEST(Reception, JoinFromACallbackDoesNotDeadlock) {
    Rig rig(Instrument({{0, Range(1, 50)}}));
    rig.observer.onProgress = [&rig](int received) {
        if (received == 3) {
            rig.engine.StopAndJoin(); // cancels; the join is skipped on a worker thread
        }
    };
    rig.observer.onEnd = [&rig] { rig.engine.Join(); };
    ASSERT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::Started);
    const auto end = rig.observer.WaitForEnd(10s);
    ASSERT_TRUE(end.has_value());
    rig.engine.Join();
    EXPECT_EQ(end->outcome, EndOutcome::Cancelled);
    EXPECT_EQ(end->received, 3);
}

TEST(Reception, TimeRemainingAtMostOncePerElapsedSecond) {
    Rig rig(Instrument({{0, Range(1, 180)}}), {}, Slow());
    const auto started = std::chrono::steady_clock::now();
    const auto end = rig.Receive(rig.Request(1));
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    ASSERT_TRUE(end.has_value());
    EXPECT_EQ(end->outcome, EndOutcome::Received);
    const auto times = rig.observer.Times();
    EXPECT_LE(static_cast<long long>(times.size()), seconds);
    for (const std::string& text : times) {
        EXPECT_TRUE(text.ends_with(" sec")) << text;
    }
}

TEST(Reception, EngineRunsAgainAfterAnEnd) {
    Rig rig(Instrument({{0, {1, 2}}, {1, {3}}}));
    ASSERT_EQ(rig.engine.Start(rig.Request(1)), StartOutcome::Started);
    ASSERT_TRUE(rig.observer.WaitForEnd().has_value());
    // No explicit Join: the next Start reaps the finished threads.
    ReceptionRequest second = rig.Request(2);
    second.fileName = "second";
    ASSERT_EQ(rig.engine.Start(second), StartOutcome::Started);
    rig.engine.Join();
    EXPECT_EQ(rig.observer.EndCount(), 2u);
    EXPECT_EQ(rig.File("second"), Header() + UnitBlock(1, {3}));
    EXPECT_EQ(rig.File(), Header() + UnitBlock(0, {1, 2}));
}

TEST(TimeRemaining, KnownEstimates) {
    EXPECT_EQ(measure::RemainingSeconds(100, 25, 10), 30);
    EXPECT_EQ(measure::RemainingSeconds(1000, 10, 20), 1980);
    EXPECT_EQ(measure::RemainingSeconds(7, 3, 10), 13); // truncated: 40 / 3
    EXPECT_EQ(measure::RemainingSeconds(4800, 4800, 900), 0);
    EXPECT_EQ(measure::TimeRemainingText(0), "0 sec");
    EXPECT_EQ(measure::TimeRemainingText(59), "59 sec");
    EXPECT_EQ(measure::TimeRemainingText(60), "1 min 0 sec");
    EXPECT_EQ(measure::TimeRemainingText(61), "1 min 1 sec");
    EXPECT_EQ(measure::TimeRemainingText(1980), "33 min 0 sec");
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

TEST(ReceptionTexts, PageLinesAndDestination) {
    EXPECT_EQ(measure::UnitLineText(1024), "Unit [ N ]");
    EXPECT_EQ(measure::UnitLineText(3), "Unit [ A ]"); // any other value counts as unit 0
    EXPECT_EQ(measure::ReadingUnitText(1), "Reading unit [ B ] .......");
    EXPECT_EQ(measure::ProgressText(0, 57), "0 / 57");
    EXPECT_EQ(measure::DestinationPath("/", "run 1"), "/run 1.csv") << "never two separators";
}

// In Japanese each built text is one translated sentence with its values where the language puts
// them: the count of readings after the units it belongs to.
TEST(ReceptionTexts, JapaneseSentencesTakeTheirValues) {
    ReceptionEnd end;
    end.outcome = EndOutcome::Cancelled;
    end.fileName = "pulled.csv";
    end.kept = 733;
    end.keptUnitMask = 0x5; // A and C
    UseTextLanguage(Language::Japanese);
    const std::string kept = measure::KeptReadingsText(end);
    const std::string unitLine = measure::UnitLineText(4);
    const std::string reading = measure::ReadingUnitText(1);
    const std::string remaining = measure::TimeRemainingText(61);
    const std::string received = measure::EndMessage(EndOutcome::Received);
    UseTextLanguage(Language::English);
    EXPECT_EQ(kept, "ユニット A と C の測定値 733 件を pulled.csv に保存しました。");
    EXPECT_EQ(unitLine, "ユニット [ C ]");
    EXPECT_EQ(reading, "ユニット [ B ] 読込中 .......");
    EXPECT_EQ(remaining, "1分1秒");
    EXPECT_EQ(received, "データを受信しました。  ");
    EXPECT_EQ(measure::KeptReadingsText(end),
              "733 readings of units A and C were kept in pulled.csv.");
}

TEST(SlotMaps, MarksAndCounts) {
    measure::SlotMap map{};
    map[0] = 0x05;  // slots 1 and 3
    map[49] = 0x80; // slot 400
    for (const auto& [slot, marked] :
         {std::pair{0, false}, {1, true}, {2, false}, {3, true}, {400, true}, {401, false}}) {
        EXPECT_EQ(measure::SlotMarked(map, slot), marked) << "slot " << slot;
    }
    EXPECT_EQ(measure::CountReadings(map), 3);
    map.fill(0xFF);
    EXPECT_EQ(measure::CountReadings(map), 400);
}

} // namespace
