// k720ctl packs on measurement files: the build sheet and the CSV carry the same placement, too
// few cells write nothing and exit 1, and values no rule can take are usage errors.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace {

ChildProcess K720ctl(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--lang", "en", "packs"});
    return ChildProcess(K720CTL_PROGRAM, std::move(arguments));
}

// Unit C: 24 PASS cells in two voltage bands, a FAIL and an over-range reading.
std::string File() {
    std::string file = "Model,K720 BATTERY TARVELIN\r\nSerial,K-1\r\nDate,2026-12-2,,V1.03\r\n"
                       "\r\n\r\nUNIT C\r\n\r\n"
                       "No,R-Range,Resistance[mohm],R-Lim1[mohm],R-Lim2[mohm],V-Range,"
                       "Voltage[volt],V-Lim[volt],Temperature[C],Result,Date,Time\r\n";
    for (int slot = 1; slot <= 26; ++slot) {
        const std::string resistance =
            slot == 26 ? "--" : std::to_string(20 + slot % 5) + "." + std::to_string(10 + slot);
        const std::string voltage =
            slot % 2 == 0 ? "3.71" + std::to_string(slot % 10) : "3.80" + std::to_string(slot % 10);
        file += std::to_string(slot) + ",30m," + resistance + ",25.00,19.00,6V," + voltage +
                ",3.500,," + (slot == 25 ? "FAIL" : "PASS") +
                ",2026-12-1,9:" + (slot < 10 ? "0" : "") + std::to_string(slot) + "\r\n";
    }
    return file + "\r\n\r\n";
}

TEST(K720ctlPacks, TheSheetAndTheCsvCarryOnePlacement) {
    test_support::ScratchFolder folder;
    const std::string input = folder.File("cells.csv");
    std::ofstream(input, std::ios::binary) << File();
    const std::string csv = folder.File("labels.csv");
    ChildProcess placed =
        K720ctl({input, "--series", "2", "--parallel", "3", "--count", "2", "--csv", csv});
    ASSERT_EQ(placed.Wait(), 0) << placed.err;
    std::ifstream written(csv, std::ios::binary);
    std::stringstream lines;
    lines << written.rdbuf();
    std::istringstream table(lines.str());
    std::string line;
    std::getline(table, line);
    EXPECT_EQ(line, "Pack,Group,Position,Cell,Resistance[mohm],Voltage[volt]\r");
    // Every placed cell of the CSV stands in the sheet and in the JSON in the same order.
    ChildProcess json =
        K720ctl({input, "--series", "2", "--parallel", "3", "--count", "2", "--json"});
    ASSERT_EQ(json.Wait(), 0) << json.err;
    std::size_t inText = 0, inJson = 0;
    int cells = 0;
    while (std::getline(table, line)) {
        const std::string name = line.substr(line.find(",C-") + 1, 5);
        inText = placed.out.find("    " + name + " ", inText);
        inJson = json.out.find("{\"cell\": \"" + name + "\", \"resistance\"", inJson);
        ASSERT_NE(inText, std::string::npos) << name << "\n" << placed.out;
        ASSERT_NE(inJson, std::string::npos) << name << "\n" << json.out;
        ++cells;
    }
    EXPECT_EQ(cells, 12);
    EXPECT_NE(placed.out.find("Pack 2 of 2: 2S x 3P"), std::string::npos) << placed.out;
    EXPECT_NE(placed.out.find("C-025  FAIL"), std::string::npos);
    EXPECT_NE(placed.out.find("C-026  resistance over range"), std::string::npos);

    // Too few cells for five packs: nothing written, the count that could be built said.
    std::filesystem::remove(csv);
    ChildProcess tooMany =
        K720ctl({input, "--series", "2", "--parallel", "3", "--count", "5", "--csv", csv});
    EXPECT_EQ(tooMany.Wait(), 1);
    EXPECT_NE(tooMany.err.find(" of 5 packs can be built"), std::string::npos) << tooMany.err;
    EXPECT_FALSE(std::filesystem::exists(csv));

    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{input, "--series", "0", "--parallel", "3"},
          {input, "--series", "2", "--parallel", "1001"},
          {input, "--series", "2", "--parallel", "3", "--max-dv", "ten"},
          {input, "--series", "2", "--parallel", "3", "--results", "PASS,GOOD"},
          {"--series", "2", "--parallel", "3"},
          // The readings themselves as a destination, by another spelling, and one file for two.
          {input, "--series", "2", "--parallel", "3", "--csv", folder.File("./cells.csv")},
          {input, "--series", "2", "--parallel", "3", "--html", input},
          {input, "--series", "2", "--parallel", "3", "--csv", csv, "--html", csv}}) {
        ChildProcess refused = K720ctl(wrong);
        EXPECT_EQ(refused.Wait(), 2) << wrong.back();
    }
    std::ifstream kept(input, std::ios::binary);
    std::stringstream readings;
    readings << kept.rdbuf();
    EXPECT_EQ(readings.str(), File());
    EXPECT_FALSE(std::filesystem::exists(csv));
}

