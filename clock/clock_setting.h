// Setting the instrument's clock: the calendar rules, the checks of the five fields (year, month,
// day, hour, minute) with their messages, the ":TIME" command, and the exchange that sends it
// after a port scan. The set clock page and the command-line tool drive the same functions and
// show the same texts.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "base/texts.h"

namespace instrument_clock {

// A date and time to the minute, as sent to the instrument.
struct ClockSetting {
    int year = 2006;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    bool operator==(const ClockSetting&) const = default;
};

enum class ClockField { Year, Month, Day, Hour, Minute };

struct FieldBounds {
    int low;
    int high;
};

// The bounds that the spin buttons use and that the field check enforces; the day's upper bound
// is narrowed to the month's length by the day check.
constexpr FieldBounds BoundsOf(ClockField field) {
    switch (field) {
    case ClockField::Year:
        return {2006, 2037};
    case ClockField::Month:
        return {1, 12};
    case ClockField::Day:
        return {1, 31};
    case ClockField::Hour:
        return {0, 23};
    case ClockField::Minute:
        return {0, 59};
    }
    return {0, 0};
}

// The Gregorian rule: divisible by 400, or by 4 and not by 100.
bool IsLeapYear(int year);
// 28 or 29 for February, 30 for April, June, September and November, else 31.
int DaysInMonth(int year, int month);

// The five fields as typed: empty for a field that is empty or holds no readable integer.
struct TypedFields {
    std::optional<int> year;
    std::optional<int> month;
    std::optional<int> day;
    std::optional<int> hour;
    std::optional<int> minute;
};

// The integer in a field's text (decimal digits, an optional '-' before them, nothing else), or
// empty when there is none or it does not fit an int.
std::optional<int> ParseField(std::string_view text);

// A field refused by a check and the warning that says why.
struct FieldRefusal {
    ClockField field;
    std::string message;
    bool operator==(const FieldRefusal&) const = default;
};

// "Please enter an integer between <low> and <high>.  ", in the language in use.
std::string BoundsMessage(int low, int high);

// The day check: a day beyond the length of a February, April, June, September or November,
// taking an empty year, month or day as 0. Other months are left to the field check.
[[nodiscard]] std::optional<FieldRefusal> CheckDay(const TypedFields& typed);

// The field check: each field against BoundsOf in the order year, day, hour, minute, month; the
// first that is empty or out of bounds is refused with its bounds. Otherwise the setting.
struct FieldCheck {
    std::optional<FieldRefusal> refusal;
    ClockSetting setting; // meaningful when there is no refusal
};
[[nodiscard]] FieldCheck CheckFields(const TypedFields& typed);

// Both checks, the day check first: what a front end runs before SetInstrumentClock.
[[nodiscard]] FieldCheck CheckClockSetting(const TypedFields& typed);

// ":TIME year,month,day,hour,minute" in plain decimal numbers, no leading zeros.
std::string ClockCommand(const ClockSetting& setting);

// The answer buffer: a longer answer line is cut, and then is not "OK".
inline constexpr std::size_t kClockAnswerSize = 20;
inline constexpr const char* kClockAccepted = "OK";

enum class ClockOutcome {
    ClockSet,      // the instrument answered "OK"
    ScanFailed,    // the port scan found no instrument; nothing was sent
    PortNotOpened, // the instrument's port could not be opened; nothing was sent
    NoResponse,    // no complete answer within the reply budget
    SettingFailed, // an answer other than "OK"
    ReadFailed,    // the port failed while the answer was awaited
    Stopped,       // a stop was asked for before the command went out; nothing was sent
};

enum class MessageKind { None, Information, Warning, Error };

struct OutcomeMessage {
    ClockOutcome outcome;
    const char* text; // verbatim; "\n" breaks the line, trailing blanks belong to it
    MessageKind kind;
};

// What the user is told of each outcome. A stop has no message: whoever stopped it has left.
inline constexpr std::array kOutcomeMessages = {
    OutcomeMessage{ClockOutcome::ClockSet, K720_TEXT("Messages", "Clock set.  "),
                   MessageKind::Information},
    OutcomeMessage{ClockOutcome::ScanFailed,
                   K720_TEXT("Messages", "Communication Error. \nIs the USB cable connected?  "),
                   MessageKind::Error},
    OutcomeMessage{ClockOutcome::PortNotOpened,
                   K720_TEXT("Messages", "Communication Error.  \nUSB disconnected. "),
                   MessageKind::Error},
    OutcomeMessage{ClockOutcome::NoResponse,
                   K720_TEXT("Messages", "Communication Error.  \nNo response. "),
                   MessageKind::Error},
    OutcomeMessage{ClockOutcome::SettingFailed, K720_TEXT("Messages", "Clock setting failed.  "),
                   MessageKind::Error},
    OutcomeMessage{ClockOutcome::ReadFailed, K720_TEXT("Messages", "Communication Error.  "),
                   MessageKind::Error},
    OutcomeMessage{ClockOutcome::Stopped, "", MessageKind::None},
};

// The outcome's message, its text in the language in use.
OutcomeMessage MessageOf(ClockOutcome outcome);

// Runs PortScan(stop), then on g_instrumentPort: open, discard stray input, send ClockCommand,
// read the answer, close. Blocks for at most the scan and one reply budget. The port is closed
// when it returns. A stop asked for during the scan ends the scan; once the scan has ended, a
// stop keeps the command from being sent.
[[nodiscard]] ClockOutcome SetInstrumentClock(const ClockSetting& setting,
                                              std::stop_token stop = {});

// The PC's local date and time to the minute: what the page shows when it is shown.
ClockSetting PcClockNow();
// Replaces the PC's clock for PcClockNow (tests); an empty function restores it.
void SetPcClockForTests(std::function<ClockSetting()> source);

} // namespace instrument_clock
