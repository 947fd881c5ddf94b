// The Windows program's options (the Qt program reads the same ones with
// QCommandLineParser; tests/e2e/today_test.sh runs both ways of asking).
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace tarvenia {
namespace {

    TEST(ParseArguments, OptionsAndTheirPrecedence)
    {
        using C = CommandLine::Command;
        const struct {
            std::vector<std::string> args;
            C command;
            std::string error;
        } cases[] = {
            { {}, C::Window, "" },
            { { "--today" }, C::Today, "" },
            { { "--help" }, C::Help, "" },
            { { "-h" }, C::Help, "" },
            { { "/?" }, C::Help, "" },
            { { "--version" }, C::Version, "" },
            { { "-v" }, C::Version, "" },
            { { "--today", "--help" }, C::Help, "" },
            { { "--version", "--today" }, C::Version, "" },
            { { "--today", "--bogus" }, C::Window, "unknown option '--bogus'" },
            { { "photo.jpg" }, C::Window, "unknown option 'photo.jpg'" },
            { { "--Today" }, C::Window, "unknown option '--Today'" },
        };
        for (const auto& c : cases) {
            const CommandLine parsed = ParseArguments(c.args);
            EXPECT_EQ(parsed.command, c.command) << ::testing::PrintToString(c.args);
            EXPECT_EQ(parsed.error, c.error) << ::testing::PrintToString(c.args);
        }
    }

} // namespace
} // namespace tarvenia
