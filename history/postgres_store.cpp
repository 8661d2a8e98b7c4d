#include "history/postgres_store.h"

#include <charconv>
#include <cstdlib>
#include <libpq-fe.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/texts.h"
#include "history/copy_binary_rows.h"
#include "history/reading_columns.h"
#include "history/selected_points.h"
#include "history/store_location.h"
#include "history/store_texts.h"
#include "measure/units.h"

namespace history {

namespace {

// The advisory lock that makes the schema's check and creation one step among all benches.
constexpr std::int64_t kSchemaLock = 0x4B373230; // "K720"
// Readings per INSERT: a full instrument in ten statements, well below the protocol's limit of
// 65,535 parameters per statement.
constexpr int kRowsPerInsert = 500;
// Rows per FETCH of a selection: the readings come over in pieces, never all in one result.
constexpr const char* kFetch = "FETCH 10000 FROM k720_selection";

// Schema 1: the same tables, columns, unique key and index as the SQLite file's. The serial and
// the day are ordered and compared byte by byte, as SQLite does, whatever the database's locale.
std::string Schema1() {
    return std::string(R"(
CREATE TABLE k720_schema (version INTEGER NOT NULL);
CREATE TABLE readouts (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    read_at TEXT NOT NULL,
    file_name TEXT NOT NULL,
    program_version TEXT NOT NULL,
    host TEXT NOT NULL,
    serial TEXT NOT NULL,
    unit_mask INTEGER NOT NULL,
    new_readings INTEGER NOT NULL,
    known_readings INTEGER NOT NULL);
CREATE TABLE readings (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    readout_id BIGINT NOT NULL REFERENCES readouts(id),
    serial TEXT COLLATE "C" NOT NULL,
    unit INTEGER NOT NULL,
    slot INTEGER NOT NULL,
    date_text TEXT NOT NULL,
    time_text TEXT NOT NULL,
    day TEXT COLLATE "C",
    resistance_range TEXT NOT NULL,
    resistance_text TEXT NOT NULL,
    resistance BIGINT,
    voltage_range TEXT NOT NULL,
    voltage_text TEXT NOT NULL,
    voltage BIGINT,
    limit1_text TEXT NOT NULL,
    limit1 BIGINT,
    limit2_text TEXT NOT NULL,
    limit2 BIGINT,
    voltage_limit_text TEXT NOT NULL,
    voltage_limit BIGINT,
    temperature_text TEXT NOT NULL,
    temperature BIGINT,
    temperature_unit TEXT NOT NULL,
    result TEXT NOT NULL,
    UNIQUE ()") +
           kReadingKey + R"());
CREATE INDEX readings_by_day ON readings (day);
INSERT INTO k720_schema (version) VALUES (1);
)";
}

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// libpq's message on one line, without the trailing line end.
std::string OneLine(const char* message) {
    std::string line;
    bool space = false;
    for (const char* c = message != nullptr ? message : ""; *c != '\0'; ++c) {
        if (*c == '\n' || *c == '\t' || *c == '\r') {
            space = !line.empty();
        } else {
            if (space && *c != ' ') {
                line += ' ';
            }
            space = false;
            line += *c;
        }
    }
    return line;
}

// Why a statement failed: the server's own message when it gave one, else libpq's.
std::string ErrorOf(PGconn* connection, const PGresult* result) {
    if (result == nullptr) {
        return connection != nullptr ? OneLine(PQerrorMessage(connection)) : "out of memory";
    }
    if (const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY)) {
        return primary;
    }
    return OneLine(PQresultErrorMessage(result));
}

// A parameter as libpq takes it: a text, or NULL.
using Parameter = std::optional<std::string>;

Parameter ParameterOf(const Value& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* bytes = std::get_if<Bytes>(&value)) {
        // bytea's hex form.
        constexpr char kDigits[] = "0123456789abcdef";
        std::string hex = "\\x";
        for (const char c : bytes->bytes) {
            hex += kDigits[static_cast<unsigned char>(c) >> 4];
            hex += kDigits[static_cast<unsigned char>(c) & 0xF];
        }
        return hex;
    }
    return std::nullopt;
}

// Runs `sql` with its parameters; the result when its status is `expected`, else nothing and
// the reason.
Result Run(PGconn* connection, const std::string& sql, const std::vector<Parameter>& parameters,
           ExecStatusType expected, std::string* error) {
    std::vector<const char*> values;
    values.reserve(parameters.size());
    for (const Parameter& parameter : parameters) {
        values.push_back(parameter ? parameter->c_str() : nullptr);
    }
    Result result(PQexecParams(connection, sql.c_str(), static_cast<int>(values.size()), nullptr,
                               values.data(), nullptr, nullptr, 0),
                  &PQclear);
    if (!result || PQresultStatus(result.get()) != expected) {
        *error = ErrorOf(connection, result.get());
        return Result(nullptr, &PQclear);
    }
    return result;
}

bool Command(PGconn* connection, const std::string& sql, std::string* error) {
    return static_cast<bool>(Run(connection, sql, {}, PGRES_COMMAND_OK, error));
}

// Ends a failed transaction; nothing to do when the connection is gone (the server drops it).
void RollBack(PGconn* connection) {
    if (PQstatus(connection) == CONNECTION_OK && PQtransactionStatus(connection) != PQTRANS_IDLE) {
        Result(PQexec(connection, "ROLLBACK"), &PQclear);
    }
}

// Commits; false with the reason when the server rolled the transaction back instead.
bool Commit(PGconn* connection, std::string* error) {
    const Result result = Run(connection, "COMMIT", {}, PGRES_COMMAND_OK, error);
    if (result && std::string(PQcmdStatus(result.get())) != "COMMIT") {
        *error = PQcmdStatus(result.get());
        return false;
    }
    return static_cast<bool>(result);
}

std::int64_t Integer(const PGresult* result, int row, int column) {
    const char* text = PQgetvalue(result, row, column);
    std::int64_t number = 0;
    std::from_chars(text, text + PQgetlength(result, row, column), number);
    return number;
}

int SmallInteger(const PGresult* result, int row, int column) {
    return static_cast<int>(Integer(result, row, column));
}

std::string Text(const PGresult* result, int row, int column) {
    return std::string(PQgetvalue(result, row, column),
                       static_cast<std::size_t>(PQgetlength(result, row, column)));
}

std::string Numbered(int n) {
    return "$" + std::to_string(n);
}

std::string ParameterMark(int n, const Value&) {
    return Numbered(n);
}

// The INSERT of `rows` readings of one read-out ($1): each row's values follow in column order.
std::string InsertOf(int rows) {
    std::string sql =
        std::string("INSERT INTO readings (readout_id, ") + kReadingColumns + ") VALUES ";
    int parameter = 1;
    for (int row = 0; row < rows; ++row) {
        sql += row > 0 ? ", ($1" : "($1";
        for (int column = 0; column < kReadingColumnCount; ++column) {
            sql += ", " + Numbered(++parameter);
        }
        sql += ')';
    }
    return sql + " ON CONFLICT DO NOTHING";
}

std::string NotTheHistorysRows() {
    return Translate(kMessages, K720_TEXT("Messages", "the server's rows are not the history's"));
}

// Schema 2 adds each reading's point column, filled from the texts of the readings already kept:
// read through a cursor of the open transaction, written back in batches.
bool MigrateToSchema2(PGconn* connection, std::string* error) {
    if (!Command(connection, "ALTER TABLE readings ADD COLUMN point BYTEA", error) ||
        !Command(connection,
                 std::string("DECLARE k720_migration NO SCROLL CURSOR FOR SELECT id, "
                             "temperature_unit, ") +
                     kReadingLineColumns + " FROM readings",
                 error)) {
        return false;
    }
    std::vector<std::string> texts(kReadingLineColumnCount);
    for (;;) {
        const Result fetched =
            Run(connection, "FETCH 10000 FROM k720_migration", {}, PGRES_TUPLES_OK, error);
        if (!fetched) {
            return false;
        }
        const PGresult* r = fetched.get();
        const int rows = PQntuples(r);
        if (rows == 0) {
            break;
        }
        for (int first = 0; first < rows; first += kRowsPerInsert) {
            const int last = std::min(rows, first + kRowsPerInsert);
            std::string update = "UPDATE readings SET point = v.point FROM (VALUES ";
            std::vector<Parameter> parameters;
            for (int row = first; row < last; ++row) {
                for (int i = 0; i < kReadingLineColumnCount; ++i) {
                    texts[static_cast<std::size_t>(i)] = Text(r, row, i + 2);
                }
                const std::optional<Bytes> point =
                    PointBytesOfTexts(texts, Text(r, row, 1) == "F", error);
                if (!point) {
                    return false;
                }
                parameters.push_back(Text(r, row, 0));
                parameters.push_back(ParameterOf(*point));
                const auto n = parameters.size();
                update += (row > first ? ", (" : "(") + Numbered(static_cast<int>(n - 1)) +
                          "::BIGINT, " + Numbered(static_cast<int>(n)) + "::BYTEA)";
            }
            update += ") AS v(id, point) WHERE readings.id = v.id";
            if (!Run(connection, update, parameters, PGRES_COMMAND_OK, error)) {
                return false;
            }
        }
    }
    return Command(connection, "CLOSE k720_migration", error) &&
           Command(connection, "ALTER TABLE readings ALTER COLUMN point SET NOT NULL", error) &&
           Command(connection, "UPDATE k720_schema SET version = 2", error);
}

// `value` as an SQL literal; "" with the reason when the server's library cannot escape it.
std::string LiteralOf(PGconn* connection, const Value& value, std::string* error) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*number);
    }
    const std::string* text = std::get_if<std::string>(&value);
    if (text == nullptr) {
        return "NULL"; // a selection compares numbers and texts alone
    }
    char* escaped = PQescapeLiteral(connection, text->c_str(), text->size());
    if (escaped == nullptr) {
        *error = OneLine(PQerrorMessage(connection));
        return "";
    }
    const std::string literal = escaped;
    PQfreemem(escaped);
    return literal;
}

