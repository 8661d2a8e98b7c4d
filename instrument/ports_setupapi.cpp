// Serial ports on Windows, as the device manager sees them: every present device of the "Ports"
// class with its friendly name and COM number. The configuration manager's status call is taken
// from "cfgmgr32.dll" at run time.
// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>
// clang-format on

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "instrument/port_listing.h"

namespace {

constexpr DWORD kPropertyBufferSize = 512;

using GetDevNodeStatusFn = CONFIGRET(WINAPI*)(PULONG status, PULONG problem, DEVINST node,
                                              ULONG flags);

struct DeviceSetDeleter {
    void operator()(void* set) const { SetupDiDestroyDeviceInfoList(static_cast<HDEVINFO>(set)); }
};
using DeviceSet = std::unique_ptr<void, DeviceSetDeleter>;

struct LibraryDeleter {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

// A text property of a device; "" when the device has none.
std::string TextProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    BYTE buffer[kPropertyBufferSize] = {};
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, property, nullptr, buffer, sizeof buffer,
                                           &size)) {
        return {};
    }
    // The stored text may or may not end with its NUL; never read past the buffer.
    const auto* text = reinterpret_cast<const char*>(buffer);
    std::size_t length = 0;
    while (length < size && length < sizeof buffer && text[length] != '\0') {
        ++length;
    }
    return std::string(text, length);
}

// What the configuration manager says of a device node.
enum class NodeState { Unknown, Disabled, Usable };

NodeState StateOf(GetDevNodeStatusFn getStatus, DEVINST node) {
    ULONG status = 0;
    ULONG problem = 0;
    if (getStatus(&status, &problem, node, 0) != CR_SUCCESS) {
        return NodeState::Unknown;
    }
    return problem == CM_PROB_DISABLED ? NodeState::Disabled : NodeState::Usable;
}

} // namespace

std::vector<ListedPort> ListSerialPorts() {
    std::vector<ListedPort> ports;
    const HDEVINFO rawSet =
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (rawSet == INVALID_HANDLE_VALUE) {
        return ports;
    }
    const DeviceSet set(rawSet);
    Library cfgmgr;
    GetDevNodeStatusFn getStatus = nullptr;

    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(rawSet, index, &device); ++index) {
        if (TextProperty(rawSet, device, SPDRP_CLASS).find("Ports") == std::string::npos) {
            continue;
        }
        if (!cfgmgr) {
            cfgmgr.reset(LoadLibraryExA("cfgmgr32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
            if (!cfgmgr) {
                return ports; // without the status call no further device can be judged
            }
            getStatus = reinterpret_cast<GetDevNodeStatusFn>(
                reinterpret_cast<void*>(GetProcAddress(cfgmgr.get(), "CM_Get_DevNode_Status")));
            if (getStatus == nullptr) {
                return ports;
            }
        }
        const NodeState state = StateOf(getStatus, device.DevInst);
        if (state == NodeState::Unknown) {
            continue;
        }
        ListedPort port;
        port.productName = TextProperty(rawSet, device, SPDRP_FRIENDLYNAME);
        port.portNumber = ComPortNumberFromFriendlyName(port.productName);
        if (port.portNumber == 0) {
            continue; // not a COM port (a printer port, or a name without "(COMn)")
        }
        port.devicePath = "COM" + std::to_string(port.portNumber);
        port.enabled = state == NodeState::Usable;
        ports.push_back(std::move(port));
    }
    return ports;
}

// A COM port opens for one program at a time: a refused open means that another program holds
// it (there is no permission to grant).
std::string AccessHintForDevice(const std::string& devicePath, int openError) {
    const auto error = static_cast<DWORD>(openError);
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) {
        return {};
    }
    // "\\.\COM12" is COM12 to the user.
    constexpr std::string_view kDeviceNamespace = "\\\\.\\";
    const std::string_view name(devicePath);
    return PortInUseText(std::string(
        name.starts_with(kDeviceNamespace) ? name.substr(kDeviceNamespace.size()) : name));
}

// Windows reports device changes to the main window as WM_DEVICECHANGE (port_watch_win32.cpp);
// there is nothing to watch here.
struct PortListMonitor::State {};

PortListMonitor::PortListMonitor() = default;
PortListMonitor::~PortListMonitor() = default;

bool PortListMonitor::Start(std::string* whyNot) {
    if (whyNot != nullptr) {
        *whyNot = "device changes arrive as window messages (WM_DEVICECHANGE)";
    }
    return false;
}

int PortListMonitor::FileDescriptor() const {
    return -1;
}

bool PortListMonitor::TakeChanges() {
    return false;
}
