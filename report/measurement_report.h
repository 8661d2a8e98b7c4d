// The summary of a measurement file as this program writes it: per unit and for the whole file,
// the counts of results, the spread of the resistance and the voltage, the temperature range and
// the measurement times, and the readings themselves for the report page's plots.
//
// Numbers are taken exactly from their decimal texts: every resistance and voltage is held as an
// integer count of thousandths (of a milliohm, of a volt), every temperature as tenths of a
// degree, so that comparisons and sums are exact; the minimum and maximum keep the file's own
// texts ("4.200", "-60.00"), which carry the instrument's resolution.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// A decimal text held exactly: the value is `thousandths` / 1000 (or `tenths` / 10 for a
// temperature, see Temperature below).
struct Milli {
    // The largest magnitude a reading takes: 9999 mohm in the "3" range.
    static constexpr std::int64_t kMaxMagnitude = 9'999'999;
    std::int64_t thousandths = 0;
    bool operator==(const Milli&) const = default;
    auto operator<=>(const Milli&) const = default;
};
// "1.5" for 1500, "-0.005" for -5, "12" for 12000: the shortest exact text.
std::string MilliText(Milli value);
// A plain decimal text ("-12.345", at most three decimals, at most kMaxMagnitude thousandths);
// nothing for any other text.
std::optional<Milli> ParseMilli(std::string_view text);

// In the order of the instrument's result codes 0 to 3.
enum class Result : std::uint8_t { None, Pass, Fail, Warning };

// A measurement time as the file writes it. The record has room for times no clock shows
// (month 13, day 0, hour 31, minute 63); the writer writes them as numbers and such a time is
// not usable for ordering.
struct MeasurementTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    bool usable = false; // a real date and time of day
    // Minutes since the year 0 (months of 31 days: only the order matters).
    std::int64_t Stamp() const;
    // The usable time whose Stamp() is `stamp`.
    static MeasurementTime OfStamp(std::int64_t stamp);
};

// One slot line of the file that holds a reading.
struct Reading {
    int slot = 0;
    std::string resistanceRange;     // "3m", "30m", "300m" or "3"
    std::optional<Milli> resistance; // none: over range ("--" or "9999")
    std::string voltageRange;        // "6V" or "60V"
    // None: over range ("--" or "9999") or under range (see voltageUnderRange).
    std::optional<Milli> voltage;
    // The instrument's under-range code, written "-10.000" in the 6V range and "-100.00" in the
    // 60V range, below any voltage either range measures.
    bool voltageUnderRange = false;
    // The measured texts as written, for the minimum and maximum.
    std::string resistanceText, voltageText, temperatureText;
    // The limits' texts as written ("10.00"; empty without a judgement).
    std::string limit1Text, limit2Text, voltageLimitText;
    // The comparator limits the reading was judged by; none without a judgement.
    std::optional<Milli> limit1, limit2, voltageLimit;
    // Tenths of a degree in the file's unit; none when the column is empty or out of range.
    std::optional<int> temperatureTenths;
    bool temperatureOutOfRange = false; // "9999" or "-9999"
    Result result = Result::None;
    std::string date; // "2014-3-5" as written
    std::string time; // "9:07" as written
    MeasurementTime when;
};

// A reading as a report counts and draws it: its numbers alone, in 48 bytes, so that a history of a
// million readings is counted at little cost. Its texts stay with the reading it came from, found
// by `source` for the few figures that show one (minimum, maximum, first and last).
struct Point {
    // The reading's place: its index in the file's readings, or its row in the history.
    std::int64_t source = 0;
    std::int64_t stamp = 0;                   // MeasurementTime::Stamp() of a usable time
    std::int32_t resistance = 0, voltage = 0; // thousandths, when there is one
    std::int32_t limit1 = 0, limit2 = 0, voltageLimit = 0; // thousandths, when judged
    std::int32_t temperatureTenths = 0;                    // when there is one
    std::int16_t slot = 0;
    Result result = Result::None;
    std::uint8_t flags = 0; // the k... bits below

    static constexpr std::uint8_t kResistance = 1, kVoltage = 2, kVoltageUnderRange = 4,
                                  kTemperature = 8, kTemperatureOutOfRange = 16, kUsable = 32;
    bool Has(std::uint8_t flag) const { return (flags & flag) != 0; }
    std::optional<Milli> Resistance() const;
    std::optional<Milli> Voltage() const;
    // The measurement time; a time that is not usable keeps only `usable` false.
    MeasurementTime When() const;
};

// The point of `reading`, found again by `source`.
Point PointOf(const Reading& reading, std::int64_t source);

__extension__ typedef __int128 Wide; // GCC's, as every build of this program uses

