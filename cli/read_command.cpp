// k720ctl read: the same sequence as the main program's reading pages, on the same core: the
// memory check (with its port scan), then the reception's start and its two workers.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/stop_signals.h"
#include "files/replacement_file.h"
#include "instrument/discovery.h"
#include "measure/reception.h"
#include "measure/units.h"

namespace {

// Hands the engine's reports, which arrive on its worker threads, to the main thread.
class ConsoleObserver final : public measure::ReceptionObserver {
public:
    explicit ConsoleObserver(WakeEvent& wake) : wake_(wake) {}

    void OnProgress(int, int) override { Wake(); }
    void OnTimeRemaining(const std::string& text) override {
        {
            std::lock_guard lock(mutex_);
            timeRemaining_ = text;
        }
        Wake();
    }
    void OnEnd(const measure::ReceptionEnd& end) override {
        {
            std::lock_guard lock(mutex_);
            end_ = end;
        }
        Wake();
    }

    std::string TimeRemaining() const {
        std::lock_guard lock(mutex_);
        return timeRemaining_;
    }
    std::optional<measure::ReceptionEnd> End() const {
        std::lock_guard lock(mutex_);
        return end_;
    }

private:
    void Wake() { wake_.Set(); }

    WakeEvent& wake_;
    mutable std::mutex mutex_;
    std::string timeRemaining_;
    std::optional<measure::ReceptionEnd> end_;
};

// The live progress line on a terminal; nothing otherwise.
class ProgressLine {
public:
    explicit ProgressLine(bool shown) : shown_(shown) {}
    void Draw(int received, int total, const std::string& timeRemaining) {
        if (shown_) {
            std::fprintf(stderr, "\r%s   %s\033[K", measure::ProgressText(received, total).c_str(),
                         timeRemaining.c_str());
            std::fflush(stderr);
        }
    }
    void Clear() {
        if (shown_) {
            std::fprintf(stderr, "\r\033[K");
            std::fflush(stderr);
        }
    }

private:
    bool shown_;
};

// Splits --out into the folder and the file name without ".csv", as the confirmation page hands
// them on, and refuses a destination that the reception could not write before the instrument is
// touched. The engine refuses such a path and kind of destination itself, but only after the
// memory check; here they are usage errors.
int PrepareDestination(const std::string& output, measure::ReceptionRequest& request) {
    const std::filesystem::path path(output);
    if (path.extension() != ".csv" || path.stem().empty()) {
        return RefuseDestination(FillText(
            kMessages, K720_TEXT("Messages", "%1 must name a file ending in .csv"), {"--out"}));
    }
    request.folder = DestinationFolder(path).string();
    request.fileName = path.stem().string();
    const std::string destination = measure::DestinationPath(request.folder, request.fileName);
    if (destination.size() > measure::kMaxDestinationPathLength) {
        return RefuseDestination(FillText(
            kMessages,
            K720_TEXT("Messages", "%1 names a path of %2 characters; at most %3 are possible"),
            {"--out", std::to_string(destination.size()),
             std::to_string(measure::kMaxDestinationPathLength)}));
    }
    return CheckDestination(destination);
}

// Prints a message as one line; a constant of the core is translated here.
void PrintMessage(const char* text) {
    std::printf("%s\n", Translate(kMessages, text));
}

// Waits for the end of a started reception; a stop request cancels it like the Cancel button.
// True when it was cancelled that way.
bool WaitForEnd(measure::ReceptionEngine& engine, ConsoleObserver& observer, WakeEvent& wake,
                StopSignals& signals) {
    ProgressLine progress(ShowsProgress(stderr));
    bool interrupted = false;
    while (!observer.End()) {
        const StopSignals::Wait woken = signals.WaitFor(wake);
        if (woken == StopSignals::Wait::Failed) {
            // Nothing can be waited for any more: end the reception; Join waits for its end.
            engine.Stop();
            break;
        }
        if (woken == StopSignals::Wait::Stopped) {
            interrupted = true;
            engine.Stop();
        } else {
            progress.Draw(engine.Received(), engine.Total(), observer.TimeRemaining());
        }
    }
    progress.Clear();
    engine.Join();
    return interrupted;
}

} // namespace

std::optional<int> UnitCodeOfName(const std::string& name) {
    if (name == "all" || name == "ALL" || name == "All") {
        return measure::kAllUnitsCode;
    }
    if (name.size() != 1) {
        return std::nullopt;
    }
    const int index = measure::UnitIndexOfLetter(name.front());
    if (index < 0) {
        return std::nullopt;
    }
    return measure::UnitCode(index);
}

