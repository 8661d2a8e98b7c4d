// The clock setting core: calendar rules, the checks of the fields and the command text; the
// exchange where the page's tests cannot reach (stray input, stop requests). Every outcome's
// message is checked through the page (date_page_test).
#include <climits>
#include <functional>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "clock/clock_setting.h"
#include "instrument/discovery.h"
#include "link/comm.h"
#include "tests/support/measure_support.h"
#include "tests/support/pty_peer.h"
#include "translations/text_language.h"

namespace {

using namespace instrument_clock;

TEST(ClockCalendar, MonthLengthsFollowTheGregorianRule) {
    const int cases[][3] = {{2013, 2, 28},  {2012, 2, 29}, {2000, 2, 29}, {2100, 2, 28},
                            {1900, 2, 28},  {2013, 4, 30}, {2013, 6, 30}, {2013, 9, 30},
                            {2013, 11, 30}, {2013, 1, 31}, {2013, 7, 31}, {2013, 12, 31}};
    for (const auto& c : cases) {
        EXPECT_EQ(DaysInMonth(c[0], c[1]), c[2]) << c[0] << "-" << c[1];
    }
}

TypedFields Typed(const char* year, const char* month, const char* day, const char* hour,
                  const char* minute) {
    return {ParseField(year), ParseField(month), ParseField(day), ParseField(hour),
            ParseField(minute)};
}

TEST(ClockChecks, TheDayCheckRunsFirstThenTheFieldsInThePagesOrder) {
    struct Case {
        TypedFields typed;
        std::optional<ClockField> field; // refused, with its bounds in the message
        int low = 0;
        int high = 0;
    };
    const Case cases[] = {
        {Typed("2014", "3", "7", "9", "5"), {}},
        {Typed("2012", "2", "29", "0", "0"), {}},
        {Typed("2013", "2", "29", "0", "0"), ClockField::Day, 1, 28},
        {Typed("2012", "2", "30", "0", "0"), ClockField::Day, 1, 29},
        // The day check takes the year as typed, before its bounds are checked.
        {Typed("2000", "2", "29", "0", "0"), ClockField::Year, 2006, 2037},
        {Typed("2100", "2", "29", "0", "0"), ClockField::Day, 1, 28},
        {Typed("1999", "11", "31", "99", "99"), ClockField::Day, 1, 30},
        {Typed("2020", "2", "", "0", "0"), ClockField::Day, 1, 31},
        {Typed("", "1", "1", "0", "0"), ClockField::Year, 2006, 2037},
        {Typed("2038", "1", "1", "0", "0"), ClockField::Year, 2006, 2037},
        {Typed("2020", "0", "1", "24", "60"), ClockField::Hour, 0, 23},
        {Typed("2020", "13", "31", "0", ""), ClockField::Minute, 0, 59},
        {Typed("2020", "0", "1", "0", "0"), ClockField::Month, 1, 12},
        {Typed("2020", "1", "1", "99999999999", "0"), ClockField::Hour, 0, 23},
        {Typed("2006", "1", "1", "0", "0"), {}},
        {Typed("2037", "12", "31", "23", "59"), {}},
    };
    for (const Case& c : cases) {
        const TypedFields& t = c.typed;
        SCOPED_TRACE(ClockCommand({t.year.value_or(-1), t.month.value_or(-1), t.day.value_or(-1),
                                   t.hour.value_or(-1), t.minute.value_or(-1)}));
        const FieldCheck check = CheckClockSetting(c.typed);
        if (c.field) {
            EXPECT_EQ(check.refusal, (FieldRefusal{*c.field, BoundsMessage(c.low, c.high)}));
        } else {
            EXPECT_EQ(check.refusal, std::nullopt);
            EXPECT_EQ(check.setting, (ClockSetting{*t.year, *t.month, *t.day, *t.hour, *t.minute}));
        }
    }
    EXPECT_EQ(BoundsMessage(1, 28), "Please enter an integer between 1 and 28.  ");
}

TEST(ClockChecks, JapaneseTextsTakeTheirValues) {
    UseTextLanguage(Language::Japanese);
    const std::string bounds = BoundsMessage(1, 28);
    const std::string set = MessageOf(ClockOutcome::ClockSet).text;
    UseTextLanguage(Language::English);
    EXPECT_EQ(bounds, "1から28までの整数を入力してください。  ");
    EXPECT_EQ(set, "時計を設定しました。  ");
    EXPECT_STREQ(MessageOf(ClockOutcome::ClockSet).text, "Clock set.  ");
}

TEST(ClockCommand, PlainNumbersWithoutLeadingZerosOfAnyLength) {
    EXPECT_EQ(ClockCommand({2014, 3, 7, 9, 5}), ":TIME 2014,3,7,9,5");
    EXPECT_EQ(ClockCommand({INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN}),
              ":TIME -2147483648,-2147483648,-2147483648,-2147483648,-2147483648");
}

// Runs a reaction on every event of the serial link, on the thread that uses the port, and keeps
// the command lines sent.
class ClockExchange : public ::testing::Test {
protected:
    void SetUp() override { CommSetTrace(&ClockExchange::Sink, this); }
    void TearDown() override {
        CommSetTrace(nullptr, nullptr);
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
    }
    static void Attach(int port, const std::string& path) {
        g_candidatePorts = {PortCandidate{"Prolific USB-to-Serial Comm Port", port, path}};
        g_instrumentPort = port;
        CommConfigure(kInstrumentBaud);
    }
    static void Sink(CommTraceEvent event, const std::uint8_t* data, std::size_t size, void* self) {
        auto& test = *static_cast<ClockExchange*>(self);
        const std::string text =
            data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : "";
        if (event == CommTraceEvent::Sent) {
            test.sent_.push_back(text);
        }
        if (test.react_) {
            test.react_(event, text);
        }
    }

