// Windows has no pseudo-terminals for the simulator to serve: `k720app --simulate` says so and
// ends (the tests of this build run the Linux simulator behind COM ports under Wine instead).
#include "instrument/simulated_instrument.h"

struct SimulatedInstrument::State {
    std::string devicePath; // stays empty: nothing is served
};

SimulatedInstrument::SimulatedInstrument() : state_(std::make_unique<State>()) {}

SimulatedInstrument::~SimulatedInstrument() = default;

bool SimulatedInstrument::Start(std::string* error) {
    if (error != nullptr) {
        *error = "the simulated instrument serves a pseudo-terminal, which Windows does not have";
    }
    return false;
}

const std::string& SimulatedInstrument::DevicePath() const {
    return state_->devicePath;
}

int SimulatedInstrument::PortNumber() const {
    return 0;
}
