// The twelve memory units of the instrument: their index (0 to 11, the bit order of the unit data
// mask and of the memory check reply), their selected unit code (2 to the power of the index,
// 4096 for all units), the letter the instrument's display and the unit buttons show
// (A b C d E F G H J L n P) and the letter the commands and the measurement file use
// (A B C D E F G H J L N P).
#pragma once

namespace measure {

inline constexpr int kUnitCount = 12;
inline constexpr int kSlotsPerUnit = 400;
// The selected unit code of "ALL UNITs".
inline constexpr int kAllUnitsCode = 4096;
// UnitIndexOfCode's answer for kAllUnitsCode.
inline constexpr int kAllUnits = -1;
// The bits of the unit data mask that stand for units.
inline constexpr int kUnitMaskBits = (1 << kUnitCount) - 1;

// The selected unit code of unit `index` (0 to 11): 1, 2, 4, ..., 2048.
constexpr int UnitCode(int index) {
    return 1 << index;
}

// The unit index of a selected unit code: 1 -> 0, 2 -> 1, ..., 2048 -> 11,
// 4096 -> kAllUnits; any other value counts as unit 0.
int UnitIndexOfCode(int code);

// True for the thirteen codes a unit selection page can hand on (1, 2, 4, ..., 2048, 4096).
bool IsUnitCode(int code);

// The caption of unit `index` on the instrument's display and on the unit buttons: "A", "b", "C",
// "d", "E", "F", "G", "H", "J", "L", "n", "P". "" for an index outside 0 to 11.
const char* UnitDisplayLetter(int index);

// The letter of unit `index` in commands (":MEM:UNIT? C", ":MEM:CLEAR N") and in the measurement
// file ("UNIT N"): 'A' to 'P' without I, K, M, O. '\0' for an index outside 0 to 11.
char UnitCommandLetter(int index);

// The unit named by `letter`, either form and either case ('b', 'B', 'n', 'N' ...); -1 when the
// letter names no unit.
int UnitIndexOfLetter(char letter);

// True when bit `index` of the unit data mask is set.
constexpr bool UnitHoldsData(int unitDataMask, int index) {
    return index >= 0 && index < kUnitCount && ((unitDataMask >> index) & 1) != 0;
}

} // namespace measure
