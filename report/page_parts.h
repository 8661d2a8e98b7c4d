// What the companion's printable pages share (the report page and the build sheet of packs):
// escaping, locale-free numbers, dates, the A4 style, the heading's facts and the sign-off block.
// Every page is one self-contained HTML5 document without script.
#pragma once

#include <string>
#include <string_view>

#include "base/local_time.h"

namespace report::html {

// "m&#937;": milliohms as the pages write them.
inline constexpr const char* kOhm = "m&#937;";

// The style of every page: A4 with 12 mm margins, headings, tables, facts, figures and their SVG
// frame, grid and texts, and the sign-off block that only paper shows.
extern const char* const kPageStyle;

// Text for a page: the five characters with a meaning in HTML become references; control
// characters other than tab and line feed (which HTML does not allow) and bytes that are not
// UTF-8 become the replacement character.
std::string Escape(std::string_view text);

// `value` with `decimals` decimals, independent of the locale; "-0.0" is written "0.0".
std::string Fixed(double value, int decimals);

// "2026-12-02": dates on a page are zero-padded.
std::string PaddedDate(int year, int month, int day);

// "2026-12-02 08:01".
std::string PaddedDateTime(int year, int month, int day, int hour, int minute);
std::string PaddedDateTime(const LocalTime& time);

// A text of a page in the user's language (the catalogue's texts hold no HTML markup).
std::string Shown(const char* text);

// "Resistance [m&#937;]": the title of a resistance axis or column.
std::string ResistanceTitle();

// The language of the page's texts as HTML names it ("en", "ja"), so that a browser picks the
// fonts and the line breaking of that language.
std::string Language();

// A fact of the heading: its name (a catalogue text) in bold, then its value (HTML text).
std::string Fact(const char* name, const std::string& value);

// On paper, room to sign the record.
std::string SignOffHtml();

} // namespace report::html
