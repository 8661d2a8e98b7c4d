// The built-in simulated instrument of `k720app --simulate`: the simulator with its demonstration
// memory on a pseudo-terminal, listed among the system's serial ports as one more port of the
// instrument's USB bridge, so that discovery finds it like a plugged-in instrument.
#pragma once

#include <memory>
#include <string>

#include "instrument/port_listing.h"

// The simulator serves a pseudo-terminal (simulated_instrument_posix.cpp); Windows has none, and
// there Start fails (simulated_instrument_win32.cpp).
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

    const std::string& DevicePath() const;
    // How the listing shows it (after a successful Start).
    ListedPort Listing() const { return {kProductName, PortNumber(), DevicePath(), true}; }
    int PortNumber() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
