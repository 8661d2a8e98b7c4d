// The settings file "K720.ini": what the program remembers from one run to the next (the main
// window's rectangle, the instrument port, the last folders and file names), its bytes, and
// where it lives.
//
// Byte layout, integers little-endian:
//   marker "Ver1.03" (a string), the rectangle as four int32 (left, top, right, bottom), the
//   instrument port as int32, then the strings measurement folder, measurement file name,
//   comparator table path, comparator table file name, comparator table folder.
// A string is a length prefix and its bytes, no terminator: one byte for lengths below 255;
// 0xFF and a uint16 up to 0xFFFD; 0xFF, the uint16 0xFFFF and a uint32 beyond that.
// Strings are kept as bytes in the system's code page; nothing is converted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "instrument/discovery.h"

inline constexpr const char* kSettingsFileName = "K720.ini";
inline constexpr const char* kDefaultMeasurementFileName = "DataK720";

struct SettingsRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    bool operator==(const SettingsRect&) const = default;
};

struct Settings {
    SettingsRect rect; // the main window's outer rectangle in screen pixels
    std::int32_t instrumentPort = NO_INSTRUMENT_PORT;
    std::string measurementFolder;
    std::string measurementFileName; // without ".csv"
    std::string compTablePath;
    std::string compTableFileName;
    std::string compTableFolder;
    bool operator==(const Settings&) const = default;
};

// The values of a first run. The rectangle stays zero: without a file the window keeps its
// own position (moved by the window's owner).
Settings DefaultSettings(const std::string& dataFolder);

std::vector<std::uint8_t> EncodeSettings(const Settings& settings);

// std::nullopt for bytes that are empty, carry another marker, or end before the last field.
std::optional<Settings> DecodeSettings(std::span<const std::uint8_t> bytes);

// std::nullopt when the file is missing, unreadable or not a valid settings file.
std::optional<Settings> ReadSettingsFile(const std::string& path);

// Writes the file under a temporary name beside `path` and renames it into place, creating a
// missing folder first, so that a failure leaves the previous file as it was. False on failure.
[[nodiscard]] bool WriteSettingsFile(const std::string& path, const Settings& settings);

// Where the settings file lives: beside the program when its folder is writable, else in the
// user's configuration folder ($XDG_CONFIG_HOME, or ~/.config; %APPDATA% on Windows), in the
// subfolder "k720".
std::string SettingsFilePath(const std::string& programDir);

// The settings file to read at start: the one where the program saves (SettingsFilePath) when it
// exists, else the one in the other place when that exists (a file an administrator put beside a
// program in a read-only folder, or one saved in the user's folder while the program's folder was
// not writable), else SettingsFilePath.
std::string SettingsFileToLoad(const std::string& programDir);

// The default folder for data files: the program's folder when writable, else the user's
// documents folder, or the home folder when there is none.
std::string DefaultDataFolder(const std::string& programDir);
