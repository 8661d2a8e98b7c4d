// The PostgreSQL history against a real server the suite starts: readings stored once and read
// back as the file has them, the schema made once and a newer one refused, a refused login that
// never shows the password, two benches recording at once, and a server gone mid-recording.
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <libpq-fe.h>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "history/copy_binary_rows.h"
#include "history/history_report.h"
#include "history/postgres_store.h"
#include "history/reading_columns.h"
#include "history/store_location.h"
#include "measure/units.h"
#include "report/measurement_report.h"
#include "report/report_text.h"
#include "tests/support/postgres_server.h"

namespace {

using history::OpenedStore;
using history::PostgresStore;
using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

const history::ReadoutOrigin kOrigin{"2026-12-08T09:05:00Z", "day.csv", "1.03", "bench"};

const std::string kColumns = "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
                             "Voltage[volt],V-Lim[volt],Temperature[F],Result,Date,Time\r\n";

// The bytes of a measurement file in Fahrenheit with `slots` readings in each of `units` units.
std::string FileBytes(int units, int slots) {
    std::string bytes = "Model,K720 BATTERY TARVELIN\r\nSerial,123456789\r\n"
                        "Date,2014-3-10,,V1.03\r\n\r\n";
    for (int unit = 0; unit < units; ++unit) {
        bytes +=
            std::string("\r\nUNIT ") + measure::UnitCommandLetter(unit) + "\r\n\r\n" + kColumns;
        for (int slot = 1; slot <= slots; ++slot) {
            const std::string n = std::to_string(slot);
            // Judged readings, one without limits, and an over range with an unusable time.
            bytes += slot % 3 == 0   ? n + ",3m,--,,,60V,12.50,,,,2014-3-5,9:08\r\n"
                     : slot % 3 == 1 ? n + ",30m,12." + std::to_string(10 + slot % 90) +
                                           ",15.00,10.00,6V,3.712,3.500,95.3,PASS,2014-3-" +
                                           std::to_string(1 + slot % 28) + ",9:07\r\n"
                                     : n + ",3m,1.01,1.500,2.000,6V,-10.000,2.500,-9999,FAIL,"
                                           "2014-13-6,0:00\r\n";
        }
        bytes += "\r\n";
    }
    return bytes;
}

report::MeasurementReport File(const std::string& bytes) {
    const report::ParsedReport parsed = report::ParseMeasurementFile(bytes, "day.csv");
    EXPECT_TRUE(parsed.Ok()) << parsed.error.message;
    return parsed.Ok() ? *parsed.report : report::MeasurementReport{};
}

void ExpectSame(const report::Reading& stored, const report::Reading& read) {
    EXPECT_EQ(stored.slot, read.slot);
    EXPECT_EQ(stored.resistanceRange, read.resistanceRange);
    EXPECT_EQ(stored.resistance, read.resistance);
    EXPECT_EQ(stored.voltageRange, read.voltageRange);
    EXPECT_EQ(stored.voltage, read.voltage);
    EXPECT_EQ(stored.voltageUnderRange, read.voltageUnderRange);
    EXPECT_EQ(stored.resistanceText + stored.voltageText + stored.temperatureText,
              read.resistanceText + read.voltageText + read.temperatureText);
    EXPECT_EQ(stored.limit1Text + stored.limit2Text + stored.voltageLimitText,
              read.limit1Text + read.limit2Text + read.voltageLimitText);
    EXPECT_EQ(stored.limit1, read.limit1);
    EXPECT_EQ(stored.limit2, read.limit2);
    EXPECT_EQ(stored.voltageLimit, read.voltageLimit);
    EXPECT_EQ(stored.temperatureTenths, read.temperatureTenths);
    EXPECT_EQ(stored.temperatureOutOfRange, read.temperatureOutOfRange);
    EXPECT_EQ(stored.result, read.result);
    EXPECT_EQ(stored.date + " " + stored.time, read.date + " " + read.time);
    EXPECT_EQ(stored.when.usable, read.when.usable);
    EXPECT_EQ(stored.when.Stamp(), read.when.Stamp());
}

// One server for the suite; every test works in a database of its own.
class PostgresStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new test_support::PostgresServer;
        if (!server_->Start(&reason_)) {
            delete server_;
            server_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (server_ == nullptr) {
            GTEST_SKIP() << reason_;
        }
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        database_ = "k720_" + std::to_string(std::hash<std::string>{}(name) % 1000000);
        Sql(server_->Url(), "CREATE DATABASE " + database_);
    }

