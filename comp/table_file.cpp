#include "comp/table_file.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "base/local_time.h"
#include "base/texts.h"
#include "base/version.h"
#include "files/replacement_file.h"

std::string g_compTableText;

namespace comp {

namespace {

constexpr std::string_view kModelLine = "Model,K720 BATTERY TARVELIN";
constexpr std::string_view kFileLineStart = "File,COMPARATOR TABLE";
constexpr std::string_view kColumnHeader =
    "No,Name,R-Range,R-Lim1[mohm],R-Lim2[mohm],V-Range,V-Lim[volt]";
constexpr std::string_view kBuiltDateLine = "UpDate,2006-01-01";
constexpr std::string_view kBuiltFileLine = "File,COMPARATOR TABLE,V1.00";

constexpr const char* kFormatFault1 =
    K720_TEXT("Messages", "Incorrect file format. (1) \nPlease select the correct file.  ");
constexpr const char* kFormatFault2 =
    K720_TEXT("Messages", "Incorrect file format. (2) \nPlease select the correct file.  ");
constexpr const char* kNumberFault = K720_TEXT("Messages", "File corrupted.\nCan not open. (1)  ");
constexpr const char* kNameFault = K720_TEXT("Messages", "File corrupted.\nCan not open. (2)  ");

enum Field { kNo, kName, kRRange, kRLim1, kRLim2, kVRange, kVLim, kFieldCount };

constexpr std::array<const char*, kFieldCount> kFieldNames = {
    "No", "Name", "R-Range", "R-Lim1", "R-Lim2", "V-Range", "V-Lim"};

// "File corrupted.  \nCan not open. \n\n( No.7, R-Lim1 )"; the field keeps the file's name.
std::string FieldFault(int entry, Field field) {
    return FillText(kMessages,
                    K720_TEXT("Messages", "File corrupted.  \nCan not open. \n\n( No.%1, %2 )"),
                    {std::to_string(entry), kFieldNames[field]});
}

// Why a row cannot be written: it would not load back as it stands.
std::string RowFault(int entry, Field field) {
    if (field == kName) {
        return FillText(kMessages,
                        K720_TEXT("Messages", "Can not write the table.  \nThe Name of No.%1 has "
                                              "more than 40 bytes, a comma or a line break. "),
                        {std::to_string(entry)});
    }
    return FillText(
        kMessages,
        K720_TEXT("Messages",
                  "Can not write the table.  \nThe %1 of No.%2 is not a value of the table. "),
        {kFieldNames[field], std::to_string(entry)});
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

constexpr const char* kNotAFile =
    K720_TEXT("Messages", "It is a folder, a named pipe or a device, not a file.");
constexpr const char* kTooLarge =
    K720_TEXT("Messages", "It is larger than a comparator table file can be.");

// "Can not open "<path>".  " and, on the next line, why.
std::string CannotOpenMessage(const std::string& path, const std::string& reason) {
    return FillText(kMessages, K720_TEXT("Messages", "Can not open \"%1\".  \n%2"),
                    {files::PathInMessage(path), reason});
}

// The lines of a text, each ending at CR LF (the last one may end at the text's end).
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}

    std::optional<std::string_view> Next() {
        if (done_) {
            return std::nullopt;
        }
        const std::size_t end = rest_.find(kTableLineEnd);
        if (end == std::string_view::npos) {
            done_ = true;
            if (rest_.empty()) {
                return std::nullopt;
            }
            return rest_;
        }
        const std::string_view line = rest_.substr(0, end);
        rest_.remove_prefix(end + 2);
        return line;
    }

private:
    std::string_view rest_;
    bool done_ = false;
};

// The seven fields of an entry line: the first six each end at the next comma, the seventh takes
// the rest of the line. A field the line does not reach is missing.
std::array<std::optional<std::string_view>, kFieldCount> SplitEntry(std::string_view line) {
    std::array<std::optional<std::string_view>, kFieldCount> fields;
    for (int field = 0; field < kFieldCount - 1; ++field) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            fields[static_cast<std::size_t>(field)] = line;
            return fields;
        }
        fields[static_cast<std::size_t>(field)] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    fields[kVLim] = line;
    return fields;
}

// An entry number as the C library's integer reading takes it: blanks, a sign, digits up to the
// first other character; 0 without digits. Saturates instead of overflowing.
long long ReadEntryNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < 1'000'000'000) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return negative ? -value : value;
}

