// The serial link to the instrument: one module-wide port, opened by port number, framing ASCII
// command lines (text + CR LF) and reply lines (bytes up to LF, control bytes dropped), plus
// single raw bytes for the binary replies.
//
// Results are 1 for success and 0 for failure. An operation on a closed port fails without
// touching any device, and closing a closed port is harmless. The module has no lock: one thread
// uses it at a time (the page that opened the port, or the worker it handed the port to).
#pragma once

#include <cstddef>
#include <cstdint>

// Budget of one CommReadLine or CommReadByte call, counted from the call.
inline constexpr int kCommReplyBudgetMs = 2000;

// The line speed that every exchange with the instrument uses.
inline constexpr std::uint32_t kInstrumentBaud = 38400;

// Fills the line settings (baud, 8N1, no flow control, DTR off, RTS on); touches no port.
void CommConfigure(std::uint32_t baud);

// Opens port `port` (1 to 256) exclusively and applies the line settings. Port numbers outside
// 1 to 256 fail at once without touching anything.
[[nodiscard]] int CommOpen(int port);

// Closes the port: 1 when an open port was closed, 0 when it was already closed.
int CommClose();

// Writes `text` and then CR LF. On failure discards the output queue.
[[nodiscard]] int CommSendCommand(const char* text);

// Writes `count` bytes as they are. On failure discards the output queue.
[[nodiscard]] int CommSendBytes(const std::uint8_t* bytes, std::size_t count);

// Reads one reply line into `buffer` (at most capacity - 1 bytes, then NUL) within the budget.
// Bytes below 0x20 are dropped, LF ends the line, bytes past the capacity are dropped. A line that
// is not complete when the budget runs out is returned cut, with CommTimedOut() == 1, and both
// queues are discarded. Returns 0 (port closed, buffer untouched) when the device failed.
[[nodiscard]] int CommReadLine(char* buffer, std::size_t capacity);

template <std::size_t N>
[[nodiscard]] int CommReadLine(char (&buffer)[N]) {
    return CommReadLine(buffer, N);
}

// Reads one byte within the budget. A time-out or a device failure closes the port and returns 0.
[[nodiscard]] int CommReadByte(std::uint8_t* byte);

// Discards the output queue, then the input queue (including bytes read ahead by the module).
void CommPurge();

// Discards the input queue (including bytes read ahead by the module) before a command whose reply
// is read by count, and returns how many received bytes were waiting unread. Any means the line is
// out of step with the replies (an unexpected reply, or a reply longer than expected), so the reply
// read just before may already be shifted.
[[nodiscard]] std::size_t CommPurgeStray();

// CommPurgeStray, then listens `milliseconds` longer and discards what arrives meanwhile: the
// count of both. After the last reply of an exchange read by count, a byte that comes late (a
// duplicated acknowledgement) shows the line was out of step, which no later command would reveal.
[[nodiscard]] std::size_t CommPurgeStrayFor(int milliseconds);

// 1 when the last CommReadLine ran out of time.
int CommTimedOut();

// The operating system's error code of the last CommOpen that failed (0 after a success), kept
// for the few messages where it helps the user, such as a missing permission.
int CommLastOpenError();

// Optional trace of every exchange (off by default), for support diagnostics. The sink is called
// on the thread that uses the port.
enum class CommTraceEvent {
    Opened,     // data: the device path
    OpenFailed, // data: the device path
    Closed,
    Sent,         // data: a command's text (CR LF follows on the wire)
    SentBytes,    // data: raw bytes written as they are
    LineRead,     // data: the stored text of the line
    LineTimedOut, // data: the stored text of the cut line
    ByteRead,     // data: the byte
    ByteTimedOut,
    DeviceFailed,
    StrayDiscarded, // size: how many unread bytes CommPurgeStray found and dropped
};
using CommTraceSink = void (*)(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                               void* context);
void CommSetTrace(CommTraceSink sink, void* context);