    std::string Url() const { return server_->Url(database_); }
    OpenedStore Open() const { return PostgresStore::Open(Url(), Url()); }

    // Runs `sql` on its own connection to `url`; the first value of its result, if any.
    static std::string Sql(const std::string& url, const std::string& sql) {
        const Connection connection(PQconnectdb(url.c_str()), &PQfinish);
        const Result result(PQexec(connection.get(), sql.c_str()), &PQclear);
        const ExecStatusType status = PQresultStatus(result.get());
        EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            << sql << ": " << PQerrorMessage(connection.get());
        return status == PGRES_TUPLES_OK && PQntuples(result.get()) > 0
                   ? PQgetvalue(result.get(), 0, 0)
                   : "";
    }

    static test_support::PostgresServer* server_;
    static std::string reason_;
    std::string database_;
};

test_support::PostgresServer* PostgresStoreTest::server_ = nullptr;
std::string PostgresStoreTest::reason_;

TEST_F(PostgresStoreTest, ReadingsAreStoredOnceAndReadBackAsTheFileHasThem) {
    const report::MeasurementReport file = File(FileBytes(2, 6));
    for (int open = 0; open < 2; ++open) {
        const OpenedStore opened = Open();
        ASSERT_NE(opened.store, nullptr) << opened.error;
        const history::Recorded recorded = opened.store->Record(file, kOrigin);
        EXPECT_EQ(recorded.error, "");
        EXPECT_EQ(recorded.newReadings, open == 0 ? 12 : 0);
        EXPECT_EQ(recorded.knownReadings, open == 0 ? 0 : 12);
    }
    EXPECT_EQ(Sql(Url(), "SELECT count(*) FROM k720_schema"), "1");

    const OpenedStore opened = Open();
    ASSERT_NE(opened.store, nullptr) << opened.error;
    const history::ListedReadouts listed = opened.store->List();
    ASSERT_EQ(listed.error, "");
    ASSERT_EQ(listed.readouts.size(), 2u);
    EXPECT_LT(listed.readouts[0].id, listed.readouts[1].id);
    EXPECT_EQ(listed.readouts[1].fileName + listed.readouts[1].host + listed.readouts[1].serial,
              "day.csvbench123456789");
    EXPECT_EQ(listed.readouts[1].unitMask, 0b11);
    EXPECT_EQ(listed.readouts[1].knownReadings, 12);

    const history::SelectedReadings all = opened.store->Select({});
    ASSERT_EQ(all.error, "");
    ASSERT_EQ(all.readings.size(), 12u);
    for (std::size_t i = 0; i < all.readings.size(); ++i) {
        EXPECT_EQ(all.readings[i].serial, "123456789");
        EXPECT_EQ(all.readings[i].unit, static_cast<int>(i / 6));
        EXPECT_TRUE(all.readings[i].fahrenheit);
        ExpectSame(all.readings[i].reading, file.readings[i]);
    }
    // The report over the server's history counts the readings as the file's report does.
    history::HistoryReport made = history::ReportOfHistory(*opened.store, {});
    ASSERT_TRUE(made.report) << made.error;
    report::MeasurementReport& counted = *made.report;
    std::tie(counted.file, counted.model, counted.serial, counted.date, counted.version,
             counted.cut, counted.cutNote) = std::tie(file.file, file.model, file.serial, file.date,
                                                      file.version, file.cut, file.cutNote);
    EXPECT_EQ(report::ReportJson(counted), report::ReportJson(file));

    // The same history at schema 1 (no point column) gets it on opening and reports the same.
    const std::string before =
        report::ReportJson(*history::ReportOfHistory(*opened.store, {}).report);
    Sql(Url(), "ALTER TABLE readings DROP COLUMN point");
    Sql(Url(), "UPDATE k720_schema SET version = 1");
    const OpenedStore migrated = Open();
    ASSERT_NE(migrated.store, nullptr) << migrated.error;
    EXPECT_EQ(Sql(Url(), "SELECT max(version) FROM k720_schema"), "2");
    const history::HistoryReport again = history::ReportOfHistory(*migrated.store, {});
    ASSERT_TRUE(again.report) << again.error;
    EXPECT_EQ(report::ReportJson(*again.report), before);
    // A selection's parameters: unit B's failed readings (slots 2 and 5).
    const history::SelectedReadings failed =
        opened.store->Select({"123456789", 1, std::nullopt, std::nullopt, report::Result::Fail});
    ASSERT_EQ(failed.error, "");
    ASSERT_EQ(failed.readings.size(), 2u);
    EXPECT_EQ(failed.readings[1].reading.slot, 5);
    EXPECT_EQ(opened.store->Select({std::nullopt, std::nullopt, "2014-03-02", "2014-03-04", {}})
                  .readings.size(),
              2u);
}

