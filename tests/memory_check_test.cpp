// The memory check against the simulated instrument.
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "instrument/discovery.h"
#include "measure/memory_check.h"
#include "sim/reading_encoder.h"
#include "tests/support/measure_support.h"

namespace {

using measure::CheckMemory;
using measure::MemoryCheckStatus;
using measure_test::SimInstrument;
using namespace std::chrono_literals;

sim::InstrumentState WithData(std::initializer_list<int> units) {
    sim::InstrumentState state = sim::EmptyInstrument();
    for (int unit : units) {
        state.units[static_cast<std::size_t>(unit)].Store(5, EncodeReading(ReadingCodes{}));
    }
    return state;
}

// The instrument is the only candidate port, as discovery would list it.
class MemoryCheck : public ::testing::Test {
protected:
    void Attach(SimInstrument& sim) {
        g_candidatePorts = {PortCandidate{"Prolific USB-to-Serial Comm Port (COMx)", sim.Port(),
                                          sim.Server().DevicePath()}};
        g_instrumentPort = sim.Port();
    }
    void TearDown() override {
        g_candidatePorts.clear();
        g_instrumentPort = NO_INSTRUMENT_PORT;
        g_unitDataMask = 0;
    }
};

TEST_F(MemoryCheck, WorkedExampleUnitsADAndP) {
    SimInstrument sim(WithData({0, 3, 11}));
    Attach(sim);
    g_unitDataMask = 0x0F0; // cleared by the check
    const auto outcome = CheckMemory();
    EXPECT_EQ(outcome.status, MemoryCheckStatus::Checked);
    EXPECT_EQ(outcome.unitDataMask, 0x809);
    EXPECT_EQ(g_unitDataMask, 0x809);
    EXPECT_EQ(sim.SettledCommands(), (std::vector<std::string>{"QPID", "QPID", ":MEM:CHECK?"}));
    EXPECT_EQ(CommClose(), 0); // the port is closed again
    EXPECT_STREQ(measure::MemoryCheckMessage(outcome.status), "");
}

TEST_F(MemoryCheck, RepliesToMasks) {
    struct Case {
        std::string reply;
        int mask;
    };
    const Case cases[] = {
        {"000000000000", 0},
        {"111111111111", 0xFFF},
        {"100100000001", 0x809},
        {"1 1a12x1!1\xB0"
         "1",
         0x1 | 0x4 | 0x10 | 0x80 | 0x200 | 0x800},
        {"101", 0x5}, // missing positions hold no data
        {"", 0},
        {"0000000000001111", 0}, // cut after twelve flags
        {"1111111111111111111111111", 0xFFF},
    };
    for (const Case& c : cases) {
        sim::Faults faults;
        faults.wrongReplies.push_back({":MEM:CHECK?", c.reply + "\r\n"});
        SimInstrument sim(sim::EmptyInstrument(), faults);
        Attach(sim);
        const auto outcome = CheckMemory();
        EXPECT_EQ(outcome.status, MemoryCheckStatus::Checked) << c.reply;
        EXPECT_EQ(outcome.unitDataMask, c.mask) << c.reply;
        EXPECT_EQ(g_unitDataMask, c.mask) << c.reply;
        EXPECT_EQ(measure::UnitDataMaskOfReply(c.reply), c.mask) << c.reply;
    }
}

TEST_F(MemoryCheck, NoInstrumentLeavesTheMask) {
    g_unitDataMask = 0x123;
    g_candidatePorts.clear();
    const auto outcome = CheckMemory();
    EXPECT_EQ(outcome.status, MemoryCheckStatus::NoInstrument);
    EXPECT_EQ(g_unitDataMask, 0x123);
    EXPECT_STREQ(measure::MemoryCheckMessage(outcome.status),
                 "Communication Error. \nIs the USB cable connected?  ");

    // An instrument that does not answer the identity probe is no instrument either.
    sim::Faults faults;
    faults.wrongReplies.push_back({"QPID", "XYZ\r\n"});
    SimInstrument sim(WithData({0}), faults);
    Attach(sim);
    EXPECT_EQ(CheckMemory().status, MemoryCheckStatus::NoInstrument);
    EXPECT_EQ(g_unitDataMask, 0x123);
}

TEST_F(MemoryCheck, NoReplyInTimeIsNoResponse) {
    sim::Faults faults;
    faults.silentFromCommand = 3; // the two identity probes are answered, the check is not
    SimInstrument sim(WithData({0}), faults);
    Attach(sim);
    g_unitDataMask = 0x456;
    const auto before = std::chrono::steady_clock::now();
    const auto outcome = CheckMemory();
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_EQ(outcome.status, MemoryCheckStatus::NoResponse);
    EXPECT_GE(took, 1s);
    EXPECT_LE(took, 2500ms);
    EXPECT_EQ(g_unitDataMask, 0x456);
    EXPECT_EQ(CommClose(), 0);
    EXPECT_STREQ(measure::MemoryCheckMessage(outcome.status),
                 "Communication Error.  \nNo response. ");
}

TEST_F(MemoryCheck, ReplyThatCannotBeReadIsNoResponse) {
    sim::Faults faults;
    faults.hangUpAtCommand = 3; // the device disappears at ":MEM:CHECK?"
    SimInstrument sim(WithData({0}), faults);
    Attach(sim);
    g_unitDataMask = 0x789;
    EXPECT_EQ(CheckMemory().status, MemoryCheckStatus::NoResponse);
    EXPECT_EQ(g_unitDataMask, 0x789);
    EXPECT_EQ(CommClose(), 0);
}

} // namespace
