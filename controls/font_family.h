// The family of every window's font, once per system: the Windows dialog font "MS Sans Serif"
// where the system has it, else the system's own dialog font (font_family_win32.cpp); elsewhere
// DejaVu Sans where installed, else the platform's default sans-serif family
// (font_family_posix.cpp). Never one that the user's language chooses.
#pragma once

#include <QString>

// Needs a QGuiApplication.
QString DialogFontFamily();