TEST_F(PostgresStoreTest, ANewerSchemaAndARefusedLoginAreRefusedWithoutThePassword) {
    ASSERT_NE(Open().store, nullptr);
    Sql(Url(), "UPDATE k720_schema SET version = 3");
    const OpenedStore newer = Open();
    EXPECT_EQ(newer.store, nullptr);
    EXPECT_NE(newer.error.find("schema 3"), std::string::npos) << newer.error;

    // An unknown user with a password, in the user part (once malformed: libpq quotes the part
    // it cannot read) and as a parameter.
    const std::string host = "@/" + database_ + "?host=" + server_->SocketFolder();
    for (const std::string& url :
         {"postgresql://nobody:Kx9secret" + host, "postgresql://nobody:Kx9%zzsecret" + host,
          "postgresql://nobody@/" + database_ +
              "?password=Kx9secret&host=" + server_->SocketFolder()}) {
        const std::string shown = history::MaskedUrl(url);
        const OpenedStore refused = PostgresStore::Open(url, shown);
        EXPECT_EQ(refused.store, nullptr);
        EXPECT_NE(refused.error.find(shown), std::string::npos) << refused.error;
        EXPECT_EQ(refused.error.find("Kx9"), std::string::npos) << refused.error;
        EXPECT_EQ(refused.error.find("secret"), std::string::npos) << refused.error;
    }
    const OpenedStore unknown = PostgresStore::Open("postgresql://nobody" + host, "shown");
    EXPECT_NE(unknown.error.find("\"nobody\""), std::string::npos) << unknown.error;
}

// A server that takes the connection and never answers: the open gives up (after its default
// connect timeout) instead of holding the bench forever.
TEST(PostgresStoreSilentServer, AnOpenGivesUp) {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const std::string url =
        "postgresql://k720@127.0.0.1:" + std::to_string(ntohs(address.sin_port)) +
        "/k720?sslmode=disable";
    const OpenedStore silent = PostgresStore::Open(url, url);
    EXPECT_EQ(silent.store, nullptr);
    EXPECT_NE(silent.error.find(url), std::string::npos) << silent.error;
    close(listener);
}

TEST_F(PostgresStoreTest, TwoBenchesRecordingTheSameFileAtOnceStoreItOnce) {
    const report::MeasurementReport file = File(FileBytes(measure::kUnitCount, 400));
    history::Recorded recorded[2];
    {
        // Both benches also find the new database without tables at the same moment.
        std::jthread benches[2];
        for (int bench = 0; bench < 2; ++bench) {
            benches[bench] = std::jthread([&, bench] {
                const OpenedStore opened = Open();
                recorded[bench] = opened.store ? opened.store->Record(file, kOrigin)
                                               : history::Recorded{0, 0, opened.error};
            });
        }
    }
    for (const history::Recorded& bench : recorded) {
        EXPECT_EQ(bench.error, "");
        EXPECT_EQ(bench.newReadings + bench.knownReadings, 4800);
    }
    EXPECT_EQ(recorded[0].newReadings + recorded[1].newReadings, 4800);
    EXPECT_EQ(Sql(Url(), "SELECT count(*) FROM readings"), "4800");
    EXPECT_EQ(Sql(Url(), "SELECT count(*) FROM k720_schema"), "1");
}