// Runs `select` with the clause's parameters through a cursor in a read-only transaction, so that
// a large selection comes over in pieces, and hands each row to `take` (false stops the walk, its
// reason in `error`). False with the reason when the walk did not reach the end.
template <typename Take>
bool WalkCursor(PGconn* connection, const std::string& select, const SelectionClause& clause,
                std::string* error, Take take) {
    std::vector<Parameter> parameters;
    for (const Value& value : clause.parameters) {
        parameters.push_back(ParameterOf(value));
    }
    const auto failed = [connection] {
        RollBack(connection);
        return false;
    };
    if (!Command(connection, "BEGIN READ ONLY", error) ||
        !Run(connection, "DECLARE k720_selection NO SCROLL CURSOR FOR " + select, parameters,
             PGRES_COMMAND_OK, error)) {
        return failed();
    }
    for (;;) {
        const Result fetched = Run(connection, kFetch, {}, PGRES_TUPLES_OK, error);
        if (!fetched) {
            return failed();
        }
        const PGresult* r = fetched.get();
        if (PQntuples(r) == 0) {
            break;
        }
        for (int row = 0; row < PQntuples(r); ++row) {
            if (!take(r, row)) {
                return failed();
            }
        }
    }
    return Commit(connection, error) || failed();
}

std::string PercentDecoded(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr ==
                text.data() + i + 3) {
            decoded += static_cast<char>(value);
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The passwords of `url`, as written and decoded: libpq quotes pieces of a URL it cannot read.
std::vector<std::string> PasswordsOf(const std::string& url) {
    std::vector<std::string> passwords;
    for (const std::string& password : UrlPasswords(url)) {
        for (const std::string& form : {password, PercentDecoded(password)}) {
            if (!form.empty()) {
                passwords.push_back(form);
            }
        }
    }
    return passwords;
}

// `message` with every password of `url` masked.
std::string WithoutPasswords(std::string message, const std::string& url) {
    for (const std::string& password : PasswordsOf(url)) {
        for (std::size_t at = message.find(password); at != std::string::npos;
             at = message.find(password, at + 3)) {
            message.replace(at, password.size(), "***");
        }
    }
    return message;
}

} // namespace

