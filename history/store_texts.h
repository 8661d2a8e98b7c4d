// The messages every engine of the history gives, in the user's language. `store` is the store
// as shown to the user: a file's path, or a server's URL with its password masked.
#pragma once

#include <cstdint>
#include <string>

namespace history {

// "Can not open the history STORE: REASON"
std::string CannotOpenText(const std::string& store, const std::string& reason);
// The store was written by a newer program (schema `version`).
std::string NewerSchemaText(const std::string& store, int version);
// "Nothing was recorded in the history: REASON"
std::string NothingRecordedText(const std::string& reason);
// "Can not read the history STORE: REASON"
std::string CannotReadText(const std::string& store, const std::string& reason);

// The store holds a reading of a unit no instrument has (`unit`: its number in the store).
std::string UnknownUnitText(std::int64_t unit);
// The readings of a selection are in Celsius and in Fahrenheit.
std::string MixedTemperaturesText();

} // namespace history
