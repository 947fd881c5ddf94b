// The wallpaper in a GSettings background schema (GNOME and its relatives,
// Cinnamon, MATE).
#pragma once

#include <chrono>
#include <initializer_list>
#include <string>

namespace tarvenia {

class GSettingsWallpaper {
public:
    // `sync_limit` bounds each wait for the settings store to take the
    // values.
    explicit GSettingsWallpaper(std::chrono::milliseconds sync_limit);

    static bool HasSchema(const char* schema_id);

    // Sets those of `keys` that the installed schema has (as writable
    // strings) to `value` and waits until they are stored. A key that holds
    // `value` already is first set to "" so that the desktop reloads the
    // rewritten file. False when the schema is not installed, none of the
    // keys can be written, or the store did not take them within the limit.
    bool Apply(
        const char* schema_id, std::initializer_list<const char*> keys, const std::string& value);

private:
    bool SyncWithinLimit();

    std::chrono::milliseconds sync_limit_;
};

} // namespace tarvenia
