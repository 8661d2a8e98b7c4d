// The comparator table file and table text: what the parse accepts and refuses (with which
// message), loading, saving, and what a failed save leaves behind.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comp/table_file.h"
#include "tests/support/measure_support.h"
#include "translations/text_language.h"

namespace {

using namespace comp;
using measure_test::ReadFileBytes;
using measure_test::ScratchFolder;
using measure_test::WriteFileBytes;

const std::string kHeader = "Model,K720 BATTERY TARVELIN\r\nUpDate,2006-01-01\r\n"
                            "File,COMPARATOR TABLE,V1.00\r\n\r\n"
                            "No,Name,R-Range,R-Lim1[mohm],R-Lim2[mohm],V-Range,V-Lim[volt]\r\n";

std::string DefaultLine(int entry) {
    return std::to_string(entry) + ",No Name,3m,0.000,0.000,6V,0.000";
}

// A table text of `count` entry lines after `header`, entry `changed` replaced by `line`.
std::string TableText(int changed = 0, const std::string& line = "",
                      const std::string& header = kHeader, int count = kEntryCount) {
    std::string text = header;
    for (int entry = 1; entry <= count; ++entry) {
        text += (entry == changed ? line : DefaultLine(entry)) + "\r\n";
    }
    return text + "\r\n\r\n";
}

std::string FieldMessage(int entry, const char* field) {
    return "File corrupted.  \nCan not open. \n\n( No." + std::to_string(entry) + ", " + field +
           " )";
}

const std::string kNumberFault = "File corrupted.\nCan not open. (1)  ";
const std::string kNameFault = "File corrupted.\nCan not open. (2)  ";

const std::string kKanji20 = [] {
    std::string text;
    for (int i = 0; i < 20; ++i) {
        text += "\x93\xFA";
    }
    return text;
}();

// One entry line, and the row it gives or the message it fails with.
TEST(TableFile, EntryLinesFieldByField) {
    struct Case {
        int entry;
        std::string line;
        std::string message; // empty: the line loads as `row`
        CompRow row;
    };
    const auto row = [](const char* rRange, const char* lim1, const char* lim2, const char* vRange,
                        const char* vLim, std::string name = "n") {
        return CompRow{std::move(name), rRange, lim1, lim2, vRange, vLim};
    };
    const std::vector<Case> cases = {
        {1, "1,n,3m,3.1,0,6V,0", "", row("3m", "3.100", "0.000", "6V", "0.000")},
        {1, "1,n,3m,abc,0,6v,6", "", row("3m", "0.000", "0.000", "6V", "6.000")},
        {1, "1,n,3,abc,12.7,60V,60", "", row("3", "0", "12", "60V", "60.00")},
        {1, "1,n,30M,1.16,31,6V,1.2345", "", row("30m", "1.16", "31.00", "6V", "1.234")},
        {1, "1,n,300m, 310,1e2,60v,0.005", "", row("300m", "310.0", "100.0", "60V", "0.00")},
        {1, "1,n,\x82\x52\x82\x4F\x82\x6C,1,2,\x82\x55\x82\x4F\x82\x96,3", "",
         row("30m", "1.00", "2.00", "60V", "3.00")},
        {1, "1,n,\x82\x52\x82\x8D,1,2,\x82\x55\x82\x75,3", "",
         row("3m", "1.000", "2.000", "6V", "3.000")},
        {1, "01,n,\x82\x52,0,0,6V,0,more,fields", "", row("3", "0", "0", "6V", "0.000")},
        {1, " 1," + kKanji20 + ",3m,0,0,6V,0", "",
         row("3m", "0.000", "0.000", "6V", "0.000", kKanji20)},
        {1, "1,,3m,0,0,6V,0", "", row("3m", "0.000", "0.000", "6V", "0.000", "")},
        {1, "2,n,3m,0,0,6V,0", kNumberFault, {}},
        {1, ",n,3m,0,0,6V,0", kNumberFault, {}},
        {1, "1," + kKanji20 + "x,3m,0,0,6V,0", kNameFault, {}},
        {1, "1", kNameFault, {}},
        {137, "137,n,30mohm,0,0,6V,0", FieldMessage(137, "R-Range"), {}},
        {1, "1,n,30 m,0,0,6V,0", FieldMessage(1, "R-Range"), {}},
        {1, "1,n", FieldMessage(1, "R-Range"), {}},
        {1, "1,n,3m,3.1001,0,6V,0", FieldMessage(1, "R-Lim1"), {}},
        {1, "1,n,3m,-0.5,0,6V,0", FieldMessage(1, "R-Lim1"), {}},
        {1, "1,n,30m,0,31.01,6V,0", FieldMessage(1, "R-Lim2"), {}},
        {1, "1,n,3m,0", FieldMessage(1, "R-Lim2"), {}},
        {1, "1,n,3m,0,0,6 V,0", FieldMessage(1, "V-Range"), {}},
        {1, "1,n,3m,0,0,60V,60.01", FieldMessage(1, "V-Lim"), {}},
        {200, "200,n,3m,0,0,6V", FieldMessage(200, "V-Lim"), {}},
    };
    for (const Case& c : cases) {
        const ParsedTable parsed = ParseTableText(TableText(c.entry, c.line));
        EXPECT_EQ(parsed.message, c.message) << c.line;
        if (c.message.empty()) {
            EXPECT_EQ(parsed.rows[static_cast<std::size_t>(c.entry - 1)], c.row) << c.line;
        }
    }
}

// The header lines and the number of entry lines.
TEST(TableFile, HeaderLinesAndEntryCount) {
    const std::string formatFault1 =
        "Incorrect file format. (1) \nPlease select the correct file.  ";
    const std::string formatFault2 =
        "Incorrect file format. (2) \nPlease select the correct file.  ";
    std::string skipped = kHeader;
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        skipped += DefaultLine(entry < 100 ? entry : entry + 1) + "\r\n";
    }
    struct Case {
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {TableText(0, "",
                   "Model,K720 BATTERY TARVELIN,more\r\nanything\r\n"
                   "File,COMPARATOR TABLE,V9.99\r\n\r\n\r\n"),
         ""},
        {TableText() + "201,extra lines are ignored\r\n", ""},
        {"", formatFault1},
        {TableText(0, "", "Model,K720 BATTERY\r\nUpDate,2006-01-01\r\nFile,COMPARATOR TABLE\r\n"),
         formatFault1},
        {TableText(0, "", "Model,K720 BATTERY TARVELIN\r\nUpDate\r\nFile,COMPARATOR\r\n"),
         formatFault2},
        {"Model,K720 BATTERY TARVELIN\r\nUpDate,2006-01-01\r\n", formatFault2},
        {skipped, kNumberFault},
        {TableText(0, "", kHeader, 150), kNumberFault},
        {TableText(0, "", kHeader, 199), kNumberFault},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseTableText(c.text).message, c.message) << c.text.substr(0, 120);
    }
}

