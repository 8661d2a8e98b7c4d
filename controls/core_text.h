// The texts of the Qt-free units as the window shows them, in the language in use.
#pragma once

#include <string>

#include <QString>

#include "base/texts.h"

// A constant text of a Qt-free unit (English, marked with K720_TEXT), translated. A text that a
// core function has already translated comes back unchanged.
inline QString CoreText(const char* text) {
    return QString::fromUtf8(Translate(kMessages, text));
}

// A text that a core function built in the language in use.
inline QString CoreText(const std::string& text) {
    return QString::fromUtf8(text);
}
