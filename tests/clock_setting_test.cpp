// The clock setting core: calendar rules, the checks of the fields, the command text, and the
// exchange against the simulated instrument (or a bare pseudo-terminal where exact timing
// matters).
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <poll.h>
#include <stop_token>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock_setting.h"
#include "comm.h"
#include "discovery.h"
#include "support/measure_support.h"
#include "support/pty_peer.h"

namespace {

using namespace instrument_clock;
using measure_test::SimInstrument;

// Calls `react` with every event of the serial link, on the thread that uses the port, and keeps
// the command lines sent.
class LinkHook {
public:
    using Reaction = std::function<void(CommTraceEvent, const std::string&)>;
    explicit LinkHook(Reaction react = {}) : react_(std::move(react)) {
        CommSetTrace(&LinkHook::Sink, this);
    }
    ~LinkHook() { CommSetTrace(nullptr, nullptr); }
    LinkHook(const LinkHook&) = delete;
    LinkHook& operator=(const LinkHook&) = delete;

    std::vector<std::string> sent;

private:
    static void Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size,
                     void* context) {
        auto* self = static_cast<LinkHook*>(context);
        const std::string text =
            data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : "";
        if (event == CommTraceEvent::Sent) {
            self->sent.push_back(text);
        }
        if (self->react_) {
            self->react_(event, text);
        }
    }

    Reaction react_;
};

class ClockExchange : public ::testing::Test {
protected:
    void TearDown() override {
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
    }
    static void Attach(int port, const std::string& path) {
        g_candidatePorts = {PortCandidate{"Prolific USB-to-Serial Comm Port (COMx)", port, path}};
        g_instrumentPort = port;
    }
};

TEST(ClockCalendar, MonthLengthsFollowTheGregorianRule) {
    struct Case {
        int year;
        int month;
        int days;
    };
    const Case cases[] = {
        {2013, 2, 28},  {2012, 2, 29},  {2024, 2, 29},  {2000, 2, 29},  {2100, 2, 28},
        {1900, 2, 28},  {2400, 2, 29},  {2013, 4, 30},  {2013, 6, 30},  {2013, 9, 30},
        {2013, 11, 30}, {2013, 1, 31},  {2013, 3, 31},  {2013, 5, 31},  {2013, 7, 31},
        {2013, 8, 31},  {2013, 10, 31}, {2013, 12, 31}, {2012, 12, 31},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
    }
}

// The fields as a front end reads them: "" for an empty field.
TypedFields Typed(const char* year, const char* month, const char* day, const char* hour,
                  const char* minute) {
    return {ParseField(year), ParseField(month), ParseField(day), ParseField(hour),
            ParseField(minute)};
}