// A limit field into its row's canonical text; empty when the field is missing or its value lies
// outside the range.
std::optional<std::string> CanonicalLimit(const std::optional<std::string_view>& field,
                                          const RangeSpec& range) {
    if (!field) {
        return std::nullopt;
    }
    const std::optional<int> count = CountWithinRange(ReadLeadingDecimal(*field), range);
    if (!count) {
        return std::nullopt;
    }
    return FormatLimit(*count, range.decimals);
}

// Why entry `entry`'s line is refused, or nothing when `row` has taken all its fields.
std::optional<std::string> ParseEntry(int entry, std::optional<std::string_view> line,
                                      CompRow& row) {
    const auto fields = SplitEntry(line.value_or(std::string_view{}));
    if (ReadEntryNumber(fields[kNo].value_or(std::string_view{})) != entry) {
        return Translate(kMessages, kNumberFault);
    }
    if (!fields[kName] || fields[kName]->size() > kNameMaxBytes) {
        return Translate(kMessages, kNameFault);
    }
    row.name = std::string(*fields[kName]);

    const std::optional<int> rCode =
        fields[kRRange] ? ResistanceCodeOfFileText(*fields[kRRange]) : std::nullopt;
    if (!rCode) {
        return FieldFault(entry, kRRange);
    }
    const RangeSpec& rRange = ResistanceRange(*rCode);
    row.rRange = std::string(rRange.tableText);
    for (const Field field : {kRLim1, kRLim2}) {
        std::optional<std::string> limit = CanonicalLimit(fields[field], rRange);
        if (!limit) {
            return FieldFault(entry, field);
        }
        (field == kRLim1 ? row.rLim1 : row.rLim2) = std::move(*limit);
    }

    const std::optional<int> vCode =
        fields[kVRange] ? VoltageCodeOfFileText(*fields[kVRange]) : std::nullopt;
    if (!vCode) {
        return FieldFault(entry, kVRange);
    }
    const RangeSpec& vRange = VoltageRange(*vCode);
    row.vRange = std::string(vRange.tableText);
    std::optional<std::string> vLim = CanonicalLimit(fields[kVLim], vRange);
    if (!vLim) {
        return FieldFault(entry, kVLim);
    }
    row.vLim = std::move(*vLim);
    return std::nullopt;
}

// The table's lines after the header: one per entry, then the two empty lines.
std::string TableBody(const CompTable& rows) {
    std::string text;
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        text += EntryLine(entry, rows[static_cast<std::size_t>(entry - 1)]);
        text += kTableLineEnd;
    }
    text += kTableLineEnd;
    text += kTableLineEnd;
    return text;
}

std::string HeaderLines(std::string_view dateLine, std::string_view fileLine) {
    std::string text;
    for (const std::string_view line :
         {kModelLine, dateLine, fileLine, std::string_view{}, kColumnHeader}) {
        text += line;
        text += kTableLineEnd;
    }
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::string BuiltTableHeader() {
    return HeaderLines(kBuiltDateLine, kBuiltFileLine);
}

TableOutcome LoadTableFile(const std::string& path, std::string& text) {
    std::error_code statusError;
    const std::filesystem::file_status status = std::filesystem::status(path, statusError);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // Opening a named pipe or a device could block or never end.
        return {CannotOpenMessage(path, Translate(kMessages, kNotAFile))};
    }
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return {CannotOpenMessage(path, SystemReason(errno != 0 ? errno : ENOENT))};
    }
    std::string loaded;
    std::string line;
    int lines = 0;
    std::array<char, 16384> chunk{};
    while (lines < kMaxTableFileLines) {
        const std::size_t count = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (count == 0) {
            break;
        }
        for (std::size_t i = 0; i < count && lines < kMaxTableFileLines; ++i) {
            if (chunk[i] != '\n') {
                line.push_back(chunk[i]);
                if (loaded.size() + line.size() > kMaxTableFileBytes) {
                    return {CannotOpenMessage(path, Translate(kMessages, kTooLarge))};
                }
                continue;
            }
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            loaded += line;
            loaded += kTableLineEnd;
            line.clear();
            ++lines;
        }
    }
    if (std::ferror(file.get()) != 0) {
        const std::string reason = SystemReason(errno != 0 ? errno : EIO);
        return {FillText(kMessages, K720_TEXT("Messages", "Can not read \"%1\".  \n%2"),
                         {files::PathInMessage(path), reason})};
    }
    if (lines < kMaxTableFileLines && !line.empty()) {
        loaded += line; // the last line, without a line end
        loaded += kTableLineEnd;
    }
    text = std::move(loaded);
    return {};
}

