// The wallpaper of window managers without a desktop, where the user set it
// up with feh: its ~/.fehbg script is what the session runs at log-in.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tarvenia {

class FehWallpaper {
public:
    FehWallpaper(std::string script_path, std::chrono::milliseconds run_limit);

    // Rewrites the script for `bitmap_path` and runs it. False (and nothing
    // done) when there is no script or no feh command in it.
    bool Apply(const std::string& bitmap_path);

    // The script with the images of its feh command replaced by
    // `bitmap_path`; the options (--bg-fill, --no-xinerama, ...) and every
    // other line stay as they are.
    static std::optional<std::string> Rewrite(
        const std::string& script, const std::string& bitmap_path);

private:
    std::string script_path_;
    std::chrono::milliseconds run_limit_;
};

} // namespace tarvenia
