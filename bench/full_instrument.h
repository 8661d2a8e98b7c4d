// A measurement file of a full instrument as the reception writes it: all twelve units with 400
// readings each (4,800 readings, every result, over-range texts among them). Files of different
// `variant`s hold different readings: their measurement days differ.
#pragma once

#include <string>

#include "measure/measurement_csv.h"
#include "sim/reading_encoder.h"

namespace bench {

inline std::string FullInstrumentFile(int variant) {
    measure::CsvFileInfo info{"123456789", {2014, 3, 10}, measure::TemperatureUnit::Celsius};
    std::string file = measure::CsvHeaderText(info);
    for (int unit = 0; unit < measure::kUnitCount; ++unit) {
        file += measure::CsvUnitHeadingText(unit, info.temperatureUnit);
        for (int slot = 1; slot <= measure::kSlotsPerUnit; ++slot) {
            ReadingCodes c;
            c.year = 2014 + variant / (12 * 28);
            c.month = 1 + variant / 28 % 12;
            c.day = 1 + (variant + unit) % 28;
            c.hour = slot / 60 % 24;
            c.minute = slot % 60;
            c.resistanceRange = slot % 3;
            c.resistance = slot % 97 == 0 ? 4092 : 200 + (slot * 37 + unit * 11) % 1800;
            c.voltage = 6000 + 3000 + (slot * 53) % 900;
            c.temperature = 100 + 200 + slot % 80;
            c.result = slot % 4;
            c.limit1 = 1000;
            c.limit2 = 1500;
            c.voltageLimit = 3200;
            file += std::to_string(slot) +
                    measure::ReadingColumns(measure::DecodeReading(EncodeReading(c)),
                                            info.temperatureUnit) +
                    measure::kCsvLineEnd;
        }
        file += std::string(measure::kCsvLineEnd) + measure::kCsvLineEnd;
    }
    return file;
}

} // namespace bench
