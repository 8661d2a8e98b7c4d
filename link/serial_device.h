// The operating system's side of the serial link: one device at a time, opened with the line
// settings, written with a time budget, read as soon as anything has arrived. The framing,
// budgets and module state of the link (comm.cpp) sit on top of it; each operating system has
// its own implementation file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace serial_device {

using Clock = std::chrono::steady_clock;

// Stores the line settings (baud, 8N1, no flow control, DTR off, RTS on) for the next Open.
void Configure(std::uint32_t baud);

// Opens `path` exclusively and applies the line settings, without stale input. Returns 0, or the
// system's error code.
int Open(const std::string& path);

bool IsOpen();

// Gives the device back the settings it had before Open (a terminal a probe opened stays usable)
// and closes it; false when it was not open or the system reported a failure.
bool Close();

// Writes every byte before `deadline`.
bool Write(const std::uint8_t* bytes, std::size_t count, Clock::time_point deadline);

enum class ReadResult { Data, TimedOut, DeviceFailed };

// Reads what has arrived (at most `capacity` bytes), waiting until `deadline` for the first byte.
// A hang-up or an I/O error of the device is DeviceFailed.
ReadResult Read(std::uint8_t* buffer, std::size_t capacity, std::size_t* got,
                Clock::time_point deadline);

void DiscardOutput();
// Discards what has arrived and not been read; returns how many bytes that was.
std::size_t DiscardInput();

} // namespace serial_device
