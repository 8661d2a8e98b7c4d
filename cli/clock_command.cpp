// k720ctl clock: the set clock page's checks and exchange from a script, on the same core and with
// the same texts.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clock_setting.h"
#include "commands.h"
#include "stop_signals.h"

namespace {

using instrument_clock::ClockOutcome;
using instrument_clock::TypedFields;

// Splits `text` at `separator` into exactly `count` parts.
std::optional<std::vector<std::string_view>> SplitExactly(std::string_view text, char separator,
                                                          std::size_t count) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            break;
        }
        text.remove_prefix(at + 1);
    }
    if (parts.size() != count) {
        return std::nullopt;
    }
    return parts;
}

} // namespace

std::optional<TypedFields> ParseClockSetting(std::string_view text) {
    const auto dateAndTime = SplitExactly(text, ' ', 2);
    if (!dateAndTime) {
        return std::nullopt;
    }
    const auto date = SplitExactly((*dateAndTime)[0], '-', 3);
    const auto time = SplitExactly((*dateAndTime)[1], ':', 2);
    if (!date || !time) {
        return std::nullopt;
    }
    using instrument_clock::ParseField;
    TypedFields typed{ParseField((*date)[0]), ParseField((*date)[1]), ParseField((*date)[2]),
                      ParseField((*time)[0]), ParseField((*time)[1])};
    if (!typed.year || !typed.month || !typed.day || !typed.hour || !typed.minute) {
        return std::nullopt;
    }
    return typed;
}

int RunClock(const CommonOptions& options, const ClockOptions& clock) {
    TypedFields typed;
    if (clock.set) {
        typed = *clock.set;
    } else {
        const instrument_clock::ClockSetting now = instrument_clock::PcClockNow();
        typed = {now.year, now.month, now.day, now.hour, now.minute};
    }
    // The page's checks, before the instrument is touched.
    const instrument_clock::FieldCheck check = instrument_clock::CheckClockSetting(typed);
    if (check.refusal) {
        std::printf("%s\n", check.refusal->message.c_str());
        return kExitUsage;
    }
    StopSignals signals;
    if (const int status = signals.Check(); status != kExitOk) {
        return status;
    }
    PrepareCandidates(options);
    const instrument_clock::ClockSetting& setting = check.setting;
    std::printf("Setting the clock to %04d-%02d-%02d %02d:%02d\n", setting.year, setting.month,
                setting.day, setting.hour, setting.minute);
    std::fflush(stdout);
    ClockOutcome outcome = ClockOutcome::Stopped;
    if (const int status = signals.Run([&](std::stop_token stop) {
            outcome = instrument_clock::SetInstrumentClock(setting, std::move(stop));
        });
        status != kExitOk) {
        return status;
    }
    const char* message = instrument_clock::MessageOf(outcome).text;
    if (outcome == ClockOutcome::ScanFailed) {
        PrintScanFailure(options, message);
    } else {
        std::printf("%s\n", message);
    }
    return outcome == ClockOutcome::ClockSet ? kExitOk : kExitFailed;
}