OpenedStore PostgresStore::Open(const std::string& url, const std::string& shown) {
    // A server that never answers must not hold the bench forever: a connect gives up after 10 s
    // and a dead connection is found by keepalives, unless the URL says otherwise (its
    // parameters come after these defaults, so they win).
    const char* const keywords[] = {"connect_timeout", "keepalives", "keepalives_idle", "dbname",
                                    nullptr};
    const char* const values[] = {"10", "1", "60", url.c_str(), nullptr};
    PGconn* connection = PQconnectdbParams(keywords, values, 1);
    std::unique_ptr<PostgresStore> store(new PostgresStore(connection, shown));
    if (PQstatus(connection) != CONNECTION_OK) {
        return {nullptr,
                CannotOpenText(shown, WithoutPasswords(ErrorOf(connection, nullptr), url))};
    }
    std::string error;
    const auto failed = [&](const std::string& message) {
        RollBack(connection);
        return OpenedStore{nullptr, message};
    };
    // The server's notices ("terminating connection...") are not written to the standard error
    // as libpq would: what went wrong comes back as the failed statement's error.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    if (PQsetClientEncoding(connection, "UTF8") != 0) {
        return failed(CannotOpenText(shown, ErrorOf(connection, nullptr)));
    }
    // One transaction for the check and the schema, one bench at a time: two benches opening a
    // new server make the tables once.
    const std::string lock = "SELECT pg_advisory_xact_lock(" + std::to_string(kSchemaLock) + ")";
    Result has(nullptr, &PQclear);
    if (!Command(connection, "BEGIN", &error) ||
        !Run(connection, lock, {}, PGRES_TUPLES_OK, &error) ||
        !(has = Run(connection, "SELECT to_regclass('k720_schema') IS NOT NULL", {},
                    PGRES_TUPLES_OK, &error))) {
        return failed(CannotOpenText(shown, error));
    }
    int version = 0;
    if (Text(has.get(), 0, 0) == "t") {
        const Result read =
            Run(connection, "SELECT max(version) FROM k720_schema", {}, PGRES_TUPLES_OK, &error);
        if (!read) {
            return failed(CannotOpenText(shown, error));
        }
        version = SmallInteger(read.get(), 0, 0);
    }
    if (version > kSchemaVersion) {
        return failed(NewerSchemaText(shown, version));
    }
    if (version == 0) {
        // Several statements at once: only the simple query protocol runs them.
        const Result made(PQexec(connection, Schema1().c_str()), &PQclear);
        if (!made || PQresultStatus(made.get()) != PGRES_COMMAND_OK) {
            return failed(CannotOpenText(shown, ErrorOf(connection, made.get())));
        }
    }
    if (version < 2 && !MigrateToSchema2(connection, &error)) {
        return failed(CannotOpenText(shown, error));
    }
    if (!Commit(connection, &error)) {
        return failed(CannotOpenText(shown, error));
    }
    return {std::move(store), {}};
}

