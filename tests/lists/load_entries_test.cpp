#include "base/error.h"
#include "lists/catalog.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using tarvenia::CompareKeys;
using tarvenia::IoError;
using tarvenia::LoadEntries;
using tarvenia::PackedStrings;
using tarvenia::VectorStringList;
using tarvenia::testing::TempFolder;

struct Entry {
    std::string title, base, key;
    bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << "{" << ::testing::PrintToString(e.key) << ", " << ::testing::PrintToString(e.base)
               << ", " << ::testing::PrintToString(e.title) << "}";
}

struct Lists {
    VectorStringList titles;
    PackedStrings bases, keys;

    void Load(const std::string& path, const std::string& current_key)
    {
        LoadEntries(path, current_key, titles, bases, keys);
    }
    std::vector<Entry> Entries() const
    {
        EXPECT_EQ(titles.items.size(), keys.size());
        EXPECT_EQ(bases.size(), keys.size());
        std::vector<Entry> out;
        for (std::size_t i = 0; i < keys.size() && i < titles.items.size() && i < bases.size(); ++i)
            out.push_back(
                { std::string(titles.items[i]), std::string(bases[i]), std::string(keys[i]) });
        return out;
    }
};

const std::string kTitle41 = "Puesta de sol sobre el lago, 2003 (\xE9"
                             "t\xE9) .";

TEST(CompareKeys, OrdersBytesUnsignedAndPrefixesLow)
{
    struct Row {
        std::string a, b;
        int sign;
    };
    const std::vector<Row> rows = {
        { "20030305", "20030305", 0 },
        { "20030304", "20030305", -1 },
        { "2003", "20030305", -1 },
        { "", "2", -1 },
        { "\x7F", "\x80", -1 }, // unsigned: 0x80 sorts above 0x7F
        { std::string("a\0b", 3), std::string("a\0c", 3), -1 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.a) + " vs " + ::testing::PrintToString(row.b));
        int forward = CompareKeys(row.a, row.b);
        int backward = CompareKeys(row.b, row.a);
        EXPECT_EQ((forward > 0) - (forward < 0), row.sign);
        EXPECT_EQ((backward > 0) - (backward < 0), -row.sign);
    }
}

// The lists' storage: empty items (first ones too), NUL bytes, appending
// one list to another and cutting one back keep every item whole.
TEST(PackedStrings, KeepsEveryItemWhole)
{
    using Items = std::vector<std::string>;
    auto items = [](const PackedStrings& list) { return Items(list.begin(), list.end()); };
    const std::string nul("b\0c", 3);
    PackedStrings list { "", "a", "", nul };
    EXPECT_EQ(items(list), (Items { "", "a", "", nul }));

    PackedStrings tail { "20240105", "" };
    list.append(tail);
    list.append(PackedStrings {});
    EXPECT_EQ(items(list), (Items { "", "a", "", nul, "20240105", "" }));

    list.truncate(99);
    EXPECT_EQ(list.size(), 6u);
    list.truncate(2);
    list.push_back("x");
    EXPECT_EQ(list, (PackedStrings { "", "a", "x" }));
    list.truncate(0);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.bytes(), 0u);
}

TEST(LoadEntries, ListsLinesUpToTheCurrentKey)
{
    ASSERT_EQ(kTitle41.size(), 41u);
    const std::string k = "20030305";
    const std::string full = k + "1" + kTitle41;
    struct Row {
        const char* what;
        std::string bytes;
        std::string current_key;
        std::vector<Entry> entries;
    };
    const std::vector<Row> rows = {
        { "above, equal, below", "200303061Manana\r\n200303050Hoy\r\n200303042Ayer\r\n", k,
            { { "Hoy", "0", "20030305" }, { "Ayer", "2", "20030304" } } },
        { "a key that begins the current key is below it", "2003\r\n", k, { { "", "", "2003" } } },
        { "exactly 8 characters", k + "\r\n", k, { { "", "", k } } },
        { "exactly 9 characters", k + "7\r\n", k, { { "", "7", k } } },
        { "exactly 50 characters", full + "\r\n", k, { { kTitle41, "1", k } } },
        { "longer lines are cut at 50 characters", full + "tail\r\n", k, { { kTitle41, "1", k } } },
        { "a very long line", full + std::string(300000, 'z') + "\r\n" + k + "2B", k,
            { { kTitle41, "1", k }, { "B", "2", k } } },
        { "leading blanks are not counted", "   \t" + k + "3T\r\n", k, { { "T", "3", k } } },
        { "trailing spaces belong to the title", k + "3T  \r\n", k, { { "T  ", "3", k } } },
        { "empty current key lists nothing", k + "1A\r\n0\r\n", "", {} },
        { "short current key", "20031A\r\n2003\r\n2002\r\n", "2003",
            { { "", "", "2003" }, { "", "", "2002" } } },
        { "title bytes are kept as they are", k + "1\xF1\xE1\x01\x7F\xFF\r\n", k,
            { { "\xF1\xE1\x01\x7F\xFF", "1", k } } },
        { "non-digit base index is kept as text", k + "xT\r\n", k, { { "T", "x", k } } },
    };
    TempFolder folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Lists lists;
        lists.Load(folder.Write("c.qdl", row.bytes), row.current_key);
        EXPECT_EQ(lists.Entries(), row.entries);
    }
}

