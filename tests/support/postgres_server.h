// A real PostgreSQL server of the test's own: a new cluster in a scratch folder, listening on a
// Unix socket there and nowhere else, stopped and removed with the object. Debian's server
// programs (initdb, pg_ctl from the postgresql package) are used as they are; as root they run
// as the "postgres" user, since the server refuses to run as root.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace test_support {

class PostgresServer {
public:
    // The superuser of the cluster; no password (trust on the socket alone).
    static constexpr const char* kUser = "k720";

    PostgresServer() = default;
    ~PostgresServer() { Stop(); }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Makes the cluster and starts the server; false with the reason when it cannot (no server
    // programs on this machine, no "postgres" user for root, a failed start).
    bool Start(std::string* reason) {
        const std::string initdb = Tool("initdb");
        if (initdb.empty()) {
            *reason = "no PostgreSQL server programs (Debian's postgresql package)";
            return false;
        }
        if (geteuid() == 0 && !Run("/usr/bin/chown", {"postgres", folder_.Path()})) {
            *reason = "the folder could not be given to the postgres user";
            return false;
        }
        if (!Run(initdb, {"-D", Data(), "-A", "trust", "-U", kUser, "-E", "UTF8", "--no-sync"},
                 reason)) {
            return false;
        }
        return Restart(reason);
    }

    // Stops the server at once, as a crash or a pulled cable would (its clients lose their
    // connections, uncommitted transactions are lost); Restart starts it again on its data.
    void Stop() {
        if (started_) {
            Run(Tool("pg_ctl"), {"-D", Data(), "-m", "immediate", "-w", "stop"});
            started_ = false;
        }
    }
    bool Restart(std::string* reason) {
        // No fsync: a scratch cluster needs no durability against power loss, and a start after
        // an immediate stop then skips syncing the whole data folder (seconds on a slow disk).
        const std::string options = "-k " + folder_.Path() + " -c listen_addresses='' -c fsync=off";
        started_ = Run(
            Tool("pg_ctl"),
            {"-D", Data(), "-o", options, "-l", folder_.File("server.log"), "-w", "start"}, reason);
        return started_;
    }

    // The connection URL of a database of the server (by default "postgres"), through its socket
    // folder.
    std::string Url(const std::string& database = "postgres") const {
        return std::string("postgresql://") + kUser + "@/" + database + "?host=" + folder_.Path();
    }
    const std::string& SocketFolder() const { return folder_.Path(); }

private:
    std::string Data() const { return folder_.File("data"); }

    // The newest server version's program of that name, or nothing.
    static std::string Tool(const std::string& name) {
        std::string found;
        std::error_code error;
        for (const auto& version :
             std::filesystem::directory_iterator("/usr/lib/postgresql", error)) {
            const std::filesystem::path program = version.path() / "bin" / name;
            if (std::filesystem::exists(program) && program.string() > found) {
                found = program.string();
            }
        }
        return found;
    }

    // Runs `program` (as the postgres user when root) and waits; true on exit status 0.
    static bool Run(const std::string& program, std::vector<std::string> arguments,
                    std::string* reason = nullptr) {
        std::string runner = program;
        if (geteuid() == 0 && program != "/usr/bin/chown") {
            arguments.insert(arguments.begin(), {"-u", "postgres", "--", program});
            runner = "/usr/sbin/runuser";
        }
        ChildProcess child(runner, arguments);
        const int status = child.Wait();
        if (status != 0 && reason != nullptr) {
            *reason = std::filesystem::path(program).filename().string() + " failed (status " +
                      std::to_string(status) + "): " + child.err;
        }
        return status == 0;
    }

    ScratchFolder folder_;
    bool started_ = false;
};

} // namespace test_support
