// Owning handles for the GLib and GIO objects the desktop code uses, so that
// every early return releases what was acquired.
#pragma once

#include <gio/gio.h>

#include <memory>

namespace tarvenia {

struct GObjectUnref {
    void operator()(gpointer object) const noexcept { g_object_unref(object); }
};
template <class T> using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct GVariantUnref {
    void operator()(GVariant* value) const noexcept { g_variant_unref(value); }
};
using GVariantPtr = std::unique_ptr<GVariant, GVariantUnref>;

struct GErrorFree {
    void operator()(GError* error) const noexcept { g_error_free(error); }
};
using GErrorPtr = std::unique_ptr<GError, GErrorFree>;

struct GCharFree {
    void operator()(gchar* text) const noexcept { g_free(text); }
};
using GCharPtr = std::unique_ptr<gchar, GCharFree>;

struct GSettingsSchemaUnref {
    void operator()(GSettingsSchema* schema) const noexcept { g_settings_schema_unref(schema); }
};
using GSettingsSchemaPtr = std::unique_ptr<GSettingsSchema, GSettingsSchemaUnref>;

struct GMainContextUnref {
    void operator()(GMainContext* context) const noexcept { g_main_context_unref(context); }
};
using GMainContextPtr = std::unique_ptr<GMainContext, GMainContextUnref>;

} // namespace tarvenia
