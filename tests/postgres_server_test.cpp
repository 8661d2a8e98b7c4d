// The PostgreSQL server the history's tests start for themselves answers through libpq on its
// own socket, and is gone once the object is.
#include <filesystem>
#include <libpq-fe.h>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/postgres_server.h"

namespace {

using Connection = std::unique_ptr<PGconn, decltype(&PQfinish)>;

TEST(PostgresServer, AnswersOnItsSocketAndStopsWithTheObject) {
    std::string socket;
    {
        test_support::PostgresServer server;
        std::string reason;
        if (!server.Start(&reason)) {
            GTEST_SKIP() << reason;
        }
        socket = server.SocketFolder();
        Connection connection(PQconnectdb(server.Url().c_str()), &PQfinish);
        ASSERT_EQ(PQstatus(connection.get()), CONNECTION_OK) << PQerrorMessage(connection.get());
        std::unique_ptr<PGresult, decltype(&PQclear)> result(
            PQexec(connection.get(), "SELECT 6 * 7"), &PQclear);
        ASSERT_EQ(PQresultStatus(result.get()), PGRES_TUPLES_OK);
        EXPECT_STREQ(PQgetvalue(result.get(), 0, 0), "42");
    }
    EXPECT_FALSE(std::filesystem::exists(socket));
}

} // namespace