PostgresStore::~PostgresStore() {
    PQfinish(connection_);
}

Recorded PostgresStore::Record(const report::MeasurementReport& file, const ReadoutOrigin& origin) {
    Recorded recorded;
    std::string error;
    const auto failed = [&](const std::string& reason) {
        RollBack(connection_);
        return Recorded{0, 0, NothingRecordedText(reason)};
    };
    if (!Command(connection_, "BEGIN", &error)) {
        return failed(error);
    }
    const Result readout =
        Run(connection_,
            "INSERT INTO readouts (read_at, file_name, program_version, host, serial, unit_mask, "
            "new_readings, known_readings) VALUES ($1, $2, $3, $4, $5, $6, 0, 0) RETURNING id",
            {origin.readAt, origin.fileName, origin.programVersion, origin.host, file.serial,
             std::to_string(UnitMaskOf(file))},
            PGRES_TUPLES_OK, &error);
    if (!readout) {
        return failed(error);
    }
    const std::string readoutId = Text(readout.get(), 0, 0);
    // The readings in batches of kRowsPerInsert; a reading another bench is recording at this
    // moment waits for that bench's transaction and is then known (or new, if it rolled back).
    std::vector<Parameter> batch{readoutId};
    int rows = 0;
    const auto insert = [&] {
        const Result inserted = Run(connection_, InsertOf(rows), batch, PGRES_COMMAND_OK, &error);
        if (!inserted) {
            return false;
        }
        const int added = std::atoi(PQcmdTuples(inserted.get()));
        recorded.newReadings += added;
        recorded.knownReadings += rows - added;
        batch.resize(1);
        rows = 0;
        return true;
    };
    for (const report::Summary& unit : file.units) {
        const int unitIndex = measure::UnitIndexOfLetter(unit.unit);
        for (const report::Point& point : unit.points) {
            for (const Value& value :
                 ReadingValues(file.serial, unitIndex, file.fahrenheit,
                               file.readings[static_cast<std::size_t>(point.source)])) {
                batch.push_back(ParameterOf(value));
            }
            if (++rows == kRowsPerInsert && !insert()) {
                return failed(error);
            }
        }
    }
    if ((rows > 0 && !insert()) ||
        !Run(connection_,
             "UPDATE readouts SET new_readings = $1, known_readings = $2 WHERE id = $3",
             {std::to_string(recorded.newReadings), std::to_string(recorded.knownReadings),
              readoutId},
             PGRES_COMMAND_OK, &error) ||
        !Commit(connection_, &error)) {
        return failed(error);
    }
    return recorded;
}