struct Spread {
    int count = 0;                        // numeric values
    int overRange = 0;                    // "--" or "9999", not in the figures
    int underRange = 0;                   // the voltage's under-range code, not in the figures
    Milli minimum, maximum;               // meaningful when count > 0
    std::string minimumText, maximumText; // as written in the file
    std::int64_t minimumSource = 0, maximumSource = 0; // the points they came from
    // Exact sums of the values in thousandths and of their squares: the squares of a history's
    // million readings of up to kMaxMagnitude pass 64 bits, 128 hold them.
    std::int64_t sum = 0;
    Wide sumOfSquares = 0;
    // The mean and the sample standard deviation (n - 1), in units (mohm, V); none without values
    // (mean) or below two values (deviation).
    std::optional<double> Mean() const;
    std::optional<double> StandardDeviation() const;
};

struct TemperatureRange {
    int count = 0;
    int outOfRange = 0;                       // "9999" or "-9999"
    int minimumTenths = 0, maximumTenths = 0; // meaningful when count > 0
    std::string minimumText, maximumText;     // as written in the file
    std::int64_t minimumSource = 0, maximumSource = 0;
};

// The comparator limits shared by every judged reading of a unit.
struct SharedLimits {
    Milli limit1, limit2, voltageLimit;
};

struct Summary {
    char unit = 0; // 'A'..'P' as in the file's "UNIT X" line; 0 for the whole file
    int readings = 0;
    int emptySlots = 0;
    int pass = 0, fail = 0, warning = 0, unjudged = 0;
    Spread resistance;
    Spread voltage;
    TemperatureRange temperature;
    // First and last measurement among the readings with a usable time: the file's texts
    // ("2014-3-5 9:07"; empty without such readings) and their times.
    std::string first, last;
    MeasurementTime firstTime, lastTime;
    std::int64_t firstSource = 0, lastSource = 0;
    // Readings whose time is not usable: in the figures, never first or last.
    int unusableTimes = 0;
    // The limits when every judged reading of the unit shares one set (none otherwise, or
    // without judged readings). Not kept for the whole file.
    std::optional<SharedLimits> limits;
    // The readings in slot order (units only; empty for the whole file).
    std::vector<Point> points;
};

struct MeasurementReport {
    std::string file; // as named on the command line
    std::string model, serial, date, version;
    bool fahrenheit = false;
    std::vector<Summary> units; // in file order
    Summary total;
    // A file's readings in file order, which its points' sources index; empty over a history.
    std::vector<Reading> readings;
    // The file ends inside a unit, or before its first unit (a cancelled or failed reading):
    // reported as far as it goes. A reading cut between two units leaves a file that ends with
    // the closing lines of a unit and cannot be told from a whole one.
    bool cut = false;
    // What was cut, when cut: in English for scripts (the JSON), and in the user's language for
    // the text and the page.
    std::string cutNote;
    std::string shownCutNote;
};

struct ReportError {
    int line = 0;        // 0: the file as a whole
    std::string message; // in the user's language
};

// A report or what is wrong with the text.
struct ParsedReport {
    std::optional<MeasurementReport> report;
    ReportError error;
    bool Ok() const { return report.has_value(); }
};

// The points of one unit, in the order they are counted.
struct UnitPoints {
    char unit = 0; // 'A'..'P'
    std::vector<Point> points;
    int emptySlots = 0;
};

// Counts points grouped by unit into `report`'s units (in the order given) and total, as a
// measurement file's readings are counted: results, spreads, temperatures, shared limits, first
// and last. Of two equal values the first counted is the minimum or maximum. The header fields
// are left as they are; the texts of the figures are filled by FillFigureTexts.
void CountReadings(MeasurementReport& report, std::vector<UnitPoints> units);

// The sources of the readings whose texts the counted figures show.
std::vector<std::int64_t> SourcesOfFigureTexts(const MeasurementReport& report);

// Fills the texts of the counted figures from the readings `readingOf` finds by source (every
// source SourcesOfFigureTexts names; a source it does not find leaves its texts empty).
void FillFigureTexts(MeasurementReport& report,
                     const std::function<const Reading*(std::int64_t source)>& readingOf);

// Reads the bytes of a measurement file: lines end with CR LF, LF or CR alone, and a UTF-8
// byte-order mark before the first line is skipped (both what a spreadsheet's save may leave).
// `fileName` is only written into the report.
ParsedReport ParseMeasurementFile(std::string_view bytes, const std::string& fileName);

// One slot line that holds a reading ("1,30m,1.01,10.00,...,2026-1-1,0:01", twelve columns),
// read exactly as ParseMeasurementFile reads it: the reading, or what is wrong in the user's
// language (an empty slot is wrong here).
std::optional<Reading> ParseReadingLine(std::string_view line, std::string* error);

// The share of `part` in `whole` as a percentage text with one decimal ("33.3 %"); "-" for 0 of
// 0.
std::string ShareText(int part, int whole);

} // namespace report