    std::function<void(CommTraceEvent, const std::string&)> react_;
    std::vector<std::string> sent_;
};

// A late answer waiting when the port opens is dropped: the instrument's own answer decides.
TEST_F(ClockExchange, AnAnswerWaitingAtTheOpenIsNotTakenForTheAnswer) {
    PtyPeer peer;
    Attach(peer.Port(), peer.Path());
    int opens = 0;
    react_ = [&](CommTraceEvent event, const std::string& text) {
        if (event == CommTraceEvent::Opened && ++opens == 2) {
            peer.Write("OK\r\n");
            pollfd waiting{peer.SlaveFd(), POLLIN, 0};
            ASSERT_EQ(poll(&waiting, 1, 1000), 1);
        } else if (event == CommTraceEvent::Sent) {
            peer.Write(text == "QPID" ? "K720 BATTERY TARVELIN\r\n" : "NG\r\n");
        }
    };

    EXPECT_EQ(SetInstrumentClock({2014, 3, 7, 9, 5}), ClockOutcome::SettingFailed);
    EXPECT_EQ(sent_, (std::vector<std::string>{"QPID", "QPID", ":TIME 2014,3,7,9,5"}));
    EXPECT_EQ(CommClose(), 0);
}

TEST_F(ClockExchange, AStopBeforeTheCommandSendsNothing) {
    for (const bool stopFirst : {true, false}) {
        SCOPED_TRACE(stopFirst ? "stopped before"
                               : "stopped while the instrument answers the scan");
        measure_test::SimInstrument sim(sim::EmptyInstrument());
        Attach(sim.Port(), sim.Server().DevicePath());
        std::stop_source stop;
        if (stopFirst) {
            stop.request_stop();
        }
        sent_.clear();
        react_ = [&](CommTraceEvent event, const std::string&) {
            if (event == CommTraceEvent::Sent && sent_.size() == 2) {
                stop.request_stop();
            }
        };

        EXPECT_EQ(SetInstrumentClock({2014, 3, 7, 9, 5}, stop.get_token()), ClockOutcome::Stopped);
        EXPECT_EQ(sent_.size(), stopFirst ? 0u : 2u) << "nothing but the identity probes";
        EXPECT_EQ(CommClose(), 0);
    }
}

} // namespace
