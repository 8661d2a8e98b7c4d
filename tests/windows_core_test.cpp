// The Qt-free cores over the Windows serial backend and file system, run under Wine against the
// Linux simulated instrument (demo readings in units A, C, d and P) on the COM ports that
// scripts/test-windows maps: discovery, the memory check, a reading into a CSV file, the clock,
// and the settings file beside the program.
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "clock/clock_setting.h"
#include "instrument/discovery.h"
#include "instrument/port_listing.h"
#include "measure/memory_check.h"
#include "measure/reception.h"
#include "tests/support/wine_ports.h"

namespace {

namespace fs = std::filesystem;

// The demo instrument behind a Prolific port above COM9, between a port of the same bridge that
// has no device and a port of another bridge.
class WindowsCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        const int port = test_support::MappedComPort("K720_TEST_COM_HIGH");
        if (port == 0) {
            GTEST_SKIP() << "K720_TEST_COM_HIGH is not set: run scripts/test-windows";
        }
        SetPortLister([port] {
            return std::vector<ListedPort>{
                {"Prolific USB-to-Serial Comm Port (COM77)", 77, "\\\\.\\COM77"},
                {"Other bridge (COM4)", 4, "COM4"},
                {"Prolific USB-to-Serial Comm Port (COM" + std::to_string(port) + ")", port,
                 "\\\\.\\COM" + std::to_string(port)},
            };
        });
        EnumerateCandidatePorts();
        g_instrumentPort = NO_INSTRUMENT_PORT;
        port_ = port;
    }
    void TearDown() override { SetPortLister({}); }

    int port_ = 0;
};

TEST_F(WindowsCoreTest, ScanFindsTheInstrumentAndTheExchangesReachIt) {
    ASSERT_EQ(g_candidatePorts.size(), 2u) << "only the bridge's ports are candidates";
    ASSERT_EQ(PortScan(), 0);
    EXPECT_EQ(g_instrumentPort, port_);

    const measure::MemoryCheckOutcome check = measure::CheckMemory();
    ASSERT_EQ(check.status, measure::MemoryCheckStatus::Checked);
    EXPECT_EQ(check.unitDataMask, 0b1000'0000'1101);

    EXPECT_EQ(instrument_clock::SetInstrumentClock({2014, 3, 7, 9, 5}),
              instrument_clock::ClockOutcome::ClockSet);
}

class EndWaiter : public measure::ReceptionObserver {
public:
    void OnEnd(const measure::ReceptionEnd& end) override {
        std::lock_guard lock(mutex_);
        end_ = end;
        ended_ = true;
        changed_.notify_all();
    }
    measure::ReceptionEnd Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return ended_; });
        return end_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
    measure::ReceptionEnd end_;
};

TEST_F(WindowsCoreTest, AUnitIsReadIntoAFileNamedWithBackslashes) {
    ASSERT_EQ(PortScan(), 0);
    const fs::path folder = fs::temp_directory_path() / "k720 windows test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string folderText = folder.string();
    ASSERT_NE(folderText.find('\\'), std::string::npos) << folderText;

    EndWaiter waiter;
    measure::ReceptionEngine engine(waiter);
    measure::ReceptionRequest request;
    request.selectedUnitCode = 4; // unit C
    request.port = g_instrumentPort;
    request.folder = folderText;
    request.fileName = "day1";
    request.fileDate = measure::CsvDate{2014, 3, 7};
    ASSERT_EQ(engine.Start(request), measure::StartOutcome::Started);
    const measure::ReceptionEnd end = waiter.Wait();
    engine.Join();
    EXPECT_EQ(end.outcome, measure::EndOutcome::Received);
    EXPECT_GT(end.received, 0);
    EXPECT_EQ(end.received, end.total);
    EXPECT_EQ(engine.Destination(), folderText + "\\day1.csv");

    std::string bytes;
    {
        std::ifstream in(folder / "day1.csv", std::ios::binary); // closed before the removal
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_NE(bytes.find("2014"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    fs::remove_all(folder);
}

TEST(WindowsSettingsTest, TheFileBesideTheProgramKeepsItsBytes) {
    const fs::path folder = fs::temp_directory_path() / "k720 settings test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string path = SettingsFilePath(folder.string());
    EXPECT_EQ(path, folder.string() + "\\K720.ini");

    Settings settings = DefaultSettings(folder.string());
    settings.instrumentPort = 12;
    settings.measurementFolder = "C:\\Data\\K720";
    ASSERT_TRUE(WriteSettingsFile(path, settings));
    EXPECT_EQ(ReadSettingsFile(path), settings);
    EXPECT_EQ(SettingsFileToLoad(folder.string()), path);
    fs::remove_all(folder);
}

TEST(WindowsSkipped, WhatWineCannotShow) {
    GTEST_SKIP() << "Wine's device set-up lists no USB bridges: the SetupAPI listing and its "
                    "device-change messages need Windows with the instrument plugged in";
}

} // namespace