std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The file recorded in a history: its selection gives the same placement as the file, each cell
// named also by when it was measured; a selection of nothing builds nothing.
TEST(K720ctlPacks, TheHistorysSelectionGivesTheCells) {
    test_support::ScratchFolder folder;
    const std::string input = folder.File("cells.csv");
    std::ofstream(input, std::ios::binary) << File();
    const std::string store = folder.File("history.sqlite");
    ChildProcess imported(K720CTL_PROGRAM, {"history", "import", input, "--store", store});
    ASSERT_EQ(imported.Wait(), 0) << imported.err;

    const std::vector<std::string> rules{"--series", "2", "--parallel", "3", "--count", "2"};
    std::vector<std::string> fromFile{input, "--csv", folder.File("file.csv")};
    std::vector<std::string> fromHistory{"--store", store,   "--unit",
                                         "C",       "--csv", folder.File("history.csv")};
    fromFile.insert(fromFile.end(), rules.begin(), rules.end());
    fromHistory.insert(fromHistory.end(), rules.begin(), rules.end());
    ChildProcess byFile = K720ctl(fromFile);
    ChildProcess byHistory = K720ctl(fromHistory);
    ASSERT_EQ(byFile.Wait(), 0) << byFile.err;
    ASSERT_EQ(byHistory.Wait(), 0) << byHistory.err;
    std::string expected = Slurp(folder.File("file.csv"));
    for (std::size_t at = 0; (at = expected.find(",C-0", at)) != std::string::npos;) {
        const int slot = std::stoi(expected.substr(at + 3, 3));
        const std::string when =
            " 2026-12-1 9:" + std::string(slot < 10 ? "0" : "") + std::to_string(slot);
        expected.insert(at + 6, when);
        at += 6 + when.size();
    }
    EXPECT_EQ(Slurp(folder.File("history.csv")), expected);
    EXPECT_NE(byHistory.out.find("C-025 2026-12-1 9:25  FAIL"), std::string::npos) << byHistory.out;

    ChildProcess none =
        K720ctl({"--store", store, "--unit", "A", "--series", "1", "--parallel", "1"});
    EXPECT_EQ(none.Wait(), 1);
    for (const std::vector<std::string>& wrong :
         {std::vector<std::string>{input, "--store", store, "--series", "1", "--parallel", "1"},
          {input, "--unit", "C", "--series", "1", "--parallel", "1"},
          {"--store", store, "--from", "2026-13-01", "--series", "1", "--parallel", "1"},
          {"--store", store, "--html", store, "--series", "1", "--parallel", "1"}}) {
        ChildProcess refused = K720ctl(wrong);
        EXPECT_EQ(refused.Wait(), 2) << refused.err;
    }
    ChildProcess stillThere(K720CTL_PROGRAM, {"history", "import", input, "--store", store});
    EXPECT_EQ(stillThere.Wait(), 0) << stillThere.err;
    EXPECT_NE(stillThere.out.find("0 new readings"), std::string::npos) << stillThere.out;
}

} // namespace
