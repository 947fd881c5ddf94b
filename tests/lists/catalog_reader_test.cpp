#include "base/file.h"
#include "lists/catalog.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tarvenia::CatalogReader;
using tarvenia::File;
using tarvenia::testing::TempFolder;
using Lines = std::vector<std::string>;

Lines ReadLines(const std::string& bytes, std::size_t keep = std::string::npos)
{
    TempFolder folder;
    File file(folder.Write("c.qdl", bytes), File::Mode::Read);
    CatalogReader reader(file);
    Lines lines;
    std::string line;
    while (keep == std::string::npos ? reader.NextLine(line) : reader.NextLine(line, keep))
        lines.push_back(line);
    // Once exhausted, the reader stays exhausted.
    EXPECT_FALSE(reader.NextLine(line));
    EXPECT_EQ(line, "");
    return lines;
}

TEST(CatalogReader, ReadingRules)
{
    const std::string block(64 * 1024, 'b'); // the reader's block size
    struct Row {
        const char* what;
        std::string bytes;
        Lines lines;
    };
    const std::vector<Row> rows = {
        { "empty file", "", {} },
        { "blanks only", " \t\r\n\r\n  \x01\x1F", {} },
        { "CR LF", "aa\r\nbb\r\n", { "aa", "bb" } },
        { "CR alone", "aa\rbb\r", { "aa", "bb" } },
        { "mixed ends, last line without one", "aa\r\nbb\rcc", { "aa", "bb", "cc" } },
        { "LF is part of the line", "aa\nbb\ncc\n", { "aa\nbb\ncc\n" } },
        { "LF after leading blanks is skipped", "\n\naa\n", { "aa\n" } },
        { "CR LF LF", "aa\r\n\nbb", { "aa", "bb" } },
        { "leading blanks dropped, trailing kept", "   \tkey  \r\n", { "key  " } },
        { "control bytes are blanks", "\x01\x02x\x03y", { "x\x03y" } },
        { "bytes above 0x7F are data", "\xA0\xFF\r\n", { "\xA0\xFF" } },
        { "0x1A ends the data mid-line",
            "aa\r\nbb\x1A"
            "cc\r\ndd",
            { "aa", "bb" } },
        { "0x1A while skipping blanks",
            "aa\r\n  \x1A"
            "bb",
            { "aa" } },
        { "0x1A first",
            "\x1A"
            "aa",
            {} },
        { "0x1A is not a blank", "aa\r\x1A\r\nbb", { "aa" } },
        { "empty lines between", "aa\r\n\r\n\r\r\n  \r\nbb", { "aa", "bb" } },
        { "equal lines stay", "aa\r\naa\r\n", { "aa", "aa" } },
        { "a line longer than a block", "x" + block + "y\r\nz", { "x" + block + "y", "z" } },
        { "CR LF split across blocks", block.substr(1) + "\r\nz", { block.substr(1), "z" } },
        { "0x1A right after a block",
            block
                + "\x1A"
                  "z",
            { block } },
        { "blanks across a block", std::string(block.size() + 5, ' ') + "z", { "z" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadLines(row.bytes), row.lines);
    }
}

TEST(CatalogReader, KeepsOnlyThePrefixButPassesTheWholeLine)
{
    const std::string longLine = "0123456789" + std::string(200000, 'x');
    EXPECT_EQ(ReadLines(longLine + "\r\nabc\r\n", 5), (Lines { "01234", "abc" }));
    EXPECT_EQ(ReadLines("abc\r\x1A", 0), (Lines { "" }));
}

} // namespace
