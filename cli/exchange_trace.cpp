#include "cli/exchange_trace.h"

#include "cli/console.h"

namespace {

constexpr std::size_t kHexShown = 16;

std::string Quoted(const std::uint8_t* data, std::size_t size) {
    std::string text = "\"";
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t c = data[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            text += escaped;
        }
    }
    return text + "\"";
}

std::string Hex(const std::uint8_t* data, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", data[i]);
        text += byte;
    }
    return text;
}

} // namespace

void ExchangeTrace::Start() {
    CommSetTrace(&ExchangeTrace::Sink, this);
    started_ = true;
}

void ExchangeTrace::Stop() {
    if (started_) {
        CommSetTrace(nullptr, nullptr);
        FlushBytes();
        started_ = false;
    }
}

void ExchangeTrace::Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                         void* context) {
    static_cast<ExchangeTrace*>(context)->Record(event, data, size);
}

void ExchangeTrace::Record(CommTraceEvent event, const std::uint8_t* data, std::size_t size) {
    if (event == CommTraceEvent::ByteRead) {
        if (pendingBytes_ < kHexShown) {
            pendingHex_ += (pendingBytes_ == 0 ? "" : " ") + Hex(data, size);
        }
        ++pendingBytes_;
        return;
    }
    FlushBytes();
    const std::string text(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    switch (event) {
    case CommTraceEvent::Opened:
        Line("open", text);
        break;
    case CommTraceEvent::OpenFailed:
        Line("open", text + " failed: " + SystemErrorText(CommLastOpenError()));
        break;
    case CommTraceEvent::Closed:
        Line("close", "");
        break;
    case CommTraceEvent::Sent:
        Line("->", text);
        break;
    case CommTraceEvent::SentBytes:
        Line("->", std::to_string(size) + " bytes: " + Hex(data, size));
        break;
    case CommTraceEvent::LineRead:
        Line("<-", Quoted(data, size));
        break;
    case CommTraceEvent::LineTimedOut:
        Line("<-", Quoted(data, size) + " (timed out)");
        break;
    case CommTraceEvent::ByteTimedOut:
        Line("<-", "no byte within 2 s (port closed)");
        break;
    case CommTraceEvent::DeviceFailed:
        Line("<-", "device failed (port closed)");
        break;
    case CommTraceEvent::StrayDiscarded:
        Line("<-", std::to_string(size) + " stray bytes were waiting (discarded)");
        break;
    case CommTraceEvent::ByteRead:
        break;
    }
}

void ExchangeTrace::FlushBytes() {
    if (pendingBytes_ == 0) {
        return;
    }
    Line("<-", std::to_string(pendingBytes_) + " bytes: " + pendingHex_ +
                   (pendingBytes_ > kHexShown ? " ..." : ""));
    pendingBytes_ = 0;
    pendingHex_.clear();
}

void ExchangeTrace::Line(const char* direction, const std::string& text) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(out_, "[%9.3f] %-5s %s\n", seconds, direction, text.c_str());
}
