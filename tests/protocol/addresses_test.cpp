#include "base/error.h"
#include "protocol/addresses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace tarvenia;

TEST(Addresses, ServiceAddresses)
{
    const std::string& base = ServiceBaseAddress();
    ASSERT_EQ(base.rfind("http://", 0), 0u) << base;
    ASSERT_NE(base.back(), '/');
    EXPECT_EQ(DailyAddress("20030305"), base + "/cgi-bin/avui.cgi?20030305");
    EXPECT_EQ(CatalogAddress(), base + "/quindelar/esp/quindelar2.qdl");
    EXPECT_EQ(ConfirmationAddress("20030305"), base + "/cgi-bin/fotos.cgi?20030305");
}

TEST(Addresses, PhotoAddress)
{
    std::vector<std::string> bases
        = { "http://a/", "http://b/x/", "", "3", "4", "5", "6", "7", "8", "http://j/", "k" };
    struct Row {
        std::string index;
        std::string address; // empty: the error text below
        std::string error;
    };
    const std::vector<Row> rows = {
        { "0", "http://a/20030301.jpg", "" },
        { "1", "http://b/x/20030301.jpg", "" },
        { "2", "20030301.jpg", "" }, // an empty token
        { "9", "http://j/20030301.jpg", "" },
        { "10", "k20030301.jpg", "" },
        { "11", "", "List index out of bounds (11)" },
        { "x", "", "'x' is not a valid integer value" },
        { "", "", "'' is not a valid integer value" },
        { " ", "", "' ' is not a valid integer value" },
        { "-1", "", "'-1' is not a valid integer value" },
        { "1a", "", "'1a' is not a valid integer value" },
        { "\xE9", "", "'\xE9' is not a valid integer value" },
        { "99999999999999999999", "", "'99999999999999999999' is not a valid integer value" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE("index '" + row.index + "'");
        try {
            EXPECT_EQ(PhotoAddress(bases, row.index, "20030301"), row.address);
            EXPECT_TRUE(row.error.empty());
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), row.error);
        }
    }

    std::vector<std::string> few = { "http://a/" };
    try {
        PhotoAddress(few, "5", "20030301");
        ADD_FAILURE() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
}

// What both HTTP clients may open: the scheme decides, in any letter case.
TEST(Addresses, OnlyHttpAndHttpsAddressesMayBeOpened)
{
    const struct {
        const char* url;
        bool web;
    } rows[] = {
        { "http://fotos1.tarvenia.example/20030301.jpg", true },
        { "HTTPS://fotos1.tarvenia.example/", true },
        { "hTtP://x", true },
        { "http://", true },
        { "20030301.jpg", false }, // an empty base token
        { "fotos1.tarvenia.example/20030301.jpg", false },
        { "//fotos1.tarvenia.example/x.jpg", false },
        { "http:/x.jpg", false },
        { "http:\\\\x.jpg", false },
        { " http://x/", false },
        { "ftp://x/", false },
        { "file:///etc/passwd", false },
        { "httpx://x/", false },
        { "", false },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.url);
        EXPECT_EQ(IsWebAddress(row.url), row.web);
    }
}

} // namespace
