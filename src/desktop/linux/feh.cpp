#include "desktop/linux/feh.h"

#include "desktop/linux/gobject_ptr.h"
#include "desktop/linux/process.h"

#include <sys/stat.h>
#include <vector>

namespace tarvenia {

namespace {

    // feh options that take the next word as their value.
    bool TakesValue(const std::string& option)
    {
        return option == "--image-bg" || option == "-B" || option == "--geometry" || option == "-g"
            || option == "--xinerama-index";
    }

    std::string QuoteWord(const std::string& word)
    {
        const bool plain = !word.empty()
            && word.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                      "0123456789_-+=.,/:@%")
                == std::string::npos;
        if (plain)
            return word;
        GCharPtr quoted(g_shell_quote(word.c_str()));
        return quoted.get();
    }

    std::string Basename(const std::string& path)
    {
        const auto slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }

    // The feh command of one script line, rebuilt for `bitmap_path`.
    std::optional<std::string> RewriteLine(const std::string& line, const std::string& bitmap_path)
    {
        gint argc = 0;
        gchar** argv = nullptr;
        if (!g_shell_parse_argv(line.c_str(), &argc, &argv, nullptr))
            return std::nullopt; // blank, comment only, or not simple words
        std::vector<std::string> words(argv, argv + argc);
        g_strfreev(argv);

        std::size_t command = 0;
        if (command < words.size() && words[command] == "exec")
            ++command;
        if (command >= words.size() || Basename(words[command]) != "feh")
            return std::nullopt;

        for (const std::string& word : words) {
            // A command list or redirection is more than this rewrite
            // understands; such a script is left as the user wrote it.
            if (word == "&" || word == "&&" || word == "||" || word == ";" || word == "|"
                || word.find_first_of("<>") == 0)
                return std::nullopt;
        }

        std::vector<std::string> kept(words.begin(), words.begin() + command + 1);
        for (std::size_t i = command + 1; i < words.size(); ++i) {
            const std::string& word = words[i];
            if (word.empty() || word[0] != '-')
                continue; // an image
            kept.push_back(word);
            if (TakesValue(word) && i + 1 < words.size())
                kept.push_back(words[++i]);
        }
        kept.push_back(bitmap_path);

        std::string rebuilt;
        for (const std::string& word : kept) {
            if (!rebuilt.empty())
                rebuilt += ' ';
            rebuilt += QuoteWord(word);
        }
        return rebuilt;
    }

} // namespace

FehWallpaper::FehWallpaper(std::string script_path, std::chrono::milliseconds run_limit)
    : script_path_(std::move(script_path))
    , run_limit_(run_limit)
{
}

std::optional<std::string> FehWallpaper::Rewrite(
    const std::string& script, const std::string& bitmap_path)
{
    std::string result;
    bool found = false;
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        const bool has_newline = end != std::string::npos;
        if (!has_newline)
            end = script.size();
        const std::string line = script.substr(start, end - start);
        std::optional<std::string> rebuilt;
        if (!found && line.rfind("#", 0) != 0)
            rebuilt = RewriteLine(line, bitmap_path);
        found = found || rebuilt.has_value();
        result += rebuilt ? *rebuilt : line;
        if (has_newline)
            result += '\n';
        start = end + 1;
    }
    if (!found)
        return std::nullopt;
    return result;
}

bool FehWallpaper::Apply(const std::string& bitmap_path)
{
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(script_path_.c_str(), &contents, &length, nullptr))
        return false;
    const std::string script(contents, length);
    g_free(contents);

    std::optional<std::string> rewritten = Rewrite(script, bitmap_path);
    if (!rewritten)
        return false;
    struct stat info { };
    const int mode
        = stat(script_path_.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : 0755;
    // Written whole under a temporary name and renamed, so that a crash
    // never leaves the log-in script cut short.
    if (*rewritten != script
        && !g_file_set_contents_full(script_path_.c_str(), rewritten->data(),
            static_cast<gssize>(rewritten->size()), G_FILE_SET_CONTENTS_CONSISTENT, mode, nullptr))
        return false;
    TimedProcess::Run({ "/bin/sh", script_path_ }, run_limit_);
    return true;
}

} // namespace tarvenia
