// How fast the comparator table moves between the instrument and the PC, against the serial
// line's own limit.
//
// Starts k720-sim (beside this program), paced like a 38400-baud 8N1 line, and runs what
// `k720ctl table get` and `k720ctl table put` run: the port scan, then the reception of the 200
// entries, and the transmission of a table whose every entry is set. For each run it prints the
// wall time, the ideal wire time of every byte that crossed the line in either direction (10 bits
// a byte), their ratio, this process's CPU time as a share of the wall time, and the peak memory.
//
// Every entry is a round trip (a query and its record, a record and its acknowledgement), so the
// pseudo-terminal's and the simulator's own latency per round trip weighs on the ratio, most of
// all for the six-byte exchanges of a transmission. The same exchanges made directly on the link
// (the scan, then the bare commands and bytes, no engine, no threads, no stray-byte checks) show
// that floor. A last pair of runs against an unpaced simulator gives the program's own cost per
// entry.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_support.h"
#include "comp/table_file.h"
#include "comp/table_reception.h"
#include "comp/table_transmission.h"
#include "instrument/discovery.h"
#include "link/comm.h"
#include "link/port_names.h"

namespace {

using bench::CpuSeconds;
using bench::PeakMemoryMiB;
using bench::WireCount;

using Clock = std::chrono::steady_clock;

class ReceptionWaiter : public comp::TableReceptionObserver,
                        public bench::EndWaiter<comp::TableReceptionEnd> {
public:
    void OnEnd(comp::TableReceptionEnd end) override { Set(std::move(end)); }
};

class TransmissionWaiter : public comp::TableTransmissionObserver,
                           public bench::EndWaiter<comp::TableTransmissionEnd> {
public:
    void OnEnd(const comp::TableTransmissionEnd& end) override { Set(end); }
};

struct RunResult {
    bool ok = false;
    int entries = 0;
    double wall = 0;
    double wire = 0;
    double cpu = 0;
};

// Runs `transfer` (scan, start, wait for the end) with the wire bytes and the times counted.
template <typename Transfer>
RunResult Measure(const std::string& device, Transfer transfer) {
    g_candidatePorts = {{"k720-sim", AttachPortDevice(device), device}};
    CommConfigure(kInstrumentBaud);
    WireCount wire;
    CommSetTrace(&WireCount::Sink, &wire);
    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    RunResult result = transfer();
    result.wall = std::chrono::duration<double>(Clock::now() - start).count();
    result.cpu = CpuSeconds() - cpuBefore;
    CommSetTrace(nullptr, nullptr);
    result.wire = wire.Seconds();
    return result;
}

RunResult Get(const std::string& device, std::string& text) {
    return Measure(device, [&text] {
        ReceptionWaiter observer;
        comp::TableReceptionEngine engine(observer);
        RunResult result;
        if (engine.Start().Started()) {
            comp::TableReceptionEnd end = observer.Wait();
            engine.Join();
            result.ok = end.outcome == comp::ReceptionOutcome::Received;
            result.entries = end.received;
            text = std::move(end.text);
        }
        return result;
    });
}

RunResult Put(const std::string& device, const std::string& text) {
    return Measure(device, [&text] {
        TransmissionWaiter observer;
        comp::TableTransmissionEngine engine(observer);
        RunResult result;
        if (engine.Start(text).Started()) {
            const comp::TableTransmissionEnd end = observer.Wait();
            engine.Join();
            result.ok = end.outcome == comp::TransmissionOutcome::Transferred;
            result.entries = end.acknowledged;
        }
        return result;
    });
}

// The same exchanges directly on the link, for the floor of the round trips.
RunResult BareGet(const std::string& device) {
    return Measure(device, [] {
        RunResult result;
        if (PortScan() != 0 || CommOpen(g_instrumentPort) != 1) {
            return result;
        }
        result.ok = CommSendCommand(":COMP:TABLE:START") == 1;
        for (int n = 1; n <= comp::kEntryCount && result.ok; ++n) {
            result.ok = CommSendCommand(comp::EntryQuery(n).c_str()) == 1;
            for (std::size_t i = 0; i < comp::kEntryRecordSize && result.ok; ++i) {
                std::uint8_t byte = 0;
                result.ok = CommReadByte(&byte) == 1;
            }
            result.entries += result.ok ? 1 : 0;
        }
        result.ok = result.ok && CommSendCommand(":COMP:TABLE:END") == 1;
        CommClose();
        return result;
    });
}

RunResult BarePut(const std::string& device, const std::string& text) {
    const comp::PackedTable packed = comp::PackTableText(text);
    return Measure(device, [&packed] {
        RunResult result;
        if (!packed.Ok() || PortScan() != 0 || CommOpen(g_instrumentPort) != 1) {
            return result;
        }
        char reply[comp::kTableReplySize] = {};
        result.ok = CommSendCommand(":COMP:TABLE") == 1 && CommReadLine(reply) == 1 &&
                    std::string_view(reply) == comp::kTableTransferAccepted;
        for (const comp::EntryRecord& record : packed.records) {
            std::uint8_t ack = 0;
            result.ok = result.ok && CommSendBytes(record.data(), record.size()) == 1 &&
                        CommReadByte(&ack) == 1 && ack == comp::kEntryAcknowledgement;
            result.entries += result.ok ? 1 : 0;
        }
        CommClose();
        return result;
    });
}

void PrintPaced(const char* label, const RunResult& r) {
    std::printf("%-18s %8d %9.3f %9.3f %7.4f %8.3f %8.2f%% %9.1f\n", label, r.entries, r.wall,
                r.wire, r.wall / r.wire, r.cpu, 100.0 * r.cpu / r.wall, PeakMemoryMiB());
}

// A table whose every entry differs, so that every record carries set bits.
std::string SampleTableText() {
    comp::CompTable rows;
    for (int i = 0; i < comp::kEntryCount; ++i) {
        comp::CompRow& row = rows[static_cast<std::size_t>(i)];
        const comp::RangeSpec& r = comp::kResistanceRanges[static_cast<std::size_t>(i % 4)];
        const comp::RangeSpec& v = comp::kVoltageRanges[static_cast<std::size_t>(i % 2)];
        row.rRange = std::string(r.tableText);
        row.rLim1 = comp::FormatLimit(i * 7, r.decimals);
        row.rLim2 = comp::FormatLimit(3100 - i * 7, r.decimals);
        row.vRange = std::string(v.tableText);
        row.vLim = comp::FormatLimit(i * 29, v.decimals);
    }
    std::string text;
    if (!comp::BuildTableText(rows, text).Ok()) {
        return {};
    }
    return text;
}

} // namespace

