#include "app/command_line.h"

#include "app/console.h"
#include "window/headless/today_run.h"

namespace tarvenia {

CommandLine ParseArguments(const std::vector<std::string>& args)
{
    using Command = CommandLine::Command;
    CommandLine result;
    for (const std::string& arg : args) {
        Command command;
        if (arg == "--today")
            command = Command::Today;
        else if (arg == "--help" || arg == "-h" || arg == "-?" || arg == "/?")
            command = Command::Help;
        else if (arg == "--version" || arg == "-v")
            command = Command::Version;
        else
            return { Command::Window, "unknown option '" + arg + "'" };
        // Help wins over everything, the version over a run.
        if (result.command == Command::Window || command == Command::Help
            || (command == Command::Version && result.command == Command::Today))
            result.command = command;
    }
    return result;
}

namespace {
    constexpr char kUsageLine[] = "Usage: quindelar [--today | --help | --version]\n";
} // namespace

std::string UsageText()
{
    return std::string(kUsageLine)
        + "\n"
          "Without options, opens the window of Imagenes de Tarvenia.\n"
          "\n"
          "  --today        make today's photo the desktop wallpaper without a window:\n"
          "                 the photo the window shows first after \"Conectar\", set as\n"
          "                 \"Confirmar\" sets it; a photo an earlier run already set\n"
          "                 is neither fetched nor confirmed again\n"
          "  -h, --help     show this help and exit\n"
          "  -v, --version  show the version number and exit\n"
          "\n"
          "Exit status: 0 the photo is the wallpaper (its title and key on standard\n"
          "output); 1 it could not be set (the reason on standard error); 2 unknown\n"
          "option; 3 nothing done: the window is open, or another run did not end.\n"
          "\n"
#ifdef _WIN32
          "To run it daily and at log-on: the schtasks line in LEEME.txt.\n";
#else
          "To run it daily and after log-in: systemctl --user enable --now\n"
          "quindelar-daily.timer; its runs: journalctl --user -u quindelar-daily\n";
#endif
}

std::string VersionText() { return "quindelar " TARVENIA_VERSION "\n"; }

int ReportCommand(const CommandLine& command, TextBox box)
{
    const bool to_box = box && !HasStdout();
    if (!command.error.empty()) {
        const std::string text = "quindelar: " + command.error + "\n" + kUsageLine;
        to_box ? box(text, true) : WriteStderr(text);
        return headless::kExitUsage;
    }
    const std::string text
        = command.command == CommandLine::Command::Version ? VersionText() : UsageText();
    to_box ? box(text, false) : WriteStdout(text);
    return headless::kExitDone;
}

} // namespace tarvenia