TEST(ClockChecks, TheDayCheckRunsFirstThenTheFieldsInThePagesOrder) {
    struct Case {
        const char* name;
        TypedFields typed;
        std::optional<FieldRefusal> refusal;
    };
    const auto refused = [](ClockField field, int low, int high) {
        return std::optional<FieldRefusal>(FieldRefusal{field, BoundsMessage(low, high)});
    };
    const Case cases[] = {
        {"worked example", Typed("2014", "3", "7", "9", "5"), std::nullopt},
        {"29 February of a leap year", Typed("2012", "2", "29", "0", "0"), std::nullopt},
        {"29 February of another year", Typed("2013", "2", "29", "0", "0"),
         refused(ClockField::Day, 1, 28)},
        {"30 February of a leap year", Typed("2012", "2", "30", "0", "0"),
         refused(ClockField::Day, 1, 29)},
        // The day check takes the year as typed, before its bounds are checked.
        {"29 February 2000", Typed("2000", "2", "29", "0", "0"),
         refused(ClockField::Year, 2006, 2037)},
        {"29 February 2100", Typed("2100", "2", "29", "0", "0"), refused(ClockField::Day, 1, 28)},
        {"31 November, year out of bounds", Typed("1999", "11", "31", "99", "99"),
         refused(ClockField::Day, 1, 30)},
        {"31 April", Typed("2020", "4", "31", "0", "0"), refused(ClockField::Day, 1, 30)},
        {"30 June", Typed("2020", "6", "30", "23", "59"), std::nullopt},
        {"31 in a month not known to the day check", Typed("2020", "13", "31", "0", "0"),
         refused(ClockField::Month, 1, 12)},
        {"empty February day", Typed("2020", "2", "", "0", "0"), refused(ClockField::Day, 1, 31)},
        {"year 2038", Typed("2038", "1", "1", "0", "0"), refused(ClockField::Year, 2006, 2037)},
        {"empty year", Typed("", "1", "1", "0", "0"), refused(ClockField::Year, 2006, 2037)},
        {"day 0", Typed("2020", "1", "0", "0", "0"), refused(ClockField::Day, 1, 31)},
        {"day 32", Typed("2020", "1", "32", "0", "0"), refused(ClockField::Day, 1, 31)},
        {"hour before minute and month", Typed("2020", "0", "1", "24", "60"),
         refused(ClockField::Hour, 0, 23)},
        {"minute before month", Typed("2020", "13", "1", "0", ""),
         refused(ClockField::Minute, 0, 59)},
        {"month last", Typed("2020", "0", "1", "0", "0"), refused(ClockField::Month, 1, 12)},
        {"unreadable hour", Typed("2020", "1", "1", "99999999999", "0"),
         refused(ClockField::Hour, 0, 23)},
        {"lowest values", Typed("2006", "1", "1", "0", "0"), std::nullopt},
        {"highest values", Typed("2037", "12", "31", "23", "59"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FieldCheck check = CheckClockSetting(c.typed);
        EXPECT_EQ(check.refusal, c.refusal);
        if (!c.refusal) {
            EXPECT_EQ(check.setting, (ClockSetting{*c.typed.year, *c.typed.month, *c.typed.day,
                                                   *c.typed.hour, *c.typed.minute}));
        }
    }
    EXPECT_EQ(BoundsMessage(1, 28), "Please enter an integer between 1 and 28.  ");
}

TEST(ClockChecks, FieldsHoldOnlyAWholeInteger) {
    EXPECT_EQ(ParseField("2014"), 2014);
    EXPECT_EQ(ParseField("007"), 7);
    EXPECT_EQ(ParseField("-3"), -3);
    for (const char* unreadable : {"", " 7", "7 ", "7x", "+7", "2147483648", "-"}) {
        EXPECT_EQ(ParseField(unreadable), std::nullopt) << unreadable;
    }
}

TEST(ClockCommand, PlainNumbersWithoutLeadingZerosOfAnyLength) {
    EXPECT_EQ(ClockCommand({2014, 3, 7, 9, 5}), ":TIME 2014,3,7,9,5");
    EXPECT_EQ(ClockCommand({2037, 12, 31, 23, 59}), ":TIME 2037,12,31,23,59");
    EXPECT_EQ(ClockCommand({INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN}),
              ":TIME -2147483648,-2147483648,-2147483648,-2147483648,-2147483648");
}

TEST_F(ClockExchange, TheAnswerIsJudgedExactly) {
    struct Case {
        const char* name;
        ClockSetting setting;
        std::optional<std::string> answer; // replaces the instrument's own
        ClockOutcome outcome;
    };
    const Case cases[] = {
        {"accepted", {2028, 2, 29, 23, 59}, std::nullopt, ClockOutcome::ClockSet},
        {"refused by the instrument",
         {2027, 2, 29, 10, 0},
         std::nullopt,
         ClockOutcome::SettingFailed},
        {"OK with a blank", {2028, 2, 29, 23, 59}, "OK \r\n", ClockOutcome::SettingFailed},
        {"lower case", {2028, 2, 29, 23, 59}, "ok\r\n", ClockOutcome::SettingFailed},
        {"OK cut from a longer line",
         {2028, 2, 29, 23, 59},
         "OK" + std::string(20, ' ') + "\r\n",
         ClockOutcome::SettingFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Faults faults;
        if (c.answer) {
            faults.wrongReplies.push_back({":TIME*", *c.answer});
        }
        SimInstrument sim(sim::EmptyInstrument(), faults);
        Attach(sim.Port(), sim.Server().DevicePath());
        const sim::ClockSetting before = sim.Server().State().clock;

        EXPECT_EQ(SetInstrumentClock(c.setting), c.outcome);

        EXPECT_EQ(sim.SettledCommands(),
                  (std::vector<std::string>{"QPID", "QPID", ClockCommand(c.setting)}));
        if (!c.answer) { // the instrument's own answer tells whether it took the setting
            const ClockSetting& s = c.setting;
            const sim::ClockSetting sent{s.year, s.month, s.day, s.hour, s.minute};
            EXPECT_EQ(sim.Server().State().clock,
                      c.outcome == ClockOutcome::ClockSet ? sent : before);
        }
        EXPECT_EQ(CommClose(), 0) << "the port was left open";
    }
}

// Bytes that arrived after the scan's last reply (a late answer) are waiting when the port opens:
// they are dropped, and the instrument's real answer decides.
TEST_F(ClockExchange, ALateByteWaitingAtTheOpenIsNotTakenForTheAnswer) {
    PtyPeer peer;
    Attach(peer.Port(), peer.Path());
    CommConfigure(kInstrumentBaud);
    int opens = 0;
    LinkHook hook([&](CommTraceEvent event, const std::string& text) {
        if (event == CommTraceEvent::Opened && ++opens == 2) {
            peer.Write("OK\r\n");
            pollfd waiting{peer.SlaveFd(), POLLIN, 0};
            ASSERT_EQ(poll(&waiting, 1, 1000), 1);
        } else if (event == CommTraceEvent::Sent) {
            peer.Write(text == "QPID" ? "K720 BATTERY TARVELIN\r\n" : "NG\r\n");
        }
    });

    EXPECT_EQ(SetInstrumentClock({2014, 3, 7, 9, 5}), ClockOutcome::SettingFailed);
    EXPECT_EQ(hook.sent, (std::vector<std::string>{"QPID", "QPID", ":TIME 2014,3,7,9,5"}));
    EXPECT_EQ(CommClose(), 0);
}

TEST_F(ClockExchange, NothingIsSentWhenTheCommandCannotGoOut) {
    struct Case {
        const char* name;
        bool listed;
        bool stopFirst;
        std::function<void(CommTraceEvent, const std::string&, int port, std::stop_source&)> react;
        ClockOutcome outcome;
    };
    const Case cases[] = {
        {"no instrument listed", false, false, {}, ClockOutcome::ScanFailed},
        {"stopped before", true, true, {}, ClockOutcome::Stopped},
        {"stopped while the instrument answers the scan", true, false,
         [](CommTraceEvent event, const std::string& text, int, std::stop_source& stop) {
             if (event == CommTraceEvent::Sent && text == "QPID") {
                 stop.request_stop();
             }
         },
         ClockOutcome::Stopped},
        {"the port is gone after the scan", true, false,
         [](CommTraceEvent event, const std::string&, int port, std::stop_source&) {
             if (event == CommTraceEvent::Closed) {
                 DetachPortDevice(port);
             }
         },
         ClockOutcome::PortNotOpened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimInstrument sim(sim::EmptyInstrument());
        if (c.listed) {
            Attach(sim.Port(), sim.Server().DevicePath());
        }
        std::stop_source stop;
        if (c.stopFirst) {
            stop.request_stop();
        }
        LinkHook hook([&](CommTraceEvent event, const std::string& text) {
            if (c.react) {
                c.react(event, text, sim.Port(), stop);
            }
        });

        EXPECT_EQ(SetInstrumentClock({2014, 3, 7, 9, 5}, stop.get_token()), c.outcome);

        for (const std::string& line : hook.sent) {
            EXPECT_EQ(line, "QPID");
        }
        EXPECT_EQ(CommClose(), 0);
        g_candidatePorts.clear();
    }
}

TEST_F(ClockExchange, APortThatFailsDuringTheReadIsAFailureOfItsOwn) {
    sim::Faults faults;
    faults.hangUpAtCommand = 3; // the device disappears at ":TIME"
    SimInstrument sim(sim::EmptyInstrument(), faults);
    Attach(sim.Port(), sim.Server().DevicePath());

    const ClockOutcome outcome = SetInstrumentClock({2014, 3, 7, 9, 5});

    EXPECT_EQ(outcome, ClockOutcome::ReadFailed);
    EXPECT_EQ(CommClose(), 0);
    EXPECT_STREQ(MessageOf(outcome).text, "Communication Error.  ");
    EXPECT_EQ(MessageOf(outcome).kind, MessageKind::Error);
}

} // namespace