TEST(LoadEntries, AppendsToWhatTheListsHold)
{
    TempFolder folder;
    Lists lists;
    lists.titles.Add("old");
    lists.bases.push_back("0");
    lists.keys.push_back("19990101");
    lists.Load(folder.Write("f.qdl", "200001011new\r\n"), "20000101");
    EXPECT_EQ(lists.Entries(),
        (std::vector<Entry> { { "old", "0", "19990101" }, { "new", "1", "20000101" } }));
}

TEST(LoadEntries, FailuresCarryTheIoErrorTexts)
{
    TempFolder folder;
    std::filesystem::create_directory(folder.Path("sub"));
    struct Row {
        const char* what;
        std::string path;
        const char* text;
    };
    const std::vector<Row> rows = {
        { "missing file", folder.Path("none.qdl"), "File not found" },
        { "missing folder", folder.Path("nofolder") + "/x.qdl", "Invalid filename" },
        { "a folder", folder.Path("sub"), "File access denied" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Lists lists;
        lists.titles.Add("kept");
        lists.bases.push_back("1");
        lists.keys.push_back("20000101");
        try {
            lists.Load(row.path, "99999999");
            ADD_FAILURE() << "no error";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), row.text);
        }
        EXPECT_EQ(lists.Entries().size(), 1u);
    }
}

// A list that refuses its n-th item, to fail LoadEntries half-way.
class FailingList : public VectorStringList {
public:
    explicit FailingList(int fail_at)
        : fail_at_(fail_at)
    {
    }
    void Add(const std::string& item) override
    {
        if (Count() == fail_at_)
            throw std::runtime_error("full");
        VectorStringList::Add(item);
    }
    // One by one, so that the load fails with the second title.
    void AddAll(PackedStrings&& added) override { StringList::AddAll(std::move(added)); }

private:
    int fail_at_;
};

// Open descriptors of this process where the system lists them (Linux);
// -1 elsewhere.
long OpenDescriptors()
{
#ifdef _WIN32
    return -1; // under Wine, /proc/self/fd lists Wine's own descriptors
#endif
    std::error_code ec;
    std::filesystem::directory_iterator fds("/proc/self/fd", ec);
    if (ec)
        return -1;
    return static_cast<long>(std::distance(fds, std::filesystem::directory_iterator()));
}

TEST(LoadEntries, ClosesTheFileOnEveryPath)
{
    TempFolder folder;
    std::string path = folder.Write("c.qdl", "200001011A\r\n200001012B\r\n");
    long before = OpenDescriptors();
    for (int i = 0; i < 3; ++i) {
        FailingList titles(1);
        PackedStrings bases, keys;
        EXPECT_THROW(LoadEntries(path, "20000101", titles, bases, keys), std::runtime_error);
        EXPECT_EQ(titles.items, PackedStrings { "A" });
        // The lists stay parallel: the entry whose title was refused is gone.
        EXPECT_EQ(keys, PackedStrings { "20000101" });
        EXPECT_EQ(bases, PackedStrings { "1" });
        Lists lists;
        lists.Load(path, "20000101");
        EXPECT_EQ(lists.keys.size(), 2u);
        EXPECT_THROW(lists.Load(folder.Path("none.qdl"), "20000101"), IoError);
    }
    EXPECT_EQ(OpenDescriptors(), before);
    // Where an open file cannot be removed (Windows), this catches a leak too.
    std::error_code ec;
    std::filesystem::remove(path, ec);
    EXPECT_FALSE(ec) << ec.message();
}

} // namespace