TableOutcome LoadTableFile(const std::string& path) {
    return LoadTableFile(path, g_compTableText);
}

ParsedTable ParseTableText(std::string_view text) {
    ParsedTable parsed;
    if (!text.starts_with(kModelLine)) {
        parsed.message = Translate(kMessages, kFormatFault1);
        return parsed;
    }
    LineReader lines(text);
    (void)lines.Next(); // line 1: examined above through the text's start
    (void)lines.Next(); // line 2: the date, never examined
    const std::optional<std::string_view> fileLine = lines.Next();
    if (!fileLine || !fileLine->starts_with(kFileLineStart)) {
        parsed.message = Translate(kMessages, kFormatFault2);
        return parsed;
    }
    (void)lines.Next(); // line 4: empty
    (void)lines.Next(); // line 5: the column header
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        if (std::optional<std::string> fault =
                ParseEntry(entry, lines.Next(), parsed.rows[static_cast<std::size_t>(entry - 1)])) {
            parsed.message = std::move(*fault);
            return parsed;
        }
    }
    return parsed;
}

ParsedTable ParseTableText() {
    return ParseTableText(g_compTableText);
}

std::string EntryLine(int number, const CompRow& row) {
    std::string line = std::to_string(number);
    for (const std::string* text :
         {&row.name, &row.rRange, &row.rLim1, &row.rLim2, &row.vRange, &row.vLim}) {
        line += ',';
        line += *text;
    }
    return line;
}

TableDate TodayLocal() {
    const LocalTime now = LocalTimeNow();
    return {now.year, now.month, now.day};
}

TableOutcome CheckTableForWriting(const CompTable& rows) {
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        const CompRow& row = rows[static_cast<std::size_t>(entry - 1)];
        if (!NameSurvivesFile(row.name)) {
            return {RowFault(entry, kName)};
        }
        const RangeSpec& rRange = ResistanceRange(ResistanceCodeOf(row.rRange));
        if (rRange.tableText != row.rRange) {
            return {RowFault(entry, kRRange)};
        }
        const RangeSpec& vRange = VoltageRange(VoltageCodeOf(row.vRange));
        if (vRange.tableText != row.vRange) {
            return {RowFault(entry, kVRange)};
        }
        const std::pair<const std::string*, Field> limits[] = {
            {&row.rLim1, kRLim1}, {&row.rLim2, kRLim2}, {&row.vLim, kVLim}};
        for (const auto& [text, field] : limits) {
            const RangeSpec& range = field == kVLim ? vRange : rRange;
            const std::optional<int> count = CountOfCanonicalLimit(*text, range);
            if (!count || *count > range.upperCount) {
                return {RowFault(entry, field)};
            }
        }
    }
    return {};
}

TableOutcome BuildTableText(const CompTable& rows, std::string& text) {
    if (TableOutcome check = CheckTableForWriting(rows); !check.Ok()) {
        return check;
    }
    text = HeaderLines(kBuiltDateLine, kBuiltFileLine) + TableBody(rows);
    return {};
}

TableOutcome BuildTableText(const CompTable& rows) {
    return BuildTableText(rows, g_compTableText);
}

TableOutcome WriteTableFile(const std::string& path, const CompTable& rows) {
    return WriteTableFile(path, rows, TodayLocal());
}

TableOutcome WriteTableFile(const std::string& path, const CompTable& rows, const TableDate& date) {
    if (TableOutcome check = CheckTableForWriting(rows); !check.Ok()) {
        return check;
    }
    if (files::KindOfDestination(path) == files::DestinationKind::Other) {
        return {files::CannotSaveMessage(path, Translate(kMessages, kNotAFile))};
    }
    const std::string dateLine = "UpDate," + std::to_string(date.year) + '-' +
                                 std::to_string(date.month) + '-' + std::to_string(date.day);
    const std::string fileLine = std::string(kFileLineStart) + ',' + g_csvVersion;
    const std::string bytes = HeaderLines(dateLine, fileLine) + TableBody(rows);
    files::ReplacementFile file;
    if (!file.Create(path) || !file.Append(bytes.data(), bytes.size()) || !file.Commit()) {
        return {files::CannotSaveMessage(path, file.Error() != 0 ? file.Error() : EIO)};
    }
    return {};
}

} // namespace comp
