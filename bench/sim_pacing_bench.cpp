// How closely the simulated instrument's line pacing follows a 38400-baud 8N1 line: a client
// makes request/reply exchanges of several sizes as fast as it can, and the wall time is set
// against the ideal wire time of every byte that crossed the line (10 bits a byte).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "link/comm.h"
#include "link/port_names.h"
#include "sim/pty_server.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Exchange {
    const char* label;
    std::string command;
    std::size_t replyBytes; // read byte by byte
    bool replyIsLine;
};

double IdealSeconds(std::size_t bytes) {
    return static_cast<double>(bytes) * 10.0 / 38400.0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::puts("usage: sim_pacing_bench [ROUNDS]\n\n"
                  "Makes ROUNDS (default 300) exchanges of each size with a paced simulated\n"
                  "instrument and prints their wall time against the ideal wire time.");
        return 0;
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 300;
    sim::ServerOptions options;
    options.pace = true;
    sim::SimServer server(sim::DemoInstrument(), {}, options);
    std::string error;
    if (!server.Start(&error)) {
        std::fprintf(stderr, "sim_pacing_bench: %s\n", error.c_str());
        return 1;
    }
    const int port = AttachPortDevice(server.DevicePath());
    CommConfigure(kInstrumentBaud);
    if (CommOpen(port) != 1) {
        std::fprintf(stderr, "sim_pacing_bench: cannot open %s\n", server.DevicePath().c_str());
        return 1;
    }

    const Exchange exchanges[] = {
        {"reading record (13 bytes)", ":MEM:DATA? 4800", 13, false},
        {"slot map (50 bytes)", ":MEM:UNIT? P", 50, false},
        {"identity line", "QPID", 0, true},
    };
    std::printf("%-28s %8s %12s %12s %8s\n", "exchange", "count", "wall [s]", "ideal [s]", "ratio");
    for (const Exchange& exchange : exchanges) {
        std::size_t bytes = 0;
        const auto start = Clock::now();
        for (int i = 0; i < rounds; ++i) {
            if (CommSendCommand(exchange.command.c_str()) != 1) {
                return 1;
            }
            bytes += exchange.command.size() + 2;
            if (exchange.replyIsLine) {
                char line[64];
                if (CommReadLine(line) != 1 || CommTimedOut()) {
                    return 1;
                }
                bytes += std::strlen(line) + 2;
            } else {
                for (std::size_t b = 0; b < exchange.replyBytes; ++b) {
                    std::uint8_t byte = 0;
                    if (CommReadByte(&byte) != 1) {
                        return 1;
                    }
                }
                bytes += exchange.replyBytes;
            }
        }
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double ideal = IdealSeconds(bytes);
        std::printf("%-28s %8d %12.4f %12.4f %8.4f\n", exchange.label, rounds, wall, ideal,
                    wall / ideal);
    }
    CommClose();
    server.Stop();
    return 0;
}
