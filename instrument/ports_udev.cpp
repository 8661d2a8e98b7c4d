// Serial ports on Linux, as udev sees them: the listing, the access hint and the hotplug watch.
#include <cerrno>
#include <grp.h>
#include <initializer_list>
#include <libudev.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/texts.h"
#include "instrument/port_listing.h"
#include "link/port_names.h"

namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

// A sysfs attribute or udev property as text; "" when the device or the value is missing.
std::string Text(const char* value) {
    std::string text = value != nullptr ? value : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string Property(udev_device* device, const char* key) {
    return device != nullptr ? Text(udev_device_get_property_value(device, key)) : "";
}

std::string Attribute(udev_device* device, const char* name) {
    return device != nullptr ? Text(udev_device_get_sysattr_value(device, name)) : "";
}

std::string FirstNonEmpty(std::initializer_list<std::string> texts) {
    for (const std::string& text : texts) {
        if (!text.empty()) {
            return text;
        }
    }
    return {};
}

// The tty's own hardware is there: a USB bridge, or a UART with a parent device. The serial
// driver registers placeholders ttyS0..ttyS31 whether a UART exists or not; those report the
// port type 0 (unknown).
bool IsHardwarePort(udev_device* tty, udev_device* usbDevice) {
    if (usbDevice != nullptr) {
        return true;
    }
    return udev_device_get_parent(tty) != nullptr && Attribute(tty, "type") != "0";
}

// "<vendor> <model> (<tty name>)", each part from the udev database where it knows the device,
// else from what the device itself reports.
std::string ProductName(udev_device* tty, udev_device* usbDevice) {
    const std::string vendor = FirstNonEmpty({
        Property(tty, "ID_VENDOR_FROM_DATABASE"),
        Property(usbDevice, "ID_VENDOR_FROM_DATABASE"),
        Attribute(usbDevice, "manufacturer"),
        Property(tty, "ID_VENDOR"),
    });
    const std::string model = FirstNonEmpty({
        Property(tty, "ID_MODEL_FROM_DATABASE"),
        Property(usbDevice, "ID_MODEL_FROM_DATABASE"),
        Attribute(usbDevice, "product"),
        Property(tty, "ID_MODEL"),
        std::string("Serial port"),
    });
    std::string name = vendor.empty() ? model : vendor + " " + model;
    return name + " (" + Text(udev_device_get_sysname(tty)) + ")";
}

std::optional<ListedPort> DescribePort(udev_device* tty) {
    const char* devnode = udev_device_get_devnode(tty);
    if (devnode == nullptr) {
        return std::nullopt;
    }
    udev_device* usbDevice =
        udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (!IsHardwarePort(tty, usbDevice)) {
        return std::nullopt;
    }
    ListedPort port;
    port.devicePath = devnode;
    port.portNumber = AttachPortDevice(port.devicePath);
    port.productName = ProductName(tty, usbDevice);
    // A USB device that is not authorised is switched off; other ports have no such switch.
    port.enabled = usbDevice == nullptr || Attribute(usbDevice, "authorized") == "1";
    return port;
}

std::string GroupName(gid_t gid) {
    std::string buffer(4096, '\0');
    group entry{};
    group* found = nullptr;
    while (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found != nullptr && found->gr_name != nullptr ? found->gr_name : "";
}

bool ProcessIsInGroup(gid_t gid) {
    if (getegid() == gid) {
        return true;
    }
    const int count = getgroups(0, nullptr);
    if (count <= 0) {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int filled = getgroups(count, groups.data());
    for (int i = 0; i < filled; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<ListedPort> ListSerialPorts() {
    std::vector<ListedPort> ports;
    const UdevPtr<udev> context(udev_new());
    if (!context) {
        return ports;
    }
    const UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration || udev_enumerate_add_match_subsystem(enumeration.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumeration.get()) < 0) {
        return ports;
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumeration.get())) {
        const UdevPtr<udev_device> tty(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!tty) {
            continue; // gone between the scan and now
        }
        if (std::optional<ListedPort> port = DescribePort(tty.get())) {
            ports.push_back(std::move(*port));
        }
    }
    return ports;
}

std::string AccessHintForDevice(const std::string& devicePath, int openError) {
    // The serial link opens exclusively and locks the device: EBUSY says another holds it.
    if (openError == EBUSY) {
        return PortInUseText(devicePath);
    }
    if (openError != EACCES && openError != EPERM) {
        return {};
    }
    struct stat info {};
    if (stat(devicePath.c_str(), &info) == 0 && info.st_gid != 0 &&
        !ProcessIsInGroup(info.st_gid)) {
        const std::string group = GroupName(info.st_gid);
        if (!group.empty()) {
            return FillText(kMessages,
                            K720_TEXT("Messages", "No permission to open %1: add your user to the "
                                                  "group \"%2\" (sudo usermod -aG %2 $USER), then "
                                                  "log in again."),
                            {devicePath, group});
        }
    }
    // Group membership would not help: the device grants its group nothing, or belongs to root.
    return FillText(kMessages,
                    K720_TEXT("Messages", "No permission to open %1: install the udev rule "
                                          "60-k720.rules that comes with the program, then plug "
                                          "the instrument in again."),
                    {devicePath});
}

struct PortListMonitor::State {
    UdevPtr<udev> context;
    UdevPtr<udev_monitor> monitor;
};

PortListMonitor::PortListMonitor() = default;
PortListMonitor::~PortListMonitor() = default;

bool PortListMonitor::Start(std::string* whyNot) {
    auto fail = [whyNot](const char* reason) {
        if (whyNot != nullptr) {
            *whyNot = reason;
        }
        return false;
    };
    auto state = std::make_unique<State>();
    state->context.reset(udev_new());
    if (!state->context) {
        return fail("udev is not available");
    }
    // Events come from the udev daemon once it has set the device up (permissions included);
    // where no daemon runs (a container), straight from the kernel.
    const char* source = access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    state->monitor.reset(udev_monitor_new_from_netlink(state->context.get(), source));
    if (!state->monitor) {
        return fail("cannot listen for device events");
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(state->monitor.get(), "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(state->monitor.get()) < 0) {
        return fail("cannot listen for serial device events");
    }
    state_ = std::move(state);
    return true;
}

int PortListMonitor::FileDescriptor() const {
    return state_ ? udev_monitor_get_fd(state_->monitor.get()) : -1;
}

bool PortListMonitor::TakeChanges() {
    if (!state_) {
        return false;
    }
    bool changed = false;
    pollfd watch{FileDescriptor(), POLLIN, 0};
    while (poll(&watch, 1, 0) > 0 && (watch.revents & POLLIN) != 0) {
        const UdevPtr<udev_device> device(udev_monitor_receive_device(state_->monitor.get()));
        if (!device) {
            break; // nothing for us after all; the descriptor stays readable if more waits
        }
        const std::string action = Text(udev_device_get_action(device.get()));
        if (action == "add" || action == "remove" || action == "move") {
            changed = true;
        }
    }
    return changed;
}
