// How fast the reception reads the instrument's memory, against the serial line's own limit.
//
// Starts k720-sim (beside this program) with every slot of every unit full, paced like a
// 38400-baud 8N1 line, and reads one unit of 400 readings and then all 4800 readings with the
// reception engine. For each run it prints the wall time, the ideal wire time of every byte that
// crossed the line during the reception (10 bits a byte), their ratio, and this process's CPU time
// as a share of the wall time. A last run against an unpaced simulator gives the program's own
// cost per reading. The peak memory is printed after each run: it must not grow with the readings.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_support.h"
#include "link/comm.h"
#include "link/port_names.h"
#include "measure/reception.h"

namespace {

using bench::CpuSeconds;
using bench::PeakMemoryMiB;
using bench::WireCount;

using Clock = std::chrono::steady_clock;

class EndWaiter : public measure::ReceptionObserver,
                  public bench::EndWaiter<measure::ReceptionEnd> {
public:
    void OnEnd(const measure::ReceptionEnd& end) override { Set(end); }
};

struct RunResult {
    bool ok = false;
    int readings = 0;
    double wall = 0;
    double wire = 0;
    double cpu = 0;
};

RunResult Read(const std::string& device, int unitCode, const std::filesystem::path& file) {
    measure::ReceptionRequest request;
    request.selectedUnitCode = unitCode;
    request.unitDataMask = measure::kUnitMaskBits;
    request.port = AttachPortDevice(device);
    request.folder = file.parent_path().string();
    request.fileName = file.stem().string();

    WireCount wire;
    EndWaiter observer;
    measure::ReceptionEngine engine(observer);
    CommConfigure(kInstrumentBaud);
    CommSetTrace(&WireCount::Sink, &wire);
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    RunResult result;
    if (engine.Start(request) == measure::StartOutcome::Started) {
        const measure::ReceptionEnd end = observer.Wait();
        result.ok = end.outcome == measure::EndOutcome::Received;
        result.readings = end.received;
    }
    result.wall = std::chrono::duration<double>(Clock::now() - start).count();
    engine.Join();
    result.cpu = CpuSeconds() - cpuBefore;
    CommSetTrace(nullptr, nullptr);
    result.wire = wire.Seconds();
    return result;
}

void PrintPaced(const char* label, const RunResult& r) {
    std::printf("%-26s %8d %9.3f %9.3f %7.4f %8.3f %8.2f%% %9.1f\n", label, r.readings, r.wall,
                r.wire, r.wall / r.wire, r.cpu, 100.0 * r.cpu / r.wall, PeakMemoryMiB());
}

} // namespace

constexpr const char* kHelp =
    "usage: read_bench\n\n"
    "Reads one unit of 400 readings and then all 4800 readings from a paced k720-sim --full\n"
    "(started from beside this program) and prints the wall time against the ideal wire time,\n"
    "the CPU share and the peak memory; then the program's own cost per reading, unpaced.\n";

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "k720-bench";
    std::filesystem::create_directories(folder);

    std::printf("Paced at 38400 baud 8N1 (k720-sim --pace --full):\n");
    std::printf("%-26s %8s %9s %9s %7s %8s %9s %9s\n", "run", "readings", "wall [s]", "wire [s]",
                "ratio", "cpu [s]", "cpu share", "peak MiB");
    {
        bench::Simulator paced({"--full", "--pace"});
        if (paced.Device().empty()) {
            std::fprintf(stderr, "read_bench: k720-sim did not start\n");
            return 1;
        }
        const RunResult one = Read(paced.Device(), measure::UnitCode(11), folder / "unit.csv");
        PrintPaced("one unit (P)", one);
        const RunResult all = Read(paced.Device(), measure::kAllUnitsCode, folder / "all.csv");
        PrintPaced("all units", all);
        if (!one.ok || !all.ok) {
            std::fprintf(stderr, "read_bench: a reception failed\n");
            return 1;
        }
    }

    std::printf("\nUnpaced (k720-sim --full): the program's own cost\n");
    bench::Simulator unpaced({"--full"});
    const RunResult fast = Read(unpaced.Device(), measure::kAllUnitsCode, folder / "fast.csv");
    if (!fast.ok) {
        std::fprintf(stderr, "read_bench: the unpaced reception failed\n");
        return 1;
    }
    std::printf("all units: %d readings in %.3f s: %.1f us wall and %.1f us CPU per reading; "
                "peak %.1f MiB\n",
                fast.readings, fast.wall, 1e6 * fast.wall / fast.readings,
                1e6 * fast.cpu / fast.readings, PeakMemoryMiB());
    std::filesystem::remove_all(folder);
    return 0;
}
