#include "protocol/daily_response.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tarvenia::DailyResponseText;
using tarvenia::ParseDailyResponse;
using Tokens = std::vector<std::string>;

struct Parsed {
    std::string current, selected;
    Tokens tokens;
};

Parsed Parse(const std::string& text, Tokens tokens = {})
{
    Parsed p { "old", "old", std::move(tokens) };
    ParseDailyResponse(text, p.current, p.selected, p.tokens);
    return p;
}

TEST(DailyResponse, Parse)
{
    const std::string k = "20030305";
    const std::string a = "http://a.example/fotos/";
    const std::string b = "http://b.example/";
    struct Row {
        const char* what;
        std::string text;
        std::string key;
        Tokens tokens;
    };
    const std::vector<Row> rows = {
        // The loop's special cases, each after a key.
        { "<a>b", k + "<a>b", k, { "a" } },
        { "<>", k + "<>", k, { "" } },
        { "> before the first <", k + ">x<y>", k, { "", "y" } },
        { "< inside a token", k + "<a<b>c>", k, { "a<b" } },
        { "junk around tokens", k + "junk<a> more <b>", k, { "a", "b" } },
        { "< with no > after it", k + "<a", k, {} },
        { "< with no > after a token", k + "<a><b", k, { "a" } },
        { "> then < with no > after it", k + ">x<y", k, { "" } },
        { "> only", k + ">>", k, {} },
        // Worked examples.
        { "two bases", k + "<" + a + "><" + b + ">", k, { a, b } },
        { "stray > first", k + ">x<" + a + ">  <" + b + ">\r\n", k, { "", a, b } },
        { "short response", "2003", "2003", {} },
        { "empty response", "", "", {} },
        // More.
        { "exactly 8 characters", k, k, {} },
        { "spaces and line ends between tokens", k + "\r\n<" + a + ">\r\n  <" + b + ">\n", k,
            { a, b } },
        { "<> shifts later tokens", k + "<><" + a + ">", k, { "", a } },
        { "key not checked", "abc<d>ef<g>h", "abc<d>ef", { "g" } },
        { "brackets inside the key are key", "2003<a>05<b>", "2003<a>0", { "b" } },
        { "eleven tokens", k + "<0><1><2><3><4><5><6><7><8><9><10>", k,
            { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10" } },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Parsed p = Parse(row.text);
        EXPECT_EQ(p.current, row.key);
        EXPECT_EQ(p.selected, row.key);
        EXPECT_EQ(p.tokens, row.tokens);
    }
}

TEST(DailyResponse, TokensAreAppendedToWhatIsThere)
{
    EXPECT_EQ(Parse("20030305<a>", { "x" }).tokens, (Tokens { "x", "a" }));
}

TEST(DailyResponseText, LastNonEmptyReadUpToItsFirstNul)
{
    using Reads = std::vector<std::string>;
    struct Row {
        const char* what;
        Reads reads;
        std::string text;
    };
    const std::vector<Row> rows = {
        { "no read", {}, "" },
        { "only empty reads", { "", "" }, "" },
        { "one read", { "20030305<a>" }, "20030305<a>" },
        { "empty read at the end is ignored", { "20030305<a>", "" }, "20030305<a>" },
        { "the last non-empty read wins", { "20030305<a>", "tail<b>" }, "tail<b>" },
        { "NUL ends the text", { std::string("20030305<a>\0<b>", 15) }, "20030305<a>" },
        { "NUL first",
            { std::string("\0"
                          "20030305",
                9) },
            "" },
        { "bytes above 0x7F", { "20030305<\xE9>" }, "20030305<\xE9>" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DailyResponseText text;
        for (const auto& read : row.reads)
            text.OnRead(read.data(), read.size());
        EXPECT_EQ(text.Text(), row.text);
    }

    // A NUL hides the tokens after it from the parse.
    DailyResponseText text;
    std::string read("20030305<a>\0<b>", 15);
    text.OnRead(read.data(), read.size());
    EXPECT_EQ(Parse(text.Text()).tokens, (Tokens { "a" }));
}

} // namespace
