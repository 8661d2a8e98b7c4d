// Decimal text of a signed integer, right-aligned in a field, used by every number the program
// writes into a file or shows in a list.
#pragma once

#include <string>

// The decimal text of `value`, padded on the left to `width` characters with blanks (spaceFill
// non-zero) or '0's (spaceFill zero). The '-' stays directly before the digits, so zero-filling
// -5 to width 4 gives "00-5". A text longer than `width` is kept whole.
std::string FormatInt(int spaceFill, int width, int value);
