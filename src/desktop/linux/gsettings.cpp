#include "desktop/linux/gsettings.h"

#include "desktop/linux/gobject_ptr.h"

#include <future>
#include <thread>
#include <vector>

namespace tarvenia {

namespace {

    // g_settings_new aborts the process on a schema that is not installed,
    // so every use goes through this lookup first.
    GSettingsSchemaPtr LookUp(const char* schema_id)
    {
        GSettingsSchemaSource* source = g_settings_schema_source_get_default();
        if (!source)
            return nullptr; // no compiled schemas at all
        return GSettingsSchemaPtr(g_settings_schema_source_lookup(source, schema_id, TRUE));
    }

    bool IsWritableString(GSettings* settings, GSettingsSchema* schema, const char* key)
    {
        if (!g_settings_schema_has_key(schema, key))
            return false; // older releases lack picture-uri-dark
        GSettingsSchemaKey* schema_key = g_settings_schema_get_key(schema, key);
        const bool is_string = g_variant_type_equal(
            g_settings_schema_key_get_value_type(schema_key), G_VARIANT_TYPE_STRING);
        g_settings_schema_key_unref(schema_key);
        return is_string && g_settings_is_writable(settings, key);
    }

    std::string Get(GSettings* settings, const char* key)
    {
        GCharPtr value(g_settings_get_string(settings, key));
        return value ? std::string(value.get()) : std::string();
    }

} // namespace

GSettingsWallpaper::GSettingsWallpaper(std::chrono::milliseconds sync_limit)
    : sync_limit_(sync_limit)
{
}

bool GSettingsWallpaper::HasSchema(const char* schema_id) { return LookUp(schema_id) != nullptr; }

bool GSettingsWallpaper::Apply(
    const char* schema_id, std::initializer_list<const char*> keys, const std::string& value)
{
    // GVariant strings must be UTF-8; anything else would only raise
    // criticals.
    if (!g_utf8_validate(value.data(), static_cast<gssize>(value.size()), nullptr))
        return false;
    GSettingsSchemaPtr schema = LookUp(schema_id);
    if (!schema)
        return false;
    GObjectPtr<GSettings> settings(g_settings_new_full(schema.get(), nullptr, nullptr));

    std::vector<const char*> usable;
    std::vector<const char*> unchanged;
    for (const char* key : keys) {
        if (!IsWritableString(settings.get(), schema.get(), key))
            continue;
        usable.push_back(key);
        if (Get(settings.get(), key) == value)
            unchanged.push_back(key);
    }
    if (usable.empty())
        return false;

    // Some desktops reload only when the key changes, and the bitmap keeps
    // its path: writing the same value would leave the old picture on screen.
    // The blank goes out in a write of its own so that the store cannot merge
    // it with the real value.
    bool stored = true;
    if (!unchanged.empty()) {
        for (const char* key : unchanged)
            g_settings_set_string(settings.get(), key, "");
        stored = SyncWithinLimit();
    }
    for (const char* key : usable)
        g_settings_set_string(settings.get(), key, value.c_str());
    return stored && SyncWithinLimit();
}

bool GSettingsWallpaper::SyncWithinLimit()
{
    // g_settings_sync waits for the settings daemon without a limit; a hung
    // daemon must not hold the window, so the wait happens in a thread that
    // is left behind when it outlasts the limit.
    auto finished = std::make_shared<std::promise<void>>();
    std::future<void> done = finished->get_future();
    std::thread([finished] {
        g_settings_sync();
        finished->set_value();
    }).detach();
    return done.wait_for(sync_limit_) == std::future_status::ready;
}

} // namespace tarvenia
