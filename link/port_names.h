// Port numbers and device paths.
//
// The link opens ports by number (1 to 256), as the instrument's discovery reports them. On POSIX
// systems a fixed rule maps the usual serial device names to numbers, so that a saved port number
// names the same device from one run to the next:
//
//   /dev/ttyUSB0 .. /dev/ttyUSB63   ports   1 ..  64   (USB-to-serial bridges)
//   /dev/ttyACM0 .. /dev/ttyACM63   ports  65 .. 128   (USB CDC devices)
//   /dev/ttyS0   .. /dev/ttyS31     ports 129 .. 160   (on-board UARTs)
//                                   ports 161 .. 256   attached device paths (below)
//
// Any other device (a pseudo-terminal such as the simulated instrument, or a path the user names)
// is attached at run time and gets the lowest free number from 161 up, for the life of the
// process. Attaching a path that falls under the rule (also through a symbolic link such as
// /dev/serial/by-id/...) gives the rule's number. On Windows the number is the COM port number.
#pragma once

#include <string>

inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 256;
inline constexpr int kFirstAttachedPortNumber = 161;

// The device path of a port number, or "" when the number names no device.
std::string PortDevicePath(int port);

// The port number of a device path under the rule, or 0 when the path falls outside it.
int PortNumberByRule(const std::string& devicePath);

// Attaches a device path and returns its port number: the rule's number when the path (or the
// file it links to) falls under the rule, the number it already has when it was attached before,
// else the lowest free attached number. Returns 0 when every attached number is taken.
int AttachPortDevice(const std::string& devicePath);

// Forgets an attached port number; numbers under the rule are not affected.
void DetachPortDevice(int port);