int RunRead(const CommonOptions& options, const ReadOptions& read) {
    measure::ReceptionRequest request;
    if (const int status = PrepareDestination(read.output, request); status != kExitOk) {
        return status;
    }
    if (read.store) {
        if (const int status = CheckHistoryStore(read.store); status != kExitOk) {
            return status;
        }
        for (const auto& [destination, name] :
             {std::pair{measure::DestinationPath(request.folder, request.fileName),
                        static_cast<const char*>("--out")},
              std::pair{read.reportPage, ReportPageName()}}) {
            if (!destination.empty()) {
                if (const int status = RefuseOverHistory(read.store, destination, name);
                    status != kExitOk) {
                    return status;
                }
            }
        }
    }
    if (!read.reportPage.empty()) {
        if (const int status = CheckReportDestination(read.reportPage); status != kExitOk) {
            return status;
        }
        if (const int status =
                RefuseOverReadings(measure::DestinationPath(request.folder, request.fileName),
                                   read.reportPage, ReportPageName());
            status != kExitOk) {
            return status;
        }
    }

    // Stop signals are taken as events from here on, so that they cancel instead of killing.
    StopSignals signals;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    WakeEvent wake;
    if (const int status = wake.Check(); status != kExitOk) {
        return status;
    }

    int mask = 0;
    if (const int status = CheckUnits(options, signals, mask); status != kExitOk) {
        return status;
    }
    if (const int status = RefuseUnitWithoutData(read.unitCode, mask); status != kExitOk) {
        return status;
    }

    request.selectedUnitCode = read.unitCode;
    request.unitDataMask = mask;
    request.port = g_instrumentPort;
    ConsoleObserver observer(wake);
    measure::ReceptionEngine engine(observer);
    // The start reads the slot maps, the serial number and the temperature unit: a stop signal
    // meanwhile is kept by the engine, and the reception ends before its first reading.
    measure::StartOutcome start = measure::StartOutcome::CommunicationError;
    const int startStatus = signals.Run([&](std::stop_token) { start = engine.Start(request); },
                                        [&engine] { engine.Stop(); });
    if (startStatus == kExitFailed) {
        return kExitFailed;
    }
    bool interrupted = startStatus == kExitInterrupted;
    if (start != measure::StartOutcome::Started) {
        if (interrupted) {
            return kExitInterrupted;
        }
        PrintMessage(engine.StartMessage(start).c_str());
        // The folder stopped taking files after the check above.
        return start == measure::StartOutcome::CannotCreate ? kExitUsage : kExitFailed;
    }
    if (interrupted) {
        // Start clears the cancel flag as it begins: a signal that came just before is kept here.
        engine.Stop();
    }
    std::printf("%s\n", FillText(kMessages, K720_TEXT("Messages", "Reading %1 into %2"),
                                 {measure::UnitLineText(read.unitCode),
                                  files::PathInMessage(engine.Destination())})
                            .c_str());
    std::fflush(stdout);

    interrupted = WaitForEnd(engine, observer, wake, signals) || interrupted;
    const measure::ReceptionEnd end = *observer.End();
    PrintMessage(measure::EndMessage(end.outcome));
    if (const std::string kept = measure::KeptReadingsText(end); !kept.empty()) {
        PrintMessage(kept.c_str());
    }
    if (end.fileFailed) {
        std::fprintf(stderr, "k720ctl: %s: %s\n",
                     files::PathInMessage(engine.Destination()).c_str(),
                     SystemErrorText(end.fileError).c_str());
    }
    switch (end.outcome) {
    case measure::EndOutcome::Received: {
        // The history and the page each get their turn: one failing leaves the other done.
        const int recorded =
            read.store ? RecordReadingInHistory(engine.Destination(), read.store) : kExitOk;
        if (read.reportPage.empty()) {
            return recorded;
        }
        // The folders may have changed during the reading: the page never replaces the readings.
        if (RefuseOverReadings(engine.Destination(), read.reportPage, ReportPageName()) !=
            kExitOk) {
            return kExitFailed;
        }
        const int page = WriteReportPage(engine.Destination(), read.reportPage, read.reportLabels);
        return recorded != kExitOk ? recorded : page;
    }
    case measure::EndOutcome::Cancelled:
        return interrupted ? kExitInterrupted : kExitFailed;
    case measure::EndOutcome::Error:
        return kExitFailed;
    }
    return kExitFailed;
}
