// The user's own folders as the system names them, for the settings file's place and the default
// data folder. Each is empty when the system names none.
#pragma once

#include <filesystem>

// $HOME; %USERPROFILE% on Windows.
std::filesystem::path HomeFolder();

// Where programs keep the user's configuration: $XDG_CONFIG_HOME when it is absolute, else
// ~/.config; %APPDATA% on Windows.
std::filesystem::path UserConfigFolder();
