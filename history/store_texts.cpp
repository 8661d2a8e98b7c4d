#include "history/store_texts.h"

#include "base/texts.h"
#include "history/store.h"

namespace history {

std::string CannotOpenText(const std::string& store, const std::string& reason) {
    return FillText(kMessages, K720_TEXT("Messages", "Can not open the history %1: %2"),
                    {store, reason});
}

std::string NewerSchemaText(const std::string& store, int version) {
    return FillText(kMessages,
                    K720_TEXT("Messages", "The history %1 was written by a newer version of the "
                                          "program (schema %2); this one reads up to schema %3."),
                    {store, std::to_string(version), std::to_string(kSchemaVersion)});
}

std::string NothingRecordedText(const std::string& reason) {
    return FillText(kMessages, K720_TEXT("Messages", "Nothing was recorded in the history: %1"),
                    {reason});
}

std::string CannotReadText(const std::string& store, const std::string& reason) {
    return FillText(kMessages, K720_TEXT("Messages", "Can not read the history %1: %2"),
                    {store, reason});
}

std::string UnknownUnitText(std::int64_t unit) {
    return FillText(
        kMessages,
        K720_TEXT("Messages", "The history holds a reading of unit %1, which no instrument has."),
        {std::to_string(unit)});
}

std::string MixedTemperaturesText() {
    return Translate(kMessages,
                     K720_TEXT("Messages",
                               "The selected readings hold temperatures in Celsius and in "
                               "Fahrenheit; select one instrument with --serial."));
}

} // namespace history
