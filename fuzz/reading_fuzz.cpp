// The reading fuzz: receptions of random instrument memories over a link whose replies suffer
// seeded line faults (stray, lost, duplicated and corrupted bytes, unexpected lines, silence,
// hang-ups; see fake_serial_device.h), through the real link framing and reception engine.
//
// A reception that ends as received must have written, byte for byte, the file the instrument's
// memory gives. Other ends are allowed under faults, but never a crash, a hang, a port left open
// or a temporary file left behind, and an exchange without any fault must end as received.
//
//   reading_fuzz [--iterations N] [--seed S]
//
// Iteration i runs with seed S + i; a violation is reported with its seed, which reproduces it
// as `reading_fuzz --seed <seed> --iterations 1`.
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <stdlib.h>
#include <string>
#include <system_error>

#include "fuzz/fake_serial_device.h"
#include "fuzz/fuzz_random.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "link/serial_device.h"
#include "measure/reception.h"
#include "sim/instrument.h"
#include "sim/reading_encoder.h"

namespace {

using namespace std::chrono_literals;
using measure::EndOutcome;
using measure::StartOutcome;
using measure::TemperatureUnit;

constexpr long long kDefaultIterations = 3000;
constexpr const char* kDevicePath = "/fuzz/instrument";
constexpr measure::CsvDate kFileDate{2014, 3, 10};
// A reception over the fake device takes milliseconds; this long without its end is a hang.
constexpr auto kHangLimit = 60s;

class EndObserver : public measure::ReceptionObserver {
public:
    void OnEnd(const measure::ReceptionEnd& end) override {
        {
            std::lock_guard lock(mutex_);
            end_ = end;
        }
        ended_.notify_all();
    }
    std::optional<measure::ReceptionEnd> WaitForEnd() {
        std::unique_lock lock(mutex_);
        ended_.wait_for(lock, kHangLimit, [this] { return end_.has_value(); });
        std::optional<measure::ReceptionEnd> end = end_;
        end_.reset();
        return end;
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<measure::ReceptionEnd> end_;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "k720-reading-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::remove_all(path_, ignored);
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Valid codes in every field, special values included.
ReadingCodes RandomCodes(fuzz::Random& random) {
    ReadingCodes c;
    c.year = random.Between(2006, 2037);
    c.month = random.Between(1, 12);
    c.day = random.Between(1, 28);
    c.hour = random.Between(0, 23);
    c.minute = random.Between(0, 59);
    c.resistanceRange = random.Between(0, 3);
    c.resistance = random.Between(0, 4095);
    c.voltageRange = random.Between(0, 1);
    c.voltage = random.Between(0, 16383);
    c.temperature = random.Between(0, 1023);
    c.result = random.Between(0, 3);
    c.limit1 = random.Between(0, 4095);
    c.limit2 = random.Between(0, 4095);
    c.voltageLimit = random.Between(0, 8191);
    return c;
}

// One to four units holding data, mostly a few dozen slots, sometimes up to slot 400.
sim::InstrumentState RandomInstrument(fuzz::Random& random) {
    sim::InstrumentState state = sim::EmptyInstrument();
    state.serialNumber.clear();
    for (int i = random.Between(0, 30); i > 0; --i) {
        state.serialNumber += static_cast<char>(random.Between(0x20, 0x7E));
    }
    state.temperatureUnit = random.Below(2) == 0 ? 'C' : 'F';
    for (int units = random.Between(1, 4); units > 0; --units) {
        sim::MemoryUnit& unit =
            state.units[static_cast<std::size_t>(random.Below(sim::kUnitCount))];
        const int last = random.Chance(0.1) ? random.Between(1, 400) : random.Between(1, 24);
        const double density =
            std::array{1.0, 0.5, 0.15}[static_cast<std::size_t>(random.Below(3))];
        for (int slot = 1; slot <= last; ++slot) {
            if (slot == last || random.Chance(density)) {
                unit.Store(slot, EncodeReading(RandomCodes(random)));
            }
        }
    }
    return state;
}

struct Selection {
    int code = 0; // 1 << unit, or the all-units code
    int mask = 0; // the unit data mask
    bool Reads(int unit) const {
        return code == measure::kAllUnitsCode ? measure::UnitHoldsData(mask, unit)
                                              : code == measure::UnitCode(unit);
    }
};

// One unit (mostly one holding data) or all units with the memory check's mask (now and then
// with one unit's flag wrong).
Selection RandomSelection(fuzz::Random& random, const sim::InstrumentState& state) {
    int checkMask = 0;
    for (int unit = 0; unit < sim::kUnitCount; ++unit) {
        checkMask |= state.units[static_cast<std::size_t>(unit)].HasData() ? 1 << unit : 0;
    }
    Selection selection;
    selection.mask = checkMask;
    if (random.Below(2) == 0) {
        int unit = random.Below(sim::kUnitCount);
        while (random.Chance(0.9) && !measure::UnitHoldsData(checkMask, unit)) {
            unit = random.Below(sim::kUnitCount);
        }
        selection.code = measure::UnitCode(unit);
    } else {
        selection.code = measure::kAllUnitsCode;
        if (random.Chance(0.1)) {
            selection.mask ^= 1 << random.Below(sim::kUnitCount);
        }
    }
    return selection;
}

// No faults in one iteration of five; else a fault level from rare to frequent, spread over the
// kinds (silence and hang-ups, which end everything, less often).
fuzz::FaultRates RandomRates(fuzz::Random& random) {
    const double levels[] = {0, 0.003, 0.01, 0.03, 0.1};
    const double r = levels[random.Below(5)] / 14;
    return {3 * r, 2 * r, 2 * r, 3 * r, 2 * r, r, r};
}

// The instrument's memory as the corrupted byte makes it look, as if it had been stored so.
void BookCorruption(sim::InstrumentState& memory, const fuzz::CorruptedByte& corrupted) {
    const std::string& command = corrupted.command;
    if (command.starts_with(":MEM:UNIT? ")) {
        int unit = 0;
        while (sim::kUnitLetters[static_cast<std::size_t>(unit)] != command.back()) {
            ++unit;
        }
        auto& occupied = memory.units[static_cast<std::size_t>(unit)].occupied;
        for (std::size_t bit = 0; bit < 8; ++bit) { // on the wire a 0 bit marks a reading
            occupied.set(corrupted.offset * 8 + bit, ((corrupted.value >> bit) & 1U) == 0);
        }
    } else if (command.starts_with(":MEM:DATA? ")) {
        const int number = std::atoi(command.c_str() + std::strlen(":MEM:DATA? "));
        auto& unit = memory.units[static_cast<std::size_t>((number - 1) / sim::kSlotsPerUnit)];
        unit.records[static_cast<std::size_t>((number - 1) % sim::kSlotsPerUnit)]
                    [corrupted.offset] = corrupted.value;
    } else if (command == ":SERIAL?") {
        memory.serialNumber[corrupted.offset] = static_cast<char>(corrupted.value);
    } else if (command == ":FACT:SYS:UNIT?") {
        memory.temperatureUnit = static_cast<char>(corrupted.value);
    }
}

// The measurement file of `memory` for `selection`: the header, then for each unit read that holds
// a reading its heading, slots 1 to its last reading and the two closing empty lines.
std::string ExpectedFile(const sim::InstrumentState& memory, const Selection& selection) {
    const TemperatureUnit temperature =
        memory.temperatureUnit == 'F' ? TemperatureUnit::Fahrenheit : TemperatureUnit::Celsius;
    std::string text = measure::CsvHeaderText(
        {memory.serialNumber.substr(0, measure::kMaxSerialNumberLength), kFileDate, temperature});
    for (int u = 0; u < sim::kUnitCount; ++u) {
        const sim::MemoryUnit& unit = memory.units[static_cast<std::size_t>(u)];
        if (!selection.Reads(u) || !unit.HasData()) {
            continue;
        }
        int last = sim::kSlotsPerUnit;
        while (!unit.occupied.test(static_cast<std::size_t>(last - 1))) {
            --last;
        }
        text += measure::CsvUnitHeadingText(u, temperature);
        for (int slot = 1; slot <= last; ++slot) {
            const auto index = static_cast<std::size_t>(slot - 1);
            const ReadingRecord& record = unit.records[index];
            text += std::to_string(slot);
            if (unit.occupied.test(index) && !measure::IsEmptySlot(record)) {
                text += measure::ReadingColumns(measure::DecodeReading(record), temperature);
            } else {
                text += ",,,,,,,,,,,";
            }
            text += measure::kCsvLineEnd;
        }
        text += measure::kCsvLineEnd;
        text += measure::kCsvLineEnd;
    }
    return text;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where two files part: the line of `expected` that `actual` does not have.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    std::size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        ++at;
    }
    const std::size_t lineStart = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    auto lineAt = [from](const std::string& text) {
        return text.substr(from, text.find('\r', from) - from);
    };
    return "first difference at byte " + std::to_string(at) + " of " +
           std::to_string(expected.size()) + " expected, " + std::to_string(actual.size()) +
           " written\n  expected line: " + lineAt(expected) +
           "\n  written line:  " + lineAt(actual);
}

struct Tally {
    long long iterations = 0;
    long long startFailed = 0;
    long long received = 0;
    long long receivedCorrect = 0;
    long long receivedUnderFaults = 0;
    long long cancelled = 0;
    long long error = 0;
};

struct Run {
    fuzz::FakeSerialDevice device; // installed under the link for the whole run
    int port = 0;
    std::filesystem::path folder;
    EndObserver observer;
    measure::ReceptionEngine engine{observer};
    Tally tally;
};

// One reception; returns what went wrong, or "" when nothing did.
std::string RunOnce(Run& run, std::uint64_t seed) {
    fuzz::Random random(seed);
    const sim::InstrumentState state = RandomInstrument(random);
    const Selection selection = RandomSelection(random, state);
    const fuzz::FaultRates rates = RandomRates(random);
    run.device.Connect(kDevicePath, sim::InstrumentProtocol(state), rates, random.Next());

    measure::ReceptionRequest request;
    request.selectedUnitCode = selection.code;
    request.unitDataMask = selection.mask;
    request.port = run.port;
    request.folder = run.folder.string();
    request.fileName = "data";
    request.fileDate = kFileDate;
    const StartOutcome started = run.engine.Start(request);
    std::optional<measure::ReceptionEnd> end;
    if (started == StartOutcome::Started) {
        end = run.observer.WaitForEnd();
        if (!end) {
            std::printf("seed %llu: no end of the reception after %lld s\n"
                        "reproduce with: reading_fuzz --seed %llu --iterations 1\n",
                        static_cast<unsigned long long>(seed),
                        static_cast<long long>(kHangLimit.count()),
                        static_cast<unsigned long long>(seed));
            std::fflush(stdout);
            std::_Exit(1); // the engine's threads cannot be joined
        }
        run.engine.Join();
    }
    const bool portOpen = run.device.IsOpen();
    const fuzz::FaultReport faults = run.device.Disconnect();
    sim::InstrumentState memory = state;
    for (const fuzz::CorruptedByte& corrupted : faults.corrupted) {
        BookCorruption(memory, corrupted);
    }
    const std::filesystem::path file = run.folder / "data.csv";
    const bool fileWritten = std::filesystem::exists(file);
    const auto entries = std::distance(std::filesystem::directory_iterator(run.folder), {});
    const std::string written = fileWritten ? ReadFileBytes(file) : std::string();
    std::filesystem::remove(file);

    ++run.tally.iterations;
    std::string violation;
    if (faults.opens == 0) {
        violation = "the link did not reach the fake device";
    } else if (portOpen) {
        violation = "the port was left open";
    } else if (entries > (fileWritten ? 1 : 0)) {
        violation = "a file other than the destination was left in the folder";
    } else if (started == StartOutcome::CommunicationError) {
        ++run.tally.startFailed;
        if (fileWritten) {
            violation = "a start that failed left a file";
        }
    } else if (started != StartOutcome::Started) {
        violation = std::string("unexpected start: ") + measure::StartMessage(started);
    } else if (end->outcome == EndOutcome::Received) {
        ++run.tally.received;
        run.tally.receivedUnderFaults += faults.frameFaults > 0 ? 1 : 0;
        const std::string expected = ExpectedFile(memory, selection);
        if (written != expected) {
            violation = "received, but the file differs from the instrument's memory: " +
                        FirstDifference(expected, written);
        } else {
            ++run.tally.receivedCorrect;
        }
    } else {
        ++(end->outcome == EndOutcome::Cancelled ? run.tally.cancelled : run.tally.error);
    }
    const bool faultless = faults.frameFaults == 0 && faults.corrupted.empty();
    if (violation.empty() && faultless &&
        (started != StartOutcome::Started || end->outcome != EndOutcome::Received)) {
        violation = "an exchange without any fault did not end as received";
    }
    if (violation.empty()) {
        return {};
    }
    std::string report =
        "seed " + std::to_string(seed) + ": " + violation + "\n  unit code " +
        std::to_string(selection.code) + ", unit data mask " + std::to_string(selection.mask) +
        ", start: " +
        (started == StartOutcome::Started ? "started" : measure::StartMessage(started));
    if (end) {
        report += ", end: " + std::string(measure::EndMessage(end->outcome)) + "(" +
                  std::to_string(end->received) + " of " + std::to_string(end->total) + ")";
    }
    for (const std::string& line : faults.log) {
        report += "\n  " + line;
    }
    return report;
}

bool ParseCount(const char* text, unsigned long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

} // namespace

int main(int argc, char** argv) {
    unsigned long long iterations = kDefaultIterations;
    unsigned long long seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--iterations" && hasValue && ParseCount(argv[i + 1], iterations)) {
            ++i;
        } else if (option == "--seed" && hasValue && ParseCount(argv[i + 1], seed)) {
            ++i;
        } else {
            std::fprintf(stderr, "usage: reading_fuzz [--iterations N] [--seed S]\n");
            return 2;
        }
    }

    ScratchFolder folder;
    if (folder.Path().empty()) {
        std::fprintf(stderr, "reading_fuzz: cannot create a scratch folder\n");
        return 2;
    }
    Run run;
    ScopedSerialDevice installed(run.device);
    CommConfigure(kInstrumentBaud);
    run.port = AttachPortDevice(kDevicePath);
    run.folder = folder.Path();

    const auto started = std::chrono::steady_clock::now();
    for (unsigned long long i = 0; i < iterations; ++i) {
        const std::string violation = RunOnce(run, seed + i);
        if (!violation.empty()) {
            std::printf("VIOLATION after %lld receptions\n%s\nreproduce with: reading_fuzz --seed "
                        "%llu --iterations 1\n",
                        run.tally.iterations, violation.c_str(), seed + i);
            return 1;
        }
    }
    const Tally& t = run.tally;
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    std::printf("%lld receptions (seeds %llu to %llu) in %.1f s: %lld start failed, %lld received "
                "(%lld correct, %lld of them under line faults), %lld cancelled, %lld ended in "
                "error\n",
                t.iterations, seed, seed + iterations - 1, seconds.count(), t.startFailed,
                t.received, t.receivedCorrect, t.receivedUnderFaults, t.cancelled, t.error);
    return 0;
}
