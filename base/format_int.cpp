#include "base/format_int.h"

#include <cstdlib>

std::string FormatInt(int spaceFill, int width, int value) {
    // The magnitude in a wider type, so that the most negative int has one too.
    long long magnitude = std::llabs(static_cast<long long>(value));
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        digits.insert(digits.begin(), '-');
    }
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), spaceFill ? ' ' : '0');
    }
    return digits;
}