ListedReadouts PostgresStore::List() {
    std::string error;
    const Result result =
        Run(connection_,
            "SELECT id, read_at, file_name, program_version, host, serial, unit_mask, "
            "new_readings, known_readings FROM readouts ORDER BY id",
            {}, PGRES_TUPLES_OK, &error);
    if (!result) {
        return {{}, CannotReadText(shown_, error)};
    }
    ListedReadouts listed;
    const PGresult* r = result.get();
    for (int row = 0; row < PQntuples(r); ++row) {
        listed.readouts.push_back({Integer(r, row, 0), Text(r, row, 1), Text(r, row, 2),
                                   Text(r, row, 3), Text(r, row, 4), Text(r, row, 5),
                                   SmallInteger(r, row, 6), SmallInteger(r, row, 7),
                                   SmallInteger(r, row, 8)});
    }
    return listed;
}

SelectedReadings PostgresStore::Select(const Selection& selection) {
    return SelectWhere(ClauseOf(selection, &ParameterMark));
}

SelectedReadings PostgresStore::SelectRows(const std::vector<std::int64_t>& ids) {
    return SelectWhere(RowsClause(ids, &ParameterMark));
}

SelectedReadings PostgresStore::SelectWhere(const SelectionClause& clause) {
    SelectedReadings selected;
    std::vector<std::string> texts(kReadingLineColumnCount);
    std::string error;
    constexpr int kLine = 4; // the first column of the slot line
    const bool walked = WalkCursor(
        connection_,
        std::string("SELECT id, serial, unit, temperature_unit, ") + kReadingLineColumns +
            " FROM readings" + clause.where + " ORDER BY serial, unit, slot, id",
        clause, &error, [&](const PGresult* r, int row) {
            for (int i = 0; i < kReadingLineColumnCount; ++i) {
                texts[static_cast<std::size_t>(i)] = Text(r, row, kLine + i);
            }
            std::optional<report::Reading> reading = ReadingOfTexts(texts, &error);
            if (!reading) {
                return false;
            }
            selected.readings.push_back({Integer(r, row, 0), Text(r, row, 1),
                                         SmallInteger(r, row, 2), Text(r, row, 3) == "F",
                                         std::move(*reading)});
            return true;
        });
    if (!walked) {
        return {{}, CannotReadText(shown_, error)};
    }
    return selected;
}

SelectedPoints PostgresStore::SelectPoints(const Selection& selection) {
    const auto failed = [this](const std::string& reason) {
        return SelectedPoints{{}, {}, false, false, CannotReadText(shown_, reason)};
    };
    // COPY takes no parameters: the selection's values go in as escaped literals.
    std::string error;
    const SelectionClause clause = ClauseOf(
        selection, [&](int, const Value& value) { return LiteralOf(connection_, value, &error); });
    if (!error.empty()) {
        return failed(error);
    }
    // The rows in the table's order as the server reads them, in COPY's binary form: one stream
    // that the server writes while this side counts, without a round trip per piece. The builder
    // orders each unit's points itself.
    const std::string copy = std::string("COPY (SELECT ") + kPointColumns + " FROM readings" +
                             clause.where + ") TO STDOUT (FORMAT binary)";
    const Result started(PQexec(connection_, copy.c_str()), &PQclear);
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_OUT) {
        return failed(ErrorOf(connection_, started.get()));
    }
    SelectedPointsBuilder builder;
    CopyBinaryRows reader;
    PointRow p;
    for (;;) {
        char* message = nullptr;
        const int length = PQgetCopyData(connection_, &message, 0);
        if (length < 0) {
            break; // -1 the end, -2 a failure: the result below says which
        }
        const std::unique_ptr<char, decltype(&PQfreemem)> owned(message, &PQfreemem);
        if (!error.empty()) {
            continue; // the rest of the stream, read to its end and left
        }
        reader.Take(std::string_view(message, static_cast<std::size_t>(length)));
        if (reader.Failed()) {
            error = NotTheHistorysRows();
        }
        while (error.empty() && reader.NextRow(kPointColumnCount)) {
            reader.Integer(p.id);
            reader.Text(p.serial);
            reader.Integer(p.unit);
            reader.Text(p.point);
            error = reader.Failed() ? NotTheHistorysRows() : builder.Add(p);
        }
    }
    // The COPY's outcome, then the end of the command.
    std::string outcome;
    const Result finished(PQgetResult(connection_), &PQclear);
    if (!finished || PQresultStatus(finished.get()) != PGRES_COMMAND_OK) {
        outcome = ErrorOf(connection_, finished.get());
    }
    while (PGresult* more = PQgetResult(connection_)) {
        PQclear(more);
    }
    if (!error.empty() || !outcome.empty()) {
        return failed(!error.empty() ? error : outcome);
    }
    return builder.Finish();
}

} // namespace history
