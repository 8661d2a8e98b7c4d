// k720ctl clock: the set clock page's checks and exchange from a script, on the same core and with
// the same texts.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/texts.h"
#include "cli/commands.h"
#include "cli/stop_signals.h"
#include "clock/clock_setting.h"

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

// A field as typed on the set clock page, whose edits take digits only: 1 to `maxDigits` of them.
std::optional<int> DigitsField(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return instrument_clock::ParseField(text);
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
    // Years have four digits, the other fields at most two ("2014-3-7 9:5" is taken too).
    TypedFields typed{DigitsField((*date)[0], 4), DigitsField((*date)[1], 2),
                      DigitsField((*date)[2], 2), DigitsField((*time)[0], 2),
                      DigitsField((*time)[1], 2)};
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
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", setting.year, setting.month,
                  setting.day, setting.hour, setting.minute);
    std::printf(
        "%s\n",
        FillText(kMessages, K720_TEXT("Messages", "Setting the clock to %1"), {when}).c_str());
    std::fflush(stdout);
    ClockOutcome outcome = ClockOutcome::Stopped;
    if (const int status = signals.Run([&](std::stop_token stop) {
            outcome = instrument_clock::SetInstrumentClock(setting, std::move(stop));
        });
        status != kExitOk) {
        return status;
    }
    const char* message = Translate(kMessages, instrument_clock::MessageOf(outcome).text);
    if (outcome == ClockOutcome::ScanFailed) {
        PrintScanFailure(options, message);
    } else {
        std::printf("%s\n", message);
    }
    return outcome == ClockOutcome::ClockSet ? kExitOk : kExitFailed;
}
