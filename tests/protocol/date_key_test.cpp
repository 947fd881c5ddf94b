#include "protocol/date_key.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace {

using tarvenia::DateKey;

TEST(DateKey, PadsMonthAndDay)
{
    struct Row {
        int y, m, d;
        const char* key;
    };
    const std::vector<Row> rows = {
        { 2003, 3, 5, "20030305" }, { 2003, 11, 15, "20031115" }, { 2003, 10, 1, "20031001" },
        { 2003, 9, 9, "20030909" }, { 2003, 10, 10, "20031010" }, { 1999, 12, 31, "19991231" },
        { 2024, 2, 29, "20240229" }, { 999, 1, 1, "9990101" }, // years keep no leading zeros
    };
    for (const auto& row : rows)
        EXPECT_EQ(DateKey(row.y, row.m, row.d), row.key);
}

TEST(DateKey, TodayIsTheLocalDate)
{
    // Taken around the call so that a midnight in between cannot fail it.
    auto local = [] {
        std::time_t now = std::time(nullptr);
        std::tm tm = *std::localtime(&now);
        return DateKey(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    };
    std::string before = local();
    std::string today = tarvenia::DateKeyToday();
    std::string after = local();
    EXPECT_TRUE(today == before || today == after) << today;
    EXPECT_EQ(today.size(), 8u);
}

} // namespace
