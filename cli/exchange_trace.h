// The -v trace of k720ctl: every exchange with the instrument on stderr, with the time since the
// tool started, the command sent and the reply (its text, or the number of raw bytes).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "link/comm.h"

class ExchangeTrace {
public:
    explicit ExchangeTrace(std::FILE* out) : out_(out), start_(std::chrono::steady_clock::now()) {}
    ~ExchangeTrace() { Stop(); }
    ExchangeTrace(const ExchangeTrace&) = delete;
    ExchangeTrace& operator=(const ExchangeTrace&) = delete;

    // Starts tracing every exchange of the link.
    void Start();
    // Stops tracing and writes out raw bytes still being counted. Call it when no thread uses the
    // link any more.
    void Stop();

private:
    static void Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                     void* context);
    void Record(CommTraceEvent event, const std::uint8_t* data, std::size_t size);
    void FlushBytes();
    void Line(const char* direction, const std::string& text);

    std::FILE* out_;
    std::chrono::steady_clock::time_point start_;
    bool started_ = false;
    // Raw reply bytes are read one at a time; they are reported as one line per run.
    std::size_t pendingBytes_ = 0;
    std::string pendingHex_;
};
