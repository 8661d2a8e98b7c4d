#include "report/measurement_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/texts.h"
#include "measure/measurement_csv.h"
#include "measure/reading_record.h"
#include "measure/units.h"

namespace report {

namespace {

constexpr std::string_view kModelLine = "Model,";
constexpr std::string_view kSerialLine = "Serial,";
constexpr std::string_view kDateLine = "Date,";
constexpr std::string_view kUnitLine = "UNIT ";
constexpr int kColumns = 12;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines of the file, each without its line end; the last one may lack it. The writer ends
// lines with CR LF; a file without any LF ends them with CR alone (a spreadsheet's save). In a
// file with LFs a CR elsewhere than before an LF belongs to its line, as the serial number may
// hold one.
class Lines {
public:
    explicit Lines(std::string_view bytes)
        : rest_(bytes.starts_with(kByteOrderMark) ? bytes.substr(kByteOrderMark.size()) : bytes),
          end_(rest_.find('\n') == std::string_view::npos ? '\r' : '\n') {}
    int Number() const { return number_; }
    // The next line; false at the end of the file.
    bool Next(std::string_view& line) {
        if (rest_.empty()) {
            return false;
        }
        const std::size_t end = rest_.find(end_);
        line = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : rest_.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++number_;
        return true;
    }

private:
    std::string_view rest_;
    char end_;
    int number_ = 0;
};

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

bool ParseInt(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// A measured column: a number, or "--" / "9999" for a reading over range (nothing).
bool ParseMeasured(std::string_view text, std::optional<Milli>& value) {
    if (text == "--" || text == "9999") {
        value.reset();
        return true;
    }
    value = ParseMilli(text);
    return value.has_value();
}

// The lowest voltage each range measures: -6.000 V in "6V" (code 0), -60.00 V in "60V". Below
// it lies only the under-range code, written -10.000 and -100.00.
Milli LowestVoltage(std::string_view range) {
    return Milli{range == "6V" ? -6'000 : -60'000};
}

// A limit column: empty without a judgement, else a number.
bool ParseLimit(std::string_view text, bool judged, std::optional<Milli>& value) {
    if (!judged) {
        value.reset();
        return text.empty();
    }
    value = ParseMilli(text);
    return value.has_value();
}

bool ParseTemperature(std::string_view text, Reading& reading) {
    if (text.empty()) {
        return true;
    }
    if (text == "9999" || text == "-9999") {
        reading.temperatureOutOfRange = true;
        return true;
    }
    const std::optional<Milli> value = ParseMilli(text);
    if (!value || value->thousandths % 100 != 0) {
        return false; // one decimal at most
    }
    reading.temperatureTenths = static_cast<int>(value->thousandths / 100);
    return true;
}

// The Result column as the file writes it: the texts of the result codes 0 to 3.
bool ParseResult(std::string_view text, Result& result) {
    for (int code = 0; code <= 3; ++code) {
        if (text == measure::ResultText(code)) {
            result = static_cast<Result>(code);
            return true;
        }
    }
    return false;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "Y-M-D" and "H:MM" with every field the record can carry (month up to 15, day and hour up to
// 31, minute up to 63); the time is usable when it is a real date and time of day.
bool ParseTime(std::string_view date, std::string_view time, MeasurementTime& when) {
    const std::size_t dash1 = date.find('-');
    const std::size_t dash2 = date.find('-', dash1 == std::string_view::npos ? 0 : dash1 + 1);
    const std::size_t colon = time.find(':');
    MeasurementTime t;
    if (dash1 == std::string_view::npos || dash2 == std::string_view::npos ||
        colon == std::string_view::npos || !ParseInt(date.substr(0, dash1), t.year) ||
        !ParseInt(date.substr(dash1 + 1, dash2 - dash1 - 1), t.month) ||
        !ParseInt(date.substr(dash2 + 1), t.day) || !ParseInt(time.substr(0, colon), t.hour) ||
        !ParseInt(time.substr(colon + 1), t.minute) || t.year < 0 || t.month < 0 || t.month > 15 ||
        t.day < 0 || t.day > 31 || t.hour < 0 || t.hour > 31 || t.minute < 0 || t.minute > 63) {
        return false;
    }
    t.usable = t.month >= 1 && t.month <= 12 && t.day >= 1 &&
               t.day <= DaysInMonth(t.year, t.month) && t.hour <= 23 && t.minute <= 59;
    when = t;
    return true;
}

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> choices) {
    for (const std::string_view choice : choices) {
        if (text == choice) {
            return true;
        }
    }
    return false;
}

// A slot line's columns after "No": a reading, or eleven empty columns for an empty slot.
// Returns the message of what is wrong, or "" (with `empty` set for an empty slot).
std::string ParseSlot(const std::vector<std::string_view>& f, Reading& reading, bool& empty) {
    empty = true;
    for (std::size_t i = 1; i < f.size(); ++i) {
        empty = empty && f[i].empty();
    }
    if (empty) {
        return "";
    }
    if (!IsOneOf(f[1], {"3m", "30m", "300m", "3"})) {
        return Translate(
            kMessages,
            K720_TEXT("Messages", "the resistance range is not one of 3m, 30m, 300m, 3"));
    }
    reading.resistanceRange = std::string(f[1]);
    if (!ParseMeasured(f[2], reading.resistance)) {
        return Translate(kMessages, K720_TEXT("Messages", "the resistance is not a number"));
    }
    reading.resistanceText = std::string(f[2]);
    if (!ParseResult(f[9], reading.result)) {
        return Translate(kMessages,
                         K720_TEXT("Messages", "the result is not PASS, FAIL, WARNING or empty"));
    }
    const bool judged = reading.result != Result::None;
    if (!ParseLimit(f[3], judged, reading.limit1) || !ParseLimit(f[4], judged, reading.limit2)) {
        return Translate(kMessages,
                         K720_TEXT("Messages", "a resistance limit does not fit the result"));
    }
    reading.limit1Text = std::string(f[3]);
    reading.limit2Text = std::string(f[4]);
    if (!IsOneOf(f[5], {"6V", "60V"})) {
        return Translate(kMessages, K720_TEXT("Messages", "the voltage range is not 6V or 60V"));
    }
    reading.voltageRange = std::string(f[5]);
    if (!ParseMeasured(f[6], reading.voltage)) {
        return Translate(kMessages, K720_TEXT("Messages", "the voltage is not a number"));
    }
    if (reading.voltage && *reading.voltage < LowestVoltage(reading.voltageRange)) {
        reading.voltage.reset();
        reading.voltageUnderRange = true;
    }
    reading.voltageText = std::string(f[6]);
    if (!ParseLimit(f[7], judged, reading.voltageLimit)) {
        return Translate(kMessages,
                         K720_TEXT("Messages", "the voltage limit does not fit the result"));
    }
    reading.voltageLimitText = std::string(f[7]);
    if (!ParseTemperature(f[8], reading)) {
        return Translate(kMessages, K720_TEXT("Messages", "the temperature is not a number"));
    }
    reading.temperatureText = std::string(f[8]);
    if (!ParseTime(f[10], f[11], reading.when)) {
        return Translate(kMessages,
                         K720_TEXT("Messages", "the date or the time is not a measurement time"));
    }
    reading.date = std::string(f[10]);
    reading.time = std::string(f[11]);
    return "";
}

void AddTo(Spread& spread, const std::optional<Milli>& value, std::int64_t source,
           bool underRange = false) {
    if (underRange) {
        ++spread.underRange;
        return;
    }
    if (!value) {
        ++spread.overRange;
        return;
    }
    if (spread.count == 0 || *value < spread.minimum) {
        spread.minimum = *value;
        spread.minimumSource = source;
    }
    if (spread.count == 0 || spread.maximum < *value) {
        spread.maximum = *value;
        spread.maximumSource = source;
    }
    ++spread.count;
    spread.sum += value->thousandths;
    spread.sumOfSquares += static_cast<Wide>(value->thousandths) * value->thousandths;
}

// Counts a point into a summary: results, spreads, temperature and the first and last time.
void Count(Summary& summary, const Point& point) {
    ++summary.readings;
    switch (point.result) {
    case Result::Pass:
        ++summary.pass;
        break;
    case Result::Fail:
        ++summary.fail;
        break;
    case Result::Warning:
        ++summary.warning;
        break;
    case Result::None:
        ++summary.unjudged;
        break;
    }
    AddTo(summary.resistance, point.Resistance(), point.source);
    AddTo(summary.voltage, point.Voltage(), point.source, point.Has(Point::kVoltageUnderRange));
    TemperatureRange& t = summary.temperature;
    if (point.Has(Point::kTemperatureOutOfRange)) {
        ++t.outOfRange;
    } else if (point.Has(Point::kTemperature)) {
        const int tenths = point.temperatureTenths;
        if (t.count == 0 || tenths < t.minimumTenths) {
            t.minimumTenths = tenths;
            t.minimumSource = point.source;
        }
        if (t.count == 0 || tenths > t.maximumTenths) {
            t.maximumTenths = tenths;
            t.maximumSource = point.source;
        }
        ++t.count;
    }
    if (!point.Has(Point::kUsable)) {
        ++summary.unusableTimes;
        return;
    }
    // The earliest and the latest usable time; of equal times the first counted.
    const bool timed = summary.firstTime.usable;
    if (!timed || point.stamp < summary.firstTime.Stamp()) {
        summary.firstTime = point.When();
        summary.firstSource = point.source;
    }
    if (!timed || point.stamp > summary.lastTime.Stamp()) {
        summary.lastTime = point.When();
        summary.lastSource = point.source;
    }
}

// The limits when every judged point of the unit shares one set.
std::optional<SharedLimits> SharedLimitsOf(const std::vector<Point>& points) {
    std::optional<SharedLimits> shared;
    for (const Point& p : points) {
        if (p.result == Result::None) {
            continue;
        }
        const SharedLimits these{Milli{p.limit1}, Milli{p.limit2}, Milli{p.voltageLimit}};
        if (!shared) {
            shared = these;
        } else if (!(shared->limit1 == these.limit1 && shared->limit2 == these.limit2 &&
                     shared->voltageLimit == these.voltageLimit)) {
            return std::nullopt;
        }
    }
    return shared;
}

// Reads the header lines; "" or what is wrong.
std::string ParseHeader(Lines& lines, MeasurementReport& report) {
    std::string_view line;
    if (!lines.Next(line) || !line.starts_with(kModelLine)) {
        return Translate(
            kMessages,
            K720_TEXT("Messages", "not a measurement file: it does not begin with \"Model,\""));
    }
    report.model = std::string(line.substr(kModelLine.size()));
    if (!lines.Next(line) || !line.starts_with(kSerialLine)) {
        return Translate(
            kMessages,
            K720_TEXT("Messages", "not a measurement file: the \"Serial,\" line is missing"));
    }
    report.serial = std::string(line.substr(kSerialLine.size()));
    if (!lines.Next(line) || !line.starts_with(kDateLine)) {
        return Translate(
            kMessages,
            K720_TEXT("Messages", "not a measurement file: the \"Date,\" line is missing"));
    }
    const std::vector<std::string_view> date = Split(line);
    if (date.size() != 4) {
        return Translate(
            kMessages,
            K720_TEXT("Messages",
                      "not a measurement file: the date line is not \"Date,Y-M-D,,VERSION\""));
    }
    report.date = std::string(date[1]);
    report.version = std::string(date[3]);
    return "";
}

} // namespace

MeasurementTime MeasurementTime::OfStamp(std::int64_t stamp) {
    MeasurementTime when;
    when.minute = static_cast<int>(stamp % 60);
    when.hour = static_cast<int>(stamp / 60 % 24);
    when.day = static_cast<int>(stamp / (60 * 24) % 31) + 1;
    when.month = static_cast<int>(stamp / (60 * 24 * 31) % 12) + 1;
    when.year = static_cast<int>(stamp / (60 * 24 * 31 * 12));
    when.usable = true;
    return when;
}

std::int64_t MeasurementTime::Stamp() const {
    return (((static_cast<std::int64_t>(year) * 12 + month - 1) * 31 + day - 1) * 24 + hour) * 60 +
           minute;
}

std::optional<Milli> ParseMilli(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() || fraction.size() > 3 ||
        (point != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const std::string_view digits : {whole, fraction}) {
        for (const char c : digits) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
            if (value > Milli::kMaxMagnitude) {
                return std::nullopt;
            }
        }
    }
    for (std::size_t i = fraction.size(); i < 3; ++i) {
        value *= 10;
    }
    if (value > Milli::kMaxMagnitude) {
        return std::nullopt;
    }
    return Milli{negative ? -value : value};
}

std::string MilliText(Milli value) {
    const std::int64_t magnitude = value.thousandths < 0 ? -value.thousandths : value.thousandths;
    std::string text = std::to_string(magnitude / 1000);
    std::int64_t fraction = magnitude % 1000;
    if (fraction != 0) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%03lld", static_cast<long long>(fraction));
        std::string decimals = digits;
        while (decimals.back() == '0') {
            decimals.pop_back();
        }
        text += '.' + decimals;
    }
    return value.thousandths < 0 ? '-' + text : text;
}

std::optional<double> Spread::Mean() const {
    if (count == 0) {
        return std::nullopt;
    }
    return static_cast<double>(sum) / count / 1000.0;
}

std::optional<double> Spread::StandardDeviation() const {
    if (count < 2) {
        return std::nullopt;
    }
    // n * sum(x^2) - (sum x)^2 in long double: the sums are exact integers, the difference is
    // never negative in exact arithmetic.
    const long double n = count;
    const long double spreadTimesN = n * static_cast<long double>(sumOfSquares) -
                                     static_cast<long double>(sum) * static_cast<long double>(sum);
    const long double variance = std::max<long double>(0, spreadTimesN) / (n * (n - 1));
    return static_cast<double>(std::sqrt(variance) / 1000.0L);
}

std::string ShareText(int part, int whole) {
    if (whole == 0) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.1f %%", 100.0 * part / whole);
    return text;
}

std::optional<Reading> ParseReadingLine(std::string_view line, std::string* error) {
    const std::vector<std::string_view> fields = Split(line);
    Reading reading;
    bool empty = false;
    if (fields.size() != kColumns || !ParseInt(fields[0], reading.slot)) {
        *error =
            FillText(kMessages, K720_TEXT("Messages", "not a slot line of 12 columns numbered %1"),
                     {fields[0]});
        return std::nullopt;
    }
    if (std::string wrong = ParseSlot(fields, reading, empty); !wrong.empty() || empty) {
        *error = empty ? Translate(kMessages, K720_TEXT("Messages", "an empty slot")) : wrong;
        return std::nullopt;
    }
    return reading;
}

std::optional<Milli> Point::Resistance() const {
    return Has(kResistance) ? std::optional<Milli>(Milli{resistance}) : std::nullopt;
}

std::optional<Milli> Point::Voltage() const {
    return Has(kVoltage) ? std::optional<Milli>(Milli{voltage}) : std::nullopt;
}

MeasurementTime Point::When() const {
    return Has(kUsable) ? MeasurementTime::OfStamp(stamp) : MeasurementTime();
}

Point PointOf(const Reading& reading, std::int64_t source) {
    Point point;
    point.source = source;
    point.slot = static_cast<std::int16_t>(reading.slot);
    point.result = reading.result;
    // Every magnitude is at most Milli::kMaxMagnitude, well inside 32 bits.
    const auto set = [&point](const std::optional<Milli>& value, std::int32_t& to,
                              std::uint8_t flag) {
        if (value) {
            to = static_cast<std::int32_t>(value->thousandths);
            point.flags |= flag;
        }
    };
    set(reading.resistance, point.resistance, Point::kResistance);
    set(reading.voltage, point.voltage, Point::kVoltage);
    set(reading.limit1, point.limit1, 0);
    set(reading.limit2, point.limit2, 0);
    set(reading.voltageLimit, point.voltageLimit, 0);
    if (reading.voltageUnderRange) {
        point.flags |= Point::kVoltageUnderRange;
    }
    if (reading.temperatureTenths) {
        point.temperatureTenths = *reading.temperatureTenths;
        point.flags |= Point::kTemperature;
    }
    if (reading.temperatureOutOfRange) {
        point.flags |= Point::kTemperatureOutOfRange;
    }
    if (reading.when.usable) {
        point.stamp = reading.when.Stamp();
        point.flags |= Point::kUsable;
    }
    return point;
}

void CountReadings(MeasurementReport& report, std::vector<UnitPoints> units) {
    report.units.clear();
    report.units.reserve(units.size());
    report.total = Summary();
    for (UnitPoints& unitPoints : units) {
        Summary& unit = report.units.emplace_back();
        unit.unit = unitPoints.unit;
        unit.emptySlots = unitPoints.emptySlots;
        report.total.emptySlots += unitPoints.emptySlots;
        for (const Point& point : unitPoints.points) {
            Count(unit, point);
            Count(report.total, point);
        }
        unit.points = std::move(unitPoints.points);
        unit.limits = SharedLimitsOf(unit.points);
    }
}

std::vector<std::int64_t> SourcesOfFigureTexts(const MeasurementReport& report) {
    std::vector<std::int64_t> sources;
    const auto add = [&sources](const Summary& s) {
        for (const Spread* spread : {&s.resistance, &s.voltage}) {
            if (spread->count > 0) {
                sources.insert(sources.end(), {spread->minimumSource, spread->maximumSource});
            }
        }
        if (s.temperature.count > 0) {
            sources.insert(sources.end(),
                           {s.temperature.minimumSource, s.temperature.maximumSource});
        }
        if (s.firstTime.usable) {
            sources.insert(sources.end(), {s.firstSource, s.lastSource});
        }
    };
    for (const Summary& unit : report.units) {
        add(unit);
    }
    add(report.total);
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    return sources;
}

void FillFigureTexts(MeasurementReport& report,
                     const std::function<const Reading*(std::int64_t source)>& readingOf) {
    const auto text = [&readingOf](std::int64_t source, std::string Reading::*member) {
        const Reading* reading = readingOf(source);
        return reading != nullptr ? reading->*member : std::string();
    };
    const auto fill = [&](Summary& s) {
        for (Spread* spread : {&s.resistance, &s.voltage}) {
            if (spread->count > 0) {
                const auto member =
                    spread == &s.resistance ? &Reading::resistanceText : &Reading::voltageText;
                spread->minimumText = text(spread->minimumSource, member);
                spread->maximumText = text(spread->maximumSource, member);
            }
        }
        if (s.temperature.count > 0) {
            s.temperature.minimumText =
                text(s.temperature.minimumSource, &Reading::temperatureText);
            s.temperature.maximumText =
                text(s.temperature.maximumSource, &Reading::temperatureText);
        }
        if (s.firstTime.usable) {
            s.first =
                text(s.firstSource, &Reading::date) + ' ' + text(s.firstSource, &Reading::time);
            s.last = text(s.lastSource, &Reading::date) + ' ' + text(s.lastSource, &Reading::time);
        }
    };
    for (Summary& unit : report.units) {
        fill(unit);
    }
    fill(report.total);
}

ParsedReport ParseMeasurementFile(std::string_view bytes, const std::string& fileName) {
    MeasurementReport report;
    report.file = fileName;
    Lines lines(bytes);
    const auto fail = [&lines](std::string message, bool atLine = true) {
        return ParsedReport{std::nullopt, {atLine ? lines.Number() : 0, std::move(message)}};
    };
    if (std::string wrong = ParseHeader(lines, report); !wrong.empty()) {
        return fail(std::move(wrong), lines.Number() > 1);
    }

    std::string_view line;
    std::string seenUnits;
    std::vector<UnitPoints> units;
    UnitPoints* unit = nullptr;
    int lastSlot = 0;
    bool unitClosed = true; // the two empty lines after a unit's last reading
    int emptyLinesInRow = 0;
    bool fahrenheitKnown = false;
    while (lines.Next(line)) {
        if (line.empty()) {
            ++emptyLinesInRow;
            if (unit != nullptr && emptyLinesInRow == 2) {
                unitClosed = true;
            }
            continue;
        }
        emptyLinesInRow = 0;
        if (line.starts_with(kUnitLine)) {
            const std::string_view letter = line.substr(kUnitLine.size());
            if (letter.size() != 1 ||
                measure::UnitCommandLetter(measure::UnitIndexOfLetter(letter[0])) != letter[0]) {
                return fail(FillText(kMessages,
                                     K720_TEXT("Messages", "\"%1\" names no memory unit"), {line}));
            }
            if (seenUnits.find(letter[0]) != std::string::npos) {
                return fail(
                    FillText(kMessages, K720_TEXT("Messages", "unit %1 appears twice"), {letter}));
            }
            if (unit != nullptr && !unitClosed) {
                return fail(Translate(
                    kMessages,
                    K720_TEXT("Messages", "the unit before ends without its two empty lines")));
            }
            seenUnits += letter[0];
            unit = &units.emplace_back();
            unit->unit = letter[0];
            lastSlot = 0;
            unitClosed = false;
            // An empty line and the column header follow.
            if (!lines.Next(line) || !line.empty()) {
                return fail(Translate(
                    kMessages,
                    K720_TEXT("Messages", "the empty line after the unit heading is missing")));
            }
            const std::string celsius = measure::CsvColumnHeader(measure::TemperatureUnit::Celsius);
            const std::string fahrenheitColumns =
                measure::CsvColumnHeader(measure::TemperatureUnit::Fahrenheit);
            if (!lines.Next(line) || (line != celsius && line != fahrenheitColumns)) {
                return fail(Translate(
                    kMessages, K720_TEXT("Messages", "the column header is missing or unknown")));
            }
            const bool fahrenheit = line == fahrenheitColumns;
            if (fahrenheitKnown && fahrenheit != report.fahrenheit) {
                return fail(Translate(
                    kMessages,
                    K720_TEXT("Messages", "the temperature unit changes within the file")));
            }
            report.fahrenheit = fahrenheit;
            fahrenheitKnown = true;
            continue;
        }
        if (unit == nullptr || unitClosed) {
            return fail(Translate(kMessages, K720_TEXT("Messages", "a line outside a unit")));
        }
        const std::vector<std::string_view> fields = Split(line);
        int slot = 0;
        if (fields.size() != kColumns || !ParseInt(fields[0], slot) || slot != lastSlot + 1 ||
            slot > measure::kSlotsPerUnit) {
            return fail(FillText(kMessages,
                                 K720_TEXT("Messages", "not a slot line of 12 columns numbered %1"),
                                 {std::to_string(lastSlot + 1)}));
        }
        lastSlot = slot;
        Reading reading;
        reading.slot = slot;
        bool empty = false;
        if (std::string wrong = ParseSlot(fields, reading, empty); !wrong.empty()) {
            return fail(std::move(wrong));
        }
        if (empty) {
            ++unit->emptySlots;
            continue;
        }
        unit->points.push_back(PointOf(reading, static_cast<std::int64_t>(report.readings.size())));
        report.readings.push_back(std::move(reading));
    }
    // A reading that was cancelled or failed leaves its last unit without the two empty lines
    // that close a unit.
    if (unit != nullptr && !unitClosed) {
        report.cut = true;
        report.cutNote = "The file ends inside UNIT " + std::string(1, unit->unit) +
                         " after slot " + std::to_string(lastSlot) +
                         ": the reading was cut short; the slots up to there are reported.";
        report.shownCutNote = FillText(
            kMessages,
            K720_TEXT("Messages", "The file ends inside UNIT %1 after slot %2: the reading "
                                  "was cut short; the slots up to there are reported."),
            {std::string(1, unit->unit), std::to_string(lastSlot)});
    } else if (unit == nullptr) {
        // A reading writes its first unit with its first record: a file without a unit is
        // what a reading cut before that leaves.
        report.cut = true;
        report.cutNote = "The file holds no unit: the reading was cut short before its first "
                         "record arrived.";
        report.shownCutNote =
            Translate(kMessages, K720_TEXT("Messages", "The file holds no unit: "
                                                       "the reading was cut short "
                                                       "before its first record "
                                                       "arrived."));
    }
    CountReadings(report, std::move(units));
    FillFigureTexts(report, [&report](std::int64_t source) {
        return &report.readings[static_cast<std::size_t>(source)];
    });
    return {std::move(report), {}};
}

} // namespace report