TEST_F(PostgresStoreTest, AServerStoppedMidRecordingLeavesTheHistoryAsBefore) {
    const OpenedStore opened = Open();
    ASSERT_NE(opened.store, nullptr) << opened.error;
    ASSERT_EQ(opened.store->Record(File(FileBytes(1, 6)), kOrigin).error, "");

    // Another bench holds the last reading of a full instrument uncommitted: the recording waits
    // for it with most of its readings written, and the server stops then.
    const report::MeasurementReport full = File(FileBytes(measure::kUnitCount, 400));
    const Connection holder(PQconnectdb(Url().c_str()), &PQfinish);
    Result(PQexec(holder.get(), "BEGIN; INSERT INTO readouts (read_at, file_name, program_version, "
                                "host, serial, unit_mask, new_readings, known_readings) VALUES "
                                "('', '', '', '', '', 0, 0, 0)"),
           &PQclear);
    std::string insert = std::string("INSERT INTO readings (readout_id, ") +
                         history::kReadingColumns + ") VALUES ((SELECT max(id) FROM readouts)";
    std::vector<std::string> texts;
    texts.reserve(history::kReadingColumnCount); // the pointers below stay valid
    std::vector<const char*> values;
    for (const history::Value& value : history::ReadingValues(
             full.serial, measure::kUnitCount - 1, full.fahrenheit, full.readings.back())) {
        insert += ", $" + std::to_string(texts.size() + 1);
        const auto* number = std::get_if<std::int64_t>(&value);
        const auto* text = std::get_if<std::string>(&value);
        const auto* bytes = std::get_if<history::Bytes>(&value);
        std::string hex = "\\x";
        for (const char c : bytes ? bytes->bytes : "") {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(c));
            hex += digits;
        }
        texts.push_back(number ? std::to_string(*number) : text ? *text : hex);
        values.push_back(number || text || bytes ? texts.back().c_str() : nullptr);
    }
    const Result held(PQexecParams(holder.get(), (insert + ")").c_str(),
                                   static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                                   nullptr, 0),
                      &PQclear);
    ASSERT_EQ(PQresultStatus(held.get()), PGRES_COMMAND_OK) << PQerrorMessage(holder.get());

    history::Recorded cut;
    std::jthread recording([&] { cut = opened.store->Record(full, kOrigin); });
    // The recording waits for the holder's lock (watched from a connection of its own, whose view
    // of the server's activity is new for every statement).
    const std::string waiting = "SELECT count(*) FROM pg_stat_activity WHERE wait_event_type = "
                                "'Lock' AND datname = '" +
                                database_ + "'";
    for (int wait = 0; wait < 1000 && Sql(Url(), waiting) == "0"; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    server_->Stop();
    recording.join();
    EXPECT_NE(cut.error.find("Nothing was recorded"), std::string::npos) << cut.error;
    EXPECT_EQ(cut.newReadings + cut.knownReadings, 0);

    ASSERT_TRUE(server_->Restart(&reason_)) << reason_;
    const OpenedStore again = Open();
    ASSERT_NE(again.store, nullptr) << again.error;
    EXPECT_EQ(again.store->List().readouts.size(), 1u);
    EXPECT_EQ(again.store->Select({}).readings.size(), 6u);
    EXPECT_EQ(Sql(Url(), "SELECT count(*) FROM readings"), "6");
}

// The server's binary COPY stream read as it comes: a header, a row of every kind of field,
// the end; a row cut short, of another width, or a stream without the signature fails the reader
// and leaves nothing half read.
TEST(CopyBinaryRows, ReadsRowsAndFailsOnWhatIsCutOrForeign) {
    const std::string header("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
    const std::string row("\0\3"                                       // three fields
                          "\0\0\0\x08\xff\xff\xff\xff\xff\xff\xff\xfe" // -2 as BIGINT
                          "\xff\xff\xff\xff"                           // NULL
                          "\0\0\0\x03S-1",                             // a text
                          25);
    const std::string end("\xff\xff", 2);
    // The reader keeps views into the messages: each stays alive while it is read.
    const std::string first = header + row, last = row + end;
    history::CopyBinaryRows rows;
    rows.Take(first);
    std::int64_t number = 0;
    std::optional<std::int64_t> none = 5;
    std::string_view text;
    ASSERT_TRUE(rows.NextRow(3));
    rows.Integer(number);
    rows.Number(none);
    rows.Text(text);
    EXPECT_EQ(number, -2);
    EXPECT_FALSE(none);
    EXPECT_EQ(text, "S-1");
    EXPECT_FALSE(rows.NextRow(3)); // the end of the message
    rows.Take(last);
    EXPECT_TRUE(rows.NextRow(3));
    rows.Integer(number);
    rows.Number(none);
    rows.Text(text);
    EXPECT_FALSE(rows.NextRow(3)); // the end of the data
    EXPECT_FALSE(rows.Failed());

    for (const std::string& stream :
         {header + row.substr(0, 20), header + row.substr(0, 2) + row.substr(2, 12),
          "PGCOPY\n" + row}) {
        history::CopyBinaryRows cut;
        cut.Take(stream);
        if (cut.NextRow(3)) {
            cut.Integer(number);
            cut.Number(none);
            cut.Text(text);
        }
        EXPECT_TRUE(cut.Failed()) << stream.size();
    }
    history::CopyBinaryRows wider;
    wider.Take(first);
    EXPECT_FALSE(wider.NextRow(4));
    EXPECT_TRUE(wider.Failed());
}

} // namespace
