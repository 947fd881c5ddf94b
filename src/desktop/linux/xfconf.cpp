#include "desktop/linux/xfconf.h"

#include "desktop/linux/bus.h"

#include <algorithm>
#include <map>
#include <regex>

namespace tarvenia {

namespace {

    constexpr const char* kService = "org.xfce.Xfconf";
    constexpr const char* kObject = "/org/xfce/Xfconf";
    constexpr const char* kInterface = "org.xfce.Xfconf";
    constexpr const char* kChannel = "xfce4-desktop";

} // namespace

XfconfWallpaper::XfconfWallpaper(SessionBus& bus)
    : bus_(bus)
{
}

std::vector<std::string> XfconfWallpaper::TargetProperties(const std::vector<std::string>& existing)
{
    // Built by the first use, not with the program.
    // /backdrop/screen0/monitorHDMI-1/workspace0/last-image; releases before
    // workspaces had /backdrop/screen0/monitor0/image-path.
    static const std::regex image_property(
        "/backdrop/screen[^/]+/monitor[^/]+(/workspace[^/]+)?/(last-image|image-path)");
    static const std::regex workspace_folder("(/backdrop/screen[^/]+/monitor[^/]+/workspace0)/.*");
    std::vector<std::string> targets;
    for (const std::string& name : existing) {
        if (std::regex_match(name, image_property))
            targets.push_back(name);
    }
    if (targets.empty()) {
        // No picture was ever chosen, but the desktop may have stored other
        // settings under the monitor names it uses ("monitoreDP-1").
        std::smatch match;
        for (const std::string& name : existing) {
            if (std::regex_match(name, match, workspace_folder))
                targets.push_back(match[1].str() + "/last-image");
        }
    }
    if (targets.empty())
        targets.push_back("/backdrop/screen0/monitor0/workspace0/last-image");
    std::sort(targets.begin(), targets.end());
    targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
    return targets;
}

bool XfconfWallpaper::Apply(const std::string& path)
{
    if (!g_utf8_validate(path.data(), static_cast<gssize>(path.size()), nullptr))
        return false; // D-Bus strings are UTF-8
    SessionBus::Reply reply = bus_.Call(kService, kObject, kInterface, "GetAllProperties",
        g_variant_new("(ss)", kChannel, "/backdrop"), G_VARIANT_TYPE("(a{sv})"));
    std::map<std::string, std::string> current;
    if (reply.value) {
        GVariantPtr properties(g_variant_get_child_value(reply.value.get(), 0));
        GVariantIter iter;
        g_variant_iter_init(&iter, properties.get());
        const gchar* name = nullptr;
        GVariant* value = nullptr;
        while (g_variant_iter_next(&iter, "{&sv}", &name, &value)) {
            GVariantPtr owned(value);
            current[name] = g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
                ? g_variant_get_string(value, nullptr)
                : "";
        }
    } else if (reply.RemoteErrorName().rfind("org.xfce.Xfconf.Error.", 0) != 0) {
        return false; // no service, or it does not answer: nothing more to try
    } // else a fresh channel without /backdrop yet

    std::vector<std::string> names;
    for (const auto& entry : current)
        names.push_back(entry.first);
    for (const std::string& property : TargetProperties(names)) {
        auto found = current.find(property);
        if (found != current.end() && found->second == path && !Clear(property))
            return false;
        if (!Set(property, path))
            return false;
    }
    return true;
}

bool XfconfWallpaper::Clear(const std::string& property)
{
    // xfconfd announces a change only when the value differs, and the desktop
    // keeps the old picture without the announcement: the path is set to ""
    // and back. The daemon announces from an idle callback with the value it
    // holds by then, so the path goes back only once "" has been announced;
    // set at once, it could turn both announcements into the same path.
    // Without an announcement within the limit the path is set all the same.
    bool cleared = false;
    bus_.AwaitSignal(
        kService, kInterface, "PropertyChanged", [&] { cleared = Set(property, ""); },
        [&](GVariant* parameters) {
            const gchar* channel = nullptr;
            const gchar* name = nullptr;
            GVariant* value = nullptr;
            if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)")))
                return false;
            g_variant_get(parameters, "(&s&sv)", &channel, &name, &value);
            GVariantPtr owned(value);
            return property == name && std::string(channel) == kChannel
                && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)
                && *g_variant_get_string(value, nullptr) == '\0';
        });
    return cleared;
}

bool XfconfWallpaper::Set(const std::string& property, const std::string& value)
{
    SessionBus::Reply reply = bus_.Call(kService, kObject, kInterface, "SetProperty",
        g_variant_new("(ssv)", kChannel, property.c_str(), g_variant_new_string(value.c_str())),
        nullptr);
    return reply.value != nullptr;
}

} // namespace tarvenia
