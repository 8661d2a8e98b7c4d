// The program's version texts: the markers its files carry, and the version its pages name.
#pragma once

// The settings file's marker and the measurement and table files' version field.
inline constexpr const char* g_settingsMarker = "Ver1.03";
inline constexpr const char* g_csvVersion = "V1.03";

// "1.03": the version of this program (the project's), as the report page names it.
const char* ProgramVersion();
