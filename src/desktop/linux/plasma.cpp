#include "desktop/linux/plasma.h"

#include "desktop/linux/bus.h"

#include <cstdio>

namespace tarvenia {

namespace {

    // A double-quoted JavaScript string literal.
    std::string Quote(const std::string& text)
    {
        std::string quoted = "\"";
        for (unsigned char c : text) {
            if (c == '"' || c == '\\') {
                quoted += '\\';
                quoted += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", c);
                quoted += escape;
            } else {
                quoted += static_cast<char>(c);
            }
        }
        return quoted + "\"";
    }

} // namespace

PlasmaWallpaper::PlasmaWallpaper(SessionBus& bus)
    : bus_(bus)
{
}

std::string PlasmaWallpaper::Script(const std::string& file_uri)
{
    // The image is blanked first: a write of the value the shell already
    // holds need not make it reload, and the bitmap keeps its path.
    return "var uri = " + Quote(file_uri)
        + ";\n"
          "var all = desktops();\n"
          "for (var i = 0; i < all.length; i++) {\n"
          "    var d = all[i];\n"
          "    if (d.wallpaperPlugin !== \"org.kde.image\")\n"
          "        continue;\n"
          "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
          "    d.writeConfig(\"Image\", \"\");\n"
          "    d.writeConfig(\"Image\", uri);\n"
          "}\n";
}

bool PlasmaWallpaper::Apply(const std::string& file_uri)
{
    if (!g_utf8_validate(file_uri.data(), static_cast<gssize>(file_uri.size()), nullptr))
        return false;
    const std::string script = Script(file_uri);
    return bus_.Call("org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell", "evaluateScript",
                   g_variant_new("(s)", script.c_str()), nullptr)
               .value
        != nullptr;
}

} // namespace tarvenia
