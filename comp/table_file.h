// The comparator table CSV file and the table text that carries a table from step to step.
//
// The file: "Model,K720 BATTERY TARVELIN", "UpDate,Y-M-D" (the day of saving), "File,COMPARATOR
// TABLE,V1.03", an empty line, the column header, one line per entry from 1 to 200, and two empty
// lines; fields separated by single commas without quoting, every line ended by CR LF, the Names
// as raw code page 932 bytes on every platform.
//
// The table text (g_compTableText) has the same lines, with the fixed header lines
// "UpDate,2006-01-01" and "File,COMPARATOR TABLE,V1.00" when the program builds it. Loading a
// file, receiving a table and building one before a transfer each replace it whole; the editor's
// parse and the transmission read it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "comp/comp_table.h"

// The table text of the step in progress; empty at start.
extern std::string g_compTableText;

namespace comp {

inline constexpr const char* kTableLineEnd = "\r\n";
// Reading a file stops after this many lines: a table file has 207.
inline constexpr int kMaxTableFileLines = 251;
// A table file is about 8 KB: one that holds more than this before its last line taken is
// refused, rather than read into memory whole, however large it is.
inline constexpr std::size_t kMaxTableFileBytes = 64 * 1024;

// The five header lines of a table text the program builds, each with its CR LF: what the
// reception starts its text with.
std::string BuiltTableHeader();

// The outcome of loading, building or writing a table: empty on success, else what the user is
// told in the language in use ("\n" breaks the line).
struct [[nodiscard]] TableOutcome {
    std::string message;
    bool Ok() const { return message.empty(); }
};

// Reads up to 251 lines of the file at `path` into `text`, each line (ended by LF, a CR before
// the LF dropped with it) followed by CR LF. Nothing of the content is checked. On failure (the
// file cannot be opened or read, or is a folder, a named pipe or a device) `text` is left as it
// was and the message names the file and the system's reason.
TableOutcome LoadTableFile(const std::string& path, std::string& text);
// The same into g_compTableText.
TableOutcome LoadTableFile(const std::string& path);

// The result of a parse: the 200 rows, or the message of the first fault. Rows after the fault
// keep their defaults.
struct [[nodiscard]] ParsedTable {
    CompTable rows;
    std::string message;
    bool Ok() const { return message.empty(); }
};

// Checks a table text line by line (the model line, the file line, then entries 1 to 200, field
// by field) and gives its rows with canonical limit texts, or the message of the first fault. A
// field missing from an entry line (fewer than seven) gives that field's message.
ParsedTable ParseTableText(std::string_view text);
// The same on g_compTableText.
ParsedTable ParseTableText();

// The line of entry `number` without its CR LF: "1,No Name,3m,0.000,0.000,6V,0.000".
std::string EntryLine(int number, const CompRow& row);

// The date written on the file's "UpDate," line.
struct TableDate {
    int year = 0;
    int month = 0;
    int day = 0;
};
// The PC's local date now.
TableDate TodayLocal();

// Checks that every row loads back unchanged from a file: a Name that survives the file
// (NameSurvivesFile), range texts of the table, and canonical limits within their range's
// bounds. The message names the first row that does not.
TableOutcome CheckTableForWriting(const CompTable& rows);

// Replaces `text` with the table in the built layout, ending with the two empty lines. Refuses
// (leaving `text` as it was) a table that CheckTableForWriting refuses.
TableOutcome BuildTableText(const CompTable& rows, std::string& text);
// The same into g_compTableText.
TableOutcome BuildTableText(const CompTable& rows);

// Writes the table as a file at `path`, dated `date` (the PC's local date by default), in place
// of whatever was there only once it is written whole: on failure the old file stays as it was.
// Refuses a table that CheckTableForWriting refuses, and a folder, named pipe or device at
// `path`, before anything is written.
TableOutcome WriteTableFile(const std::string& path, const CompTable& rows);
TableOutcome WriteTableFile(const std::string& path, const CompTable& rows, const TableDate& date);

} // namespace comp