// Rows of every range and kind of Name, saved and loaded again.
CompTable VariedTable() {
    CompTable rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const RangeSpec& r = kResistanceRanges[i % 4];
        const RangeSpec& v = kVoltageRanges[i % 2];
        const int count = static_cast<int>(i * 37 % 3101);
        rows[i] = {i % 3 == 0 ? kKanji20 : "Cell " + std::to_string(i),
                   std::string(r.tableText),
                   FormatLimit(count / 2, r.decimals),
                   FormatLimit(count, r.decimals),
                   std::string(v.tableText),
                   FormatLimit(static_cast<int>(i * 53 % 6001), v.decimals)};
    }
    rows[0] = {"", "30m", "1.16", "1.16", "60V", "60.00"};
    return rows;
}

TEST(TableFile, SavedTableLoadsBackRowForRow) {
    ScratchFolder folder;
    const std::string path = folder.File("table.csv");
    const CompTable rows = VariedTable();
    ASSERT_EQ(WriteTableFile(path, rows, {2024, 1, 5}).message, "");
    const std::string saved = ReadFileBytes(path);
    for (int cycle = 0; cycle < 20; ++cycle) {
        std::string text;
        ASSERT_TRUE(LoadTableFile(path, text).Ok());
        const ParsedTable parsed = ParseTableText(text);
        ASSERT_EQ(parsed.message, "");
        ASSERT_EQ(parsed.rows, rows) << "cycle " << cycle;
        ASSERT_TRUE(WriteTableFile(path, parsed.rows, {2024, 1, 5}).Ok());
        ASSERT_EQ(ReadFileBytes(path), saved) << "cycle " << cycle;
    }
    // The table text before a transfer carries the same rows under the fixed header lines.
    ASSERT_TRUE(BuildTableText(rows).Ok());
    EXPECT_EQ(g_compTableText, kHeader + saved.substr(saved.find("\r\n1,") + 2));
    EXPECT_EQ(ParseTableText().rows, rows);
}

TEST(TableFile, NewTableFileBytes) {
    ScratchFolder folder;
    const std::string path = folder.File("new.csv");
    ASSERT_TRUE(WriteTableFile(path, CompTable{}, {2024, 1, 5}).Ok());
    std::string expected = "Model,K720 BATTERY TARVELIN\r\nUpDate,2024-1-5\r\n"
                           "File,COMPARATOR TABLE,V1.03\r\n\r\n"
                           "No,Name,R-Range,R-Lim1[mohm],R-Lim2[mohm],V-Range,V-Lim[volt]\r\n";
    for (int entry = 1; entry <= kEntryCount; ++entry) {
        expected += DefaultLine(entry) + "\r\n";
    }
    EXPECT_EQ(ReadFileBytes(path), expected + "\r\n\r\n");
}

