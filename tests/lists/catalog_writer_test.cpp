#include "base/error.h"
#include "lists/catalog.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using tarvenia::CatalogWriter;
using tarvenia::IoError;
using tarvenia::testing::TempFolder;

const std::string kEof = "\x1A";

TEST(CatalogWriter, AppendCutsAtTheFirstEndOfDataInTheLast128Bytes)
{
    const std::string line = "200303051Hoy\r\n";
    const std::string added = "200303062Nueva\r\n";
    const std::string filler(200, 'f');
    struct Row {
        const char* what;
        std::string before;
        std::string after;
    };
    const std::vector<Row> rows = {
        { "plain file", line, line + added },
        { "empty file", "", added },
        { "last line without CR LF is joined", "200303051Hoy", "200303051Hoy" + added },
        { "trailing 0x1A", line + kEof, line + added },
        { "several 0x1A: cut at the first", line + "ab" + kEof + "cd" + kEof, line + "ab" + added },
        { "only byte 0x1A", kEof, added },
        { "0x1A first of exactly 128", kEof + std::string(127, 'x'), added },
        { "0x1A first of the last 128", filler + kEof + std::string(127, 'x'), filler + added },
        { "0x1A just before the last 128 stays", filler + kEof + std::string(128, 'x'),
            filler + kEof + std::string(128, 'x') + added },
        { "early 0x1A stays, late one cuts", kEof + filler + kEof + "z", kEof + filler + added },
    };
    TempFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::string path = folder.Write("f.qdl", row.before);
        CatalogWriter writer = CatalogWriter::Append(path);
        writer.WriteLine("20030306", "2", "Nueva");
        writer.Close();
        EXPECT_EQ(TempFolder::Read(path), row.after);
    }
}

TEST(CatalogWriter, CreateAndAppendOrCreate)
{
    TempFolder folder;
    std::string path = folder.Write("f.qdl", "old contents" + kEof);
    {
        CatalogWriter writer = CatalogWriter::Create(path);
        writer.WriteLine("20030305", "1", "A");
        writer.WriteLine("20030304", "", "");
        writer.WriteLine("20030303", "0", "T\xEDtulo \x80\xFF  ");
        // closed by the destructor
    }
    EXPECT_EQ(
        TempFolder::Read(path), "200303051A\r\n20030304\r\n200303030T\xEDtulo \x80\xFF  \r\n");

    std::string fresh = folder.Path("new.qdl");
    {
        CatalogWriter writer = CatalogWriter::AppendOrCreate(fresh);
        writer.WriteLine("20030305", "1", "A");
        writer.Close();
        writer.Close(); // a second close does nothing
    }
    {
        CatalogWriter writer = CatalogWriter::AppendOrCreate(fresh);
        writer.WriteLine("20030305", "1", "A");
    }
    EXPECT_EQ(TempFolder::Read(fresh), "200303051A\r\n200303051A\r\n");

    {
        CatalogWriter writer = CatalogWriter::Create(fresh);
    }
    EXPECT_EQ(TempFolder::Read(fresh), "");
}

TEST(CatalogWriter, FailuresCarryTheIoErrorTexts)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path("sub"));
    std::string missing = folder.Path("none.qdl");
    std::string no_folder = folder.Path("nofolder") + "/f.qdl";
    struct Row {
        const char* what;
        std::function<void()> open;
        const char* text;
    };
    const std::vector<Row> rows = {
        { "append to a missing file", [&] { CatalogWriter::Append(missing); }, "File not found" },
        { "append-or-create in a missing folder", [&] { CatalogWriter::AppendOrCreate(no_folder); },
            "Invalid filename" },
        { "create over a folder", [&] { CatalogWriter::Create(folder.Path("sub")); },
            "File access denied" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        try {
            row.open();
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), row.text);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(CatalogWriter, ReplaceTakesThePlaceOfTheOldFileOnlyWhenComplete)
{
    TempFolder folder;
    const std::string old_contents = "200303051Uno\r\n200303040Dos\r\n";
    std::string path = folder.Write("f.qdl", old_contents);
    {
        CatalogWriter writer = CatalogWriter::Replace(path);
        writer.WriteLine("20030305", "1", "Uno");
        // Not closed: as after a failed write, the old file must stay whole.
    }
    EXPECT_EQ(TempFolder::Read(path), old_contents);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
    {
        CatalogWriter writer = CatalogWriter::Replace(path);
        writer.WriteLine("20030304", "0", "Dos");
        writer.Close();
    }
    EXPECT_EQ(TempFolder::Read(path), "200303040Dos\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));

    // The new version cannot be written beside the old one: an error, and the
    // old file is untouched.
    std::filesystem::create_directory(path + ".new");
    try {
        CatalogWriter::Replace(path);
        ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
    EXPECT_EQ(TempFolder::Read(path), "200303040Dos\r\n");
}

} // namespace
