#include "simulated_instrument.h"

#include <vector>

#include "instrument.h"
#include "port_listing.h"
#include "port_names.h"

SimulatedInstrument::SimulatedInstrument() : server_(sim::DemoInstrument()) {}

SimulatedInstrument::~SimulatedInstrument() {
    if (listed_) {
        SetPortLister({});
        DetachPortDevice(port_);
    }
    server_.Stop();
}

bool SimulatedInstrument::Start(std::string* error) {
    if (!server_.Start(error)) {
        return false;
    }
    port_ = AttachPortDevice(server_.DevicePath());
    if (port_ == 0) {
        if (error != nullptr) {
            *error = "no free port number for " + server_.DevicePath();
        }
        server_.Stop();
        return false;
    }
    // The listing seam of discovery: the system's own ports, then the simulated one.
    ListedPort simulated = Listing();
    SetPortLister([simulated] {
        std::vector<ListedPort> ports = ListSerialPorts();
        ports.push_back(simulated);
        return ports;
    });
    listed_ = true;
    return true;
}
