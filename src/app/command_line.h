// The program's options, the same on both platforms: the Qt program reads
// them with QCommandLineParser (main_qt.cpp), where Qt's own options pass
// through to the window; the Windows program with ParseArguments.
#pragma once

#include <string>
#include <vector>

namespace tarvenia {

struct CommandLine {
    enum class Command { Window, Today, Help, Version };
    Command command = Command::Window;
    // Why the arguments were not understood ("" when they were): the
    // program prints it with the usage and ends with status 2.
    std::string error;
};

// The arguments after the program's name.
CommandLine ParseArguments(const std::vector<std::string>& args);

// The Qt program's reading of its whole command line, with Qt's own options
// let through for the application object (command_line_qt.cpp, part of the
// Qt program only).
CommandLine ParseQtCommandLine(int argc, char* argv[]);

// The text of --help (ASCII), and of --version; an error prints its reason
// and the first line of the help.
std::string UsageText();
std::string VersionText();

// What the program prints for a command that needs no window and no run
// (help, version, an error), and the exit status. `box` shows a text where
// standard output reaches nobody (the Windows program started from
// Explorer); null: never.
using TextBox = void (*)(const std::string& text, bool error);
int ReportCommand(const CommandLine& command, TextBox box = nullptr);

} // namespace tarvenia
