// The operating system's own listing of serial ports, beneath the candidate filter of discovery,
// and the watch on ports that come and go. Implemented once per OS (ports_udev.cpp,
// ports_setupapi.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct ListedPort {
    std::string productName; // what the system calls the device, ending with its port's name
    int portNumber = 0;      // the number the serial link opens; 0 when it has none
    std::string devicePath;  // the device the number stands for
    bool enabled = true;     // false when the system has the device switched off
    // Named by the user (k720app --port): a candidate whatever its product name.
    bool namedByUser = false;
};

// Every present serial port, in the system's order.
std::vector<ListedPort> ListSerialPorts();

// Replaces the system's listing under EnumerateCandidatePorts, so that the simulated instrument
// (k720app --simulate, the tests) can be offered as a port; an empty function restores
// ListSerialPorts.
using PortLister = std::function<std::vector<ListedPort>()>;
void SetPortLister(PortLister lister);

// The COM port number in a Windows friendly name such as "Prolific USB-to-Serial Comm Port
// (COM3)": the decimal number after the first "(COM", with every ')' removed first. 0 when the
// name has no "(COM" or no number in range there.
int ComPortNumberFromFriendlyName(std::string_view friendlyName);

// One line telling the user why `devicePath` could not be opened with the system's error code
// `openError`, when the user can do something about it: another program holds the port, or a
// permission is missing (and how to get it), in the language in use. "" for any other error.
std::string AccessHintForDevice(const std::string& devicePath, int openError);

// The line of AccessHintForDevice for a port that another program holds; `portName` as the user
// knows the port.
std::string PortInUseText(const std::string& portName);

// Reports serial ports that appear or disappear. On Linux the owner watches FileDescriptor()
// for readability (a QSocketNotifier, for example) and then calls TakeChanges(). Where the
// system reports device changes as window messages instead (Windows), Start() fails.
class PortListMonitor {
public:
    PortListMonitor();
    ~PortListMonitor();
    PortListMonitor(const PortListMonitor&) = delete;
    PortListMonitor& operator=(const PortListMonitor&) = delete;

    // Starts listening. On failure returns false and says why.
    [[nodiscard]] bool Start(std::string* whyNot = nullptr);
    // Readable when events are pending; -1 before a successful Start.
    int FileDescriptor() const;
    // Drains the pending events without waiting; true when a serial port was added, removed or
    // renamed among them.
    [[nodiscard]] bool TakeChanges();

private:
    struct State;
    std::unique_ptr<State> state_;
};
