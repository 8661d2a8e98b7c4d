// The demo instrument's memory: what a bench might hold after a few days of testing.
#include <ctime>

#include "sim/instrument.h"

namespace sim {

namespace {

// Small deterministic generator, so the demo data are the same on every run.
class Dice {
public:
    int Between(int low, int high) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        const auto span = static_cast<unsigned long long>(high - low + 1);
        return low + static_cast<int>((state_ >> 33) % span);
    }

private:
    unsigned long long state_ = 0x4B373230ULL;
};

enum Result { kNone = 0, kPass = 1, kFail = 2, kWarning = 3 };

struct Limits {
    int limit1;
    int limit2;
    int voltageLimit;
};

int Judge(int resistance, int voltageCount, const Limits& limits) {
    if (resistance > limits.limit2 || voltageCount < limits.voltageLimit) {
        return kFail;
    }
    return resistance > limits.limit1 ? kWarning : kPass;
}

// Minute-by-minute time stamps from a starting point.
struct Stamp {
    int year, month, day, hour, minute;
    void Apply(ReadingCodes& codes) const {
        codes.year = year;
        codes.month = month;
        codes.day = day;
        codes.hour = hour;
        codes.minute = minute;
    }
    void Advance(int minutes) {
        minute += minutes;
        hour += minute / 60;
        minute %= 60;
        if (hour >= 18) { // the bench closes at six; go on next morning
            hour = 8;
            ++day;
        }
    }
};

ReadingCodes Measured(const Stamp& stamp, int rRange, int resistance, int vRange, int voltageCount,
                      int tenthsCelsius, const Limits& limits, bool judged) {
    ReadingCodes codes;
    stamp.Apply(codes);
    codes.resistanceRange = rRange;
    codes.resistance = resistance;
    codes.voltageRange = vRange;
    codes.voltage = voltageCount + 6000;
    codes.temperature = tenthsCelsius + 100;
    if (judged) {
        codes.result = Judge(resistance, voltageCount, limits);
        codes.limit1 = limits.limit1;
        codes.limit2 = limits.limit2;
        codes.voltageLimit = limits.voltageLimit;
    }
    return codes;
}

// Unit A: 18650 Li-ion cells, 30 mohm range, 6 V range; a few gaps where readings were deleted.
void FillLithiumCells(MemoryUnit& unit, Dice& dice) {
    const Limits limits{2500, 2800, 3700};
    Stamp stamp{2026, 11, 30, 8, 0};
    for (int slot = 1; slot <= 140; ++slot) {
        stamp.Advance(1);
        if (slot % 17 == 0 || (slot >= 60 && slot <= 64)) {
            continue;
        }
        const int resistance = dice.Between(1800, 2990);
        const int voltage = slot % 23 == 0 ? dice.Between(3400, 3690) : dice.Between(3600, 4200);
        const int temperature = dice.Between(220, 265);
        unit.Store(slot, EncodeReading(Measured(stamp, 1, resistance, 0, voltage, temperature,
                                                limits, slot > 5)));
    }
}

// Unit C: 12 V lead-acid blocks, 30 mohm range, 60 V range; two readings without a probe.
void FillLeadAcidBlocks(MemoryUnit& unit, Dice& dice) {
    const Limits limits{500, 600, 1200};
    Stamp stamp{2026, 12, 1, 14, 0};
    for (int slot = 1; slot <= 48; ++slot) {
        stamp.Advance(3);
        if (slot == 10 || slot == 11 || slot == 25) {
            continue;
        }
        ReadingCodes codes = Measured(stamp, 1, dice.Between(350, 650), 1, dice.Between(1180, 1310),
                                      dice.Between(180, 240), limits, true);
        if (slot == 30 || slot == 31) {
            codes.temperature = 1023; // no temperature probe attached
        }
        unit.Store(slot, EncodeReading(codes));
    }
}

// Unit d: a handful of odd readings: out-of-range and over-range codes, a reversed cell, frost.
void FillOddReadings(MemoryUnit& unit) {
    const Limits limits{1000, 1200, 3000};
    const Stamp stamp{2025, 1, 9, 7, 5};
    ReadingCodes overRange = Measured(stamp, 0, 0, 0, 3650, 215, limits, true);
    overRange.resistance = 4092;
    overRange.result = kFail;
    unit.Store(3, EncodeReading(overRange));

    ReadingCodes openProbe = Measured(stamp, 3, 0, 1, 0, 215, limits, false);
    openProbe.resistance = 4094;
    openProbe.voltage = 16382;
    unit.Store(7, EncodeReading(openProbe));

    ReadingCodes reversed = Measured(stamp, 2, 523, 0, -5, 0, limits, true);
    reversed.temperature = 1021;
    unit.Store(150, EncodeReading(reversed));

    unit.Store(151, EncodeReading(Measured(stamp, 2, 874, 0, 1283, -50, limits, true)));
}

// Unit P: a full unit, 400 packs of 6 Ni-MH cells, 300 mohm range, 60 V range.
void FillFullUnit(MemoryUnit& unit, Dice& dice) {
    const Limits limits{700, 750, 750};
    Stamp stamp{2026, 12, 2, 8, 0};
    for (int slot = 1; slot <= kSlotsPerUnit; ++slot) {
        stamp.Advance(1);
        unit.Store(slot, EncodeReading(Measured(stamp, 2, dice.Between(450, 790), 1,
                                                dice.Between(720, 840), dice.Between(200, 300),
                                                limits, true)));
    }
}

ClockSetting LocalClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

} // namespace

EntryRecord PackEntryCodes(int rRange, int limit1, int limit2, int vRange, int voltageLimit) {
    return {static_cast<std::uint8_t>(rRange * 64 + (limit1 >> 6)),
            static_cast<std::uint8_t>((limit1 & 0x3F) * 4 + (limit2 >> 10)),
            static_cast<std::uint8_t>((limit2 >> 2) & 0xFF),
            static_cast<std::uint8_t>((limit2 & 3) * 64 + vRange * 32 + (voltageLimit >> 8)),
            static_cast<std::uint8_t>(voltageLimit & 0xFF)};
}

InstrumentState EmptyInstrument() {
    InstrumentState state;
    state.clock = LocalClock();
    return state;
}

InstrumentState FullInstrument() {
    InstrumentState state = EmptyInstrument();
    Dice dice;
    for (MemoryUnit& unit : state.units) {
        FillFullUnit(unit, dice);
    }
    return state;
}

InstrumentState DemoInstrument() {
    InstrumentState state = EmptyInstrument();
    Dice dice;
    FillLithiumCells(state.units[0], dice);
    FillLeadAcidBlocks(state.units[2], dice);
    FillOddReadings(state.units[3]);
    FillFullUnit(state.units[11], dice);
    state.comparatorTable[0] = PackEntryCodes(1, 2500, 2800, 0, 3700);
    state.comparatorTable[1] = PackEntryCodes(1, 500, 600, 1, 1200);
    state.comparatorTable[2] = PackEntryCodes(2, 700, 750, 1, 750);
    state.comparatorTable[3] = PackEntryCodes(3, 3100, 3100, 1, 6000);
    return state;
}

} // namespace sim
