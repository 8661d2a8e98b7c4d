// The history of readings as every engine keeps it: read-outs recorded whole or not at all, each
// reading stored once, the read-outs listed and the readings selected back. A SQLite file and a
// PostgreSQL server keep the same schema behind this one interface.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/store_location.h"
#include "report/measurement_report.h"

namespace history {

// The version of the schema this program writes; a store of a newer one is refused.
inline constexpr int kSchemaVersion = 2;

// Where a read-out came from.
struct ReadoutOrigin {
    std::string readAt; // when it was read or imported, UTC: "2026-12-08T09:05:00Z"
    std::string fileName;
    std::string programVersion;
    std::string host;
};

// What recording a read-out did: its readings new to the history and those already in it, or
// why nothing was recorded (in the user's language).
struct Recorded {
    int newReadings = 0;
    int knownReadings = 0;
    std::string error; // empty: recorded
};

// A read-out as `history list` shows it.
struct Readout {
    std::int64_t id = 0;
    std::string readAt;
    std::string fileName;
    std::string programVersion;
    std::string host;
    std::string serial;
    int unitMask = 0; // bit 0 for unit A ... bit 11 for unit P: the units the file held
    int newReadings = 0;
    int knownReadings = 0;
};

struct ListedReadouts {
    std::vector<Readout> readouts; // oldest first
    std::string error;
};

// Which readings a report or an export takes; every part left empty takes all.
struct Selection {
    std::optional<std::string> serial;
    std::optional<int> unit;         // 0 for unit A ... 11 for unit P
    std::optional<std::string> from; // first day, "2026-12-01" (the instrument's stamp)
    std::optional<std::string> to;   // last day, included
    std::optional<report::Result> result;
};

// A reading as the history keeps it: read back exactly as the measurement file's line was read.
struct StoredReading {
    std::int64_t id = 0; // its row
    std::string serial;
    int unit = 0; // 0 for unit A ... 11 for unit P
    bool fahrenheit = false;
    report::Reading reading;
};

struct SelectedReadings {
    std::vector<StoredReading> readings; // by serial, unit, slot, then as recorded
    std::string error;
};

// The selected readings as a report counts them: per unit the points in the order of Select, each
// point's source its row, and the instruments and temperature units they came from.
struct SelectedPoints {
    std::vector<report::UnitPoints> units; // the units that hold selected readings, A to P
    std::vector<std::string> serials;      // in byte order
    bool celsius = false, fahrenheit = false;
    std::string error;
};

class Store {
public:
    virtual ~Store() = default;

    // Records every reading of `file` with its read-out in one transaction: all of it or, on any
    // failure, nothing. A reading already in the history is counted, not stored again.
    virtual Recorded Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) = 0;
    virtual ListedReadouts List() = 0;
    virtual SelectedReadings Select(const Selection& selection) = 0;
    // The selection without its texts: what a report over a million readings counts quickly.
    virtual SelectedPoints SelectPoints(const Selection& selection) = 0;
    // The readings of these rows, for the texts a report's figures show.
    virtual SelectedReadings SelectRows(const std::vector<std::int64_t>& ids) = 0;
};

struct OpenedStore {
    std::unique_ptr<Store> store;
    std::string error; // why it cannot be used, in the user's language
};

// Opens (creates when missing) the store at `location`, its schema brought to this program's.
OpenedStore OpenStore(const StoreLocation& location);

} // namespace history
