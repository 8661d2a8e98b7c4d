#include "history/reading_columns.h"

#include <cstdio>

#include "measure/reading_record.h"
#include "measure/units.h"

namespace history {

const char* const kReadingColumns =
    "serial, unit, slot, date_text, time_text, day, resistance_range, resistance_text, "
    "resistance, voltage_range, voltage_text, voltage, limit1_text, limit1, limit2_text, limit2, "
    "voltage_limit_text, voltage_limit, temperature_text, temperature, temperature_unit, result, "
    "point";

const char* const kReadingKey =
    "serial, unit, slot, date_text, time_text, resistance_range, resistance_text, voltage_range, "
    "voltage_text, limit1_text, limit2_text, voltage_limit_text, temperature_text, "
    "temperature_unit, result";

const char* const kReadingLineColumns =
    "slot, resistance_range, resistance_text, limit1_text, limit2_text, voltage_range, "
    "voltage_text, voltage_limit_text, temperature_text, result, date_text, time_text";

namespace {

// Little-endian integers of 1 to 8 bytes.
template <typename Integer>
void Put(std::string& bytes, Integer value) {
    auto bits = static_cast<std::uint64_t>(static_cast<std::int64_t>(value));
    for (std::size_t i = 0; i < sizeof(Integer); ++i, bits >>= 8) {
        bytes += static_cast<char>(bits & 0xFF);
    }
}

template <typename Integer>
Integer Get(std::string_view& bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = sizeof(Integer); i-- > 0;) {
        bits = bits << 8 | static_cast<unsigned char>(bytes[i]);
    }
    bytes.remove_prefix(sizeof(Integer));
    return static_cast<Integer>(bits);
}

Value Number(const std::optional<report::Milli>& value) {
    return value ? Value(value->thousandths) : Value();
}

} // namespace

int UnitMaskOf(const report::MeasurementReport& file) {
    int mask = 0;
    for (const report::Summary& unit : file.units) {
        mask |= 1 << measure::UnitIndexOfLetter(unit.unit);
    }
    return mask;
}

std::string DayOf(const report::MeasurementTime& when) {
    if (!when.usable) {
        return "";
    }
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02d-%02d", when.year, when.month, when.day);
    return day;
}

const char* ResultName(report::Result result) {
    // The results are in the order of the instrument's result codes.
    return measure::ResultText(static_cast<int>(result));
}

Bytes PointBytesOf(const report::Point& p, bool fahrenheit) {
    Bytes point;
    point.bytes.reserve(kPointBytes);
    Put(point.bytes, p.stamp);
    for (const std::int32_t number :
         {p.resistance, p.voltage, p.limit1, p.limit2, p.voltageLimit, p.temperatureTenths}) {
        Put(point.bytes, number);
    }
    Put(point.bytes, p.slot);
    Put(point.bytes, static_cast<std::uint8_t>(p.result));
    Put(point.bytes, p.flags);
    Put(point.bytes, static_cast<std::uint8_t>(fahrenheit ? 1 : 0));
    return point;
}

bool PointOfBytes(std::string_view bytes, report::Point& p, bool& fahrenheit) {
    if (bytes.size() != kPointBytes) {
        return false;
    }
    p.stamp = Get<std::int64_t>(bytes);
    for (std::int32_t* number :
         {&p.resistance, &p.voltage, &p.limit1, &p.limit2, &p.voltageLimit, &p.temperatureTenths}) {
        *number = Get<std::int32_t>(bytes);
    }
    p.slot = Get<std::int16_t>(bytes);
    const auto result = Get<std::uint8_t>(bytes);
    p.flags = Get<std::uint8_t>(bytes);
    const auto unit = Get<std::uint8_t>(bytes);
    fahrenheit = unit == 1;
    p.result = static_cast<report::Result>(result);
    using report::Point;
    constexpr std::uint8_t kAllFlags = Point::kResistance | Point::kVoltage |
                                       Point::kVoltageUnderRange | Point::kTemperature |
                                       Point::kTemperatureOutOfRange | Point::kUsable;
    return result <= 3 && unit <= 1 && (p.flags & ~kAllFlags) == 0 && p.slot >= 1 &&
           p.slot <= measure::kSlotsPerUnit;
}

std::vector<Value> ReadingValues(const std::string& serial, int unit, bool fahrenheit,
                                 const report::Reading& r) {
    const std::string day = DayOf(r.when);
    return {serial,
            std::int64_t{unit},
            std::int64_t{r.slot},
            r.date,
            r.time,
            day.empty() ? Value() : Value(day),
            r.resistanceRange,
            r.resistanceText,
            Number(r.resistance),
            r.voltageRange,
            r.voltageText,
            Number(r.voltage),
            r.limit1Text,
            Number(r.limit1),
            r.limit2Text,
            Number(r.limit2),
            r.voltageLimitText,
            Number(r.voltageLimit),
            r.temperatureText,
            r.temperatureTenths ? Value(std::int64_t{*r.temperatureTenths}) : Value(),
            std::string(fahrenheit ? "F" : "C"),
            std::string(ResultName(r.result)),
            PointBytesOf(report::PointOf(r, 0), fahrenheit)};
}

std::optional<report::Reading> ReadingOfTexts(const std::vector<std::string>& texts,
                                              std::string* error) {
    std::string line;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        line += i > 0 ? "," : "";
        line += texts[i];
    }
    return report::ParseReadingLine(line, error);
}

std::optional<Bytes> PointBytesOfTexts(const std::vector<std::string>& texts, bool fahrenheit,
                                       std::string* error) {
    const std::optional<report::Reading> reading = ReadingOfTexts(texts, error);
    if (!reading) {
        return std::nullopt;
    }
    return PointBytesOf(report::PointOf(*reading, 0), fahrenheit);
}

SelectionClause ClauseOf(const Selection& s, const Placeholder& placeholder) {
    SelectionClause clause;
    const auto add = [&](const char* condition, Value value) {
        clause.where += clause.parameters.empty() ? " WHERE " : " AND ";
        clause.parameters.push_back(std::move(value));
        clause.where += condition;
        clause.where +=
            placeholder(static_cast<int>(clause.parameters.size()), clause.parameters.back());
    };
    if (s.serial) {
        add("serial = ", *s.serial);
    }
    if (s.unit) {
        add("unit = ", std::int64_t{*s.unit});
    }
    if (s.from) {
        add("day >= ", *s.from);
    }
    if (s.to) {
        add("day <= ", *s.to);
    }
    if (s.result) {
        add("result = ", std::string(ResultName(*s.result)));
    }
    return clause;
}

SelectionClause RowsClause(const std::vector<std::int64_t>& ids, const Placeholder& placeholder) {
    SelectionClause clause;
    for (const std::int64_t id : ids) {
        clause.where += clause.parameters.empty() ? " WHERE id IN (" : ", ";
        clause.parameters.emplace_back(id);
        clause.where +=
            placeholder(static_cast<int>(clause.parameters.size()), clause.parameters.back());
    }
    clause.where += clause.parameters.empty() ? " WHERE 0 = 1" : ")";
    return clause;
}

} // namespace history