TEST(TableFile, LoadingTakesLfOrCrLfLinesUpToTheLimit) {
    ScratchFolder folder;
    const std::string crlf = TableText();
    std::string lf = crlf;
    for (std::size_t at = 0; (at = lf.find("\r\n", at)) != std::string::npos;) {
        lf.erase(at, 1);
    }
    for (const std::string& bytes : {crlf, lf}) {
        WriteFileBytes(folder.File("t.csv"), bytes);
        std::string text = "old";
        ASSERT_TRUE(LoadTableFile(folder.File("t.csv"), text).Ok());
        EXPECT_EQ(text, crlf);
    }
    // The last line is taken without its line end; no more than 251 lines are taken.
    WriteFileBytes(folder.File("t.csv"), "a\nb\r\nc");
    ASSERT_TRUE(LoadTableFile(folder.File("t.csv")).Ok());
    EXPECT_EQ(g_compTableText, "a\r\nb\r\nc\r\n");
    WriteFileBytes(folder.File("t.csv"), std::string(300, '\n'));
    ASSERT_TRUE(LoadTableFile(folder.File("t.csv")).Ok());
    EXPECT_EQ(g_compTableText.size(), 2u * kMaxTableFileLines);
    // More bytes than a table holds, before the last line taken: refused, the text kept.
    WriteFileBytes(folder.File("t.csv"), std::string(kMaxTableFileBytes + 1, 'x'));
    EXPECT_EQ(LoadTableFile(folder.File("t.csv")).message,
              "Can not open \"" + folder.File("t.csv") +
                  "\".  \nIt is larger than a comparator table file can be.");
    EXPECT_EQ(g_compTableText.size(), 2u * kMaxTableFileLines);
}

TEST(TableFile, FilesThatCannotBeReadNameThemselvesAndTheReason) {
    ScratchFolder folder;
    g_compTableText = "kept";
    const std::string missing = folder.File("missing.csv");
    const TableOutcome outcome = LoadTableFile(missing);
    EXPECT_EQ(outcome.message, "Can not open \"" + missing + "\".  \nNo such file or directory");
    EXPECT_NE(LoadTableFile(folder.Path()).message.find("not a file"), std::string::npos);
    EXPECT_EQ(g_compTableText, "kept");
}

// In Japanese the faults keep the entry's number and the file's own field name in place.
TEST(TableFile, JapaneseMessagesTakeTheirValues) {
    ScratchFolder folder;
    const std::string missing = folder.File("missing.csv");
    CompTable rows;
    rows[7].rLim2 = "3.2";
    UseTextLanguage(Language::Japanese);
    const std::string cannotOpen = LoadTableFile(missing).message;
    const std::string rowFault = CheckTableForWriting(rows).message;
    const std::string fieldFault =
        ParseTableText(TableText(1, "1,No Name,3m,0.000,0.000,7V,0.000")).message;
    UseTextLanguage(Language::English);
    EXPECT_EQ(cannotOpen, "\"" + missing + "\" を開けません。  \nNo such file or directory");
    EXPECT_EQ(rowFault,
              "テーブルを書き込めません。  \nNo.8 の R-Lim2 はテーブルの値ではありません。 ");
    EXPECT_EQ(fieldFault, "ファイルが壊れています。  \n開けません。 \n\n( No.1, V-Range )");
}

// A save that cannot be done says why and leaves the file that was there.
TEST(TableFile, FailedSaveKeepsTheOldFile) {
    ScratchFolder folder;
    const std::string path = folder.File("table.csv");
    WriteFileBytes(path, "old");
    CompTable rows;
    rows[41].name = "Li-ion, 18650";
    const TableOutcome comma = WriteTableFile(path, rows);
    EXPECT_NE(comma.message.find("Name of No.42"), std::string::npos) << comma.message;
    g_compTableText = "kept";
    EXPECT_FALSE(BuildTableText(rows).Ok());
    EXPECT_EQ(g_compTableText, "kept");
    rows[41].name = "Li-ion 18650";
    rows[7].rLim2 = "3.2"; // beyond the range, and not canonical
    EXPECT_NE(WriteTableFile(path, rows).message.find("R-Lim2 of No.8"), std::string::npos);
    {
        measure_test::FileSizeLimit full(1000);
        const TableOutcome outcome = WriteTableFile(path, CompTable{});
        EXPECT_EQ(outcome.message,
                  "Can not save \"" + path + "\".  \n" + std::generic_category().message(EFBIG));
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"table.csv"});
    EXPECT_NE(WriteTableFile(folder.Path(), CompTable{}).message.find("not a file"),
              std::string::npos);
}

} // namespace
