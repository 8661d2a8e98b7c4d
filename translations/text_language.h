// The language of the texts kept in Qt-free units, chosen once at start-up.
#pragma once

#include "base/language.h"

// Makes Translate() give the texts in this language.
void UseTextLanguage(Language language);

// The language last chosen with UseTextLanguage (English before the first call): what a picture
// with drawn words follows.
Language TextLanguage();
