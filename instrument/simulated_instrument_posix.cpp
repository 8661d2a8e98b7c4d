#include <vector>

#include "instrument/port_listing.h"
#include "instrument/simulated_instrument.h"
#include "link/port_names.h"
#include "sim/instrument.h"
#include "sim/pty_server.h"

struct SimulatedInstrument::State {
    sim::SimServer server{sim::DemoInstrument()};
    int port = 0;
    bool listed = false;
};

SimulatedInstrument::SimulatedInstrument() : state_(std::make_unique<State>()) {}

SimulatedInstrument::~SimulatedInstrument() {
    if (state_->listed) {
        SetPortLister({});
        DetachPortDevice(state_->port);
    }
    state_->server.Stop();
}

const std::string& SimulatedInstrument::DevicePath() const {
    return state_->server.DevicePath();
}

int SimulatedInstrument::PortNumber() const {
    return state_->port;
}

bool SimulatedInstrument::Start(std::string* error) {
    if (!state_->server.Start(error)) {
        return false;
    }
    state_->port = AttachPortDevice(state_->server.DevicePath());
    if (state_->port == 0) {
        if (error != nullptr) {
            *error = "no free port number for " + state_->server.DevicePath();
        }
        state_->server.Stop();
        return false;
    }
    // The listing seam of discovery: the system's own ports, then the simulated one.
    ListedPort simulated = Listing();
    SetPortLister([simulated] {
        std::vector<ListedPort> ports = ListSerialPorts();
        ports.push_back(simulated);
        return ports;
    });
    state_->listed = true;
    return true;
}
