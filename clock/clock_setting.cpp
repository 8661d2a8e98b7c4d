#include "clock/clock_setting.h"

#include <charconv>
#include <cstring>
#include <utility>

#include "base/local_time.h"
#include "instrument/discovery.h"
#include "link/comm.h"

namespace instrument_clock {

namespace {

// Replaced by tests; read and written on one thread.
std::function<ClockSetting()> g_pcClock;

ClockSetting LocalClockNow() {
    const LocalTime now = LocalTimeNow();
    return {now.year, now.month, now.day, now.hour, now.minute};
}

std::optional<FieldRefusal> OutOfBounds(ClockField field, const std::optional<int>& value) {
    const FieldBounds bounds = BoundsOf(field);
    if (value && *value >= bounds.low && *value <= bounds.high) {
        return std::nullopt;
    }
    return FieldRefusal{field, BoundsMessage(bounds.low, bounds.high)};
}

} // namespace

bool IsLeapYear(int year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DaysInMonth(int year, int month) {
    switch (month) {
    case 2:
        return IsLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

std::optional<int> ParseField(std::string_view text) {
    int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string BoundsMessage(int low, int high) {
    return FillText(kMessages,
                    K720_TEXT("Messages", "Please enter an integer between %1 and %2.  "),
                    {std::to_string(low), std::to_string(high)});
}

std::optional<FieldRefusal> CheckDay(const TypedFields& typed) {
    const int month = typed.month.value_or(0);
    if (month != 2 && month != 4 && month != 6 && month != 9 && month != 11) {
        return std::nullopt;
    }
    const int longest = DaysInMonth(typed.year.value_or(0), month);
    if (typed.day.value_or(0) <= longest) {
        return std::nullopt;
    }
    return FieldRefusal{ClockField::Day, BoundsMessage(1, longest)};
}

FieldCheck CheckFields(const TypedFields& typed) {
    const struct {
        ClockField field;
        const std::optional<int>* value;
    } order[] = {
        {ClockField::Year, &typed.year},   {ClockField::Day, &typed.day},
        {ClockField::Hour, &typed.hour},   {ClockField::Minute, &typed.minute},
        {ClockField::Month, &typed.month},
    };
    for (const auto& [field, value] : order) {
        if (auto refusal = OutOfBounds(field, *value)) {
            return {std::move(refusal), {}};
        }
    }
    return {std::nullopt, {*typed.year, *typed.month, *typed.day, *typed.hour, *typed.minute}};
}

FieldCheck CheckClockSetting(const TypedFields& typed) {
    if (auto refusal = CheckDay(typed)) {
        return {std::move(refusal), {}};
    }
    return CheckFields(typed);
}

std::string ClockCommand(const ClockSetting& setting) {
    return ":TIME " + std::to_string(setting.year) + ',' + std::to_string(setting.month) + ',' +
           std::to_string(setting.day) + ',' + std::to_string(setting.hour) + ',' +
           std::to_string(setting.minute);
}

// The table has one row per outcome, in the order of the outcomes.
constexpr bool OneRowPerOutcome() {
    for (std::size_t i = 0; i < kOutcomeMessages.size(); ++i) {
        if (static_cast<std::size_t>(kOutcomeMessages[i].outcome) != i) {
            return false;
        }
    }
    return kOutcomeMessages.size() == static_cast<std::size_t>(ClockOutcome::Stopped) + 1;
}
static_assert(OneRowPerOutcome());

OutcomeMessage MessageOf(ClockOutcome outcome) {
    OutcomeMessage message = kOutcomeMessages.at(static_cast<std::size_t>(outcome));
    message.text = Translate(kMessages, message.text);
    return message;
}

ClockOutcome SetInstrumentClock(const ClockSetting& setting, std::stop_token stop) {
    if (PortScan(stop) != 0) {
        return stop.stop_requested() ? ClockOutcome::Stopped : ClockOutcome::ScanFailed;
    }
    if (stop.stop_requested()) {
        return ClockOutcome::Stopped;
    }
    if (CommOpen(g_instrumentPort) == 0) {
        return ClockOutcome::PortNotOpened;
    }
    // A late reply to an earlier command must not be taken for the answer. The answer is a
    // line of its own, so what was waiting is dropped and the exchange goes on.
    static_cast<void>(CommPurgeStray());
    // A command that did not go out gets no answer, and the missing answer is what is reported.
    static_cast<void>(CommSendCommand(ClockCommand(setting).c_str()));
    char answer[kClockAnswerSize] = {};
    const bool read = CommReadLine(answer) != 0; // a failed read has closed the port already
    const bool timedOut = CommTimedOut() != 0;
    CommClose();
    if (!read) {
        return ClockOutcome::ReadFailed;
    }
    if (timedOut) {
        return ClockOutcome::NoResponse;
    }
    return std::strcmp(answer, kClockAccepted) == 0 ? ClockOutcome::ClockSet
                                                    : ClockOutcome::SettingFailed;
}

ClockSetting PcClockNow() {
    return g_pcClock ? g_pcClock() : LocalClockNow();
}

void SetPcClockForTests(std::function<ClockSetting()> source) {
    g_pcClock = std::move(source);
}

} // namespace instrument_clock
