// The built-in simulated instrument of `k720app --simulate`: the simulator with its demonstration
// memory on a pseudo-terminal, listed among the system's serial ports as one more port of the
// instrument's USB bridge, so that discovery finds it like a plugged-in instrument.
#pragma once

#include <string>

#include "port_listing.h"
#include "pty_server.h"

class SimulatedInstrument {
public:
    static constexpr const char* kProductName = "Prolific USB-to-Serial Comm Port (simulated K720)";

    SimulatedInstrument();
    // Stops listing the simulated port and stops the simulator.
    ~SimulatedInstrument();
    SimulatedInstrument(const SimulatedInstrument&) = delete;
    SimulatedInstrument& operator=(const SimulatedInstrument&) = delete;

    // Starts the simulator and adds its port to the listing. On failure returns false and says why.
    [[nodiscard]] bool Start(std::string* error);

    const std::string& DevicePath() const { return server_.DevicePath(); }
    // How the listing shows it (after a successful Start).
    ListedPort Listing() const { return {kProductName, port_, server_.DevicePath(), true}; }
    int PortNumber() const { return port_; }

private:
    sim::SimServer server_;
    int port_ = 0;
    bool listed_ = false;
};