constexpr const char* kHelp =
    "usage: table_bench\n\n"
    "Runs what k720ctl table put and table get run against a paced k720-sim --empty (started\n"
    "from beside this program), and the same exchanges on the bare link, and prints the wall\n"
    "time against the ideal wire time, the CPU share and the peak memory; then the program's\n"
    "own cost per entry, unpaced.\n";

int main(int argc, char** argv) {
    if (bench::AskedForHelp(argc, argv, kHelp)) {
        return 0;
    }
    const std::string sample = SampleTableText();
    std::printf("Paced at 38400 baud 8N1 (k720-sim --empty --pace), the port scan included:\n");
    std::printf("%-18s %8s %9s %9s %7s %8s %9s %9s\n", "run", "entries", "wall [s]", "wire [s]",
                "ratio", "cpu [s]", "cpu share", "peak MiB");
    {
        bench::Simulator paced({"--empty", "--pace"});
        if (paced.Device().empty()) {
            std::fprintf(stderr, "table_bench: k720-sim did not start\n");
            return 1;
        }
        const RunResult put = Put(paced.Device(), sample);
        PrintPaced("table put", put);
        const RunResult barePut = BarePut(paced.Device(), sample);
        PrintPaced("  bare link", barePut);
        std::string received;
        const RunResult get = Get(paced.Device(), received);
        PrintPaced("table get", get);
        const RunResult bareGet = BareGet(paced.Device());
        PrintPaced("  bare link", bareGet);
        if (!put.ok || !get.ok || !barePut.ok || !bareGet.ok) {
            std::fprintf(stderr, "table_bench: a transfer failed\n");
            return 1;
        }
        if (!comp::ParseTableText(received).Ok() ||
            comp::ParseTableText(received).rows != comp::ParseTableText(sample).rows) {
            std::fprintf(stderr, "table_bench: the table came back changed\n");
            return 1;
        }
    }

    std::printf("\nUnpaced (k720-sim --empty): the program's own cost\n");
    bench::Simulator unpaced({"--empty"});
    std::string received;
    const RunResult put = Put(unpaced.Device(), sample);
    const RunResult get = Get(unpaced.Device(), received);
    if (!put.ok || !get.ok) {
        std::fprintf(stderr, "table_bench: an unpaced transfer failed\n");
        return 1;
    }
    for (const auto& [label, r] : {std::pair{"table put", put}, std::pair{"table get", get}}) {
        std::printf("%s: %d entries in %.3f s: %.1f us wall and %.1f us CPU per entry\n", label,
                    r.entries, r.wall, 1e6 * r.wall / r.entries, 1e6 * r.cpu / r.entries);
    }
    std::printf("peak %.1f MiB\n", PeakMemoryMiB());
    return 0;
}
