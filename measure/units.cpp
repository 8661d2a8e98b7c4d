#include "measure/units.h"

#include <array>

namespace measure {

namespace {

constexpr std::array<const char*, kUnitCount> kDisplayLetters = {"A", "b", "C", "d", "E", "F",
                                                                 "G", "H", "J", "L", "n", "P"};
constexpr std::array<char, kUnitCount> kCommandLetters = {'A', 'B', 'C', 'D', 'E', 'F',
                                                          'G', 'H', 'J', 'L', 'N', 'P'};

constexpr char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

int UnitIndexOfCode(int code) {
    if (code == kAllUnitsCode) {
        return kAllUnits;
    }
    for (int index = 0; index < kUnitCount; ++index) {
        if (code == UnitCode(index)) {
            return index;
        }
    }
    return 0;
}

bool IsUnitCode(int code) {
    if (code == kAllUnitsCode) {
        return true;
    }
    for (int index = 0; index < kUnitCount; ++index) {
        if (code == UnitCode(index)) {
            return true;
        }
    }
    return false;
}

const char* UnitDisplayLetter(int index) {
    return index >= 0 && index < kUnitCount ? kDisplayLetters[static_cast<std::size_t>(index)] : "";
}

char UnitCommandLetter(int index) {
    return index >= 0 && index < kUnitCount ? kCommandLetters[static_cast<std::size_t>(index)]
                                            : '\0';
}

int UnitIndexOfLetter(char letter) {
    const char upper = Upper(letter);
    for (int index = 0; index < kUnitCount; ++index) {
        if (kCommandLetters[static_cast<std::size_t>(index)] == upper) {
            return index;
        }
    }
    return -1;
}

} // namespace measure
