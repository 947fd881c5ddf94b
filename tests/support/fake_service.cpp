#include "support/fake_service.h"

namespace tarvenia::testing {

FakeService::FakeService(const std::string& bus_address, std::string bus_name,
    std::string object_path, std::string interface_xml, Mode mode)
    : bus_name_(std::move(bus_name))
    , object_path_(std::move(object_path))
    , interface_xml_(std::move(interface_xml))
    , mode_(mode)
{
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    thread_ = std::thread(&FakeService::Run, this, bus_address);
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [this] { return started_; });
}

FakeService::~FakeService()
{
    GSource* quit = g_idle_source_new();
    g_source_set_callback(
        quit,
        [](gpointer loop) {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_, nullptr);
    g_source_attach(quit, context_);
    g_source_unref(quit);
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

std::vector<FakeService::Call> FakeService::calls()
{
    std::lock_guard lock(mutex_);
    return calls_;
}

void FakeService::OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
    const gchar* method, GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data)
{
    auto* self = static_cast<FakeService*>(data);
    Call call { method, {} };
    if (g_variant_n_children(parameters) > 0) {
        GVariant* first = g_variant_get_child_value(parameters, 0);
        if (g_variant_is_of_type(first, G_VARIANT_TYPE_STRING))
            call.first_string = g_variant_get_string(first, nullptr);
        g_variant_unref(first);
    }
    {
        std::lock_guard lock(self->mutex_);
        self->calls_.push_back(call);
    }
    if (self->mode_ == Mode::Silent) {
        self->unanswered_.push_back(invocation); // keeps the reference it was given
        return;
    }
    const GDBusMethodInfo* info = g_dbus_method_invocation_get_method_info(invocation);
    const bool returns_string = info && info->out_args && info->out_args[0]
        && g_strcmp0(info->out_args[0]->signature, "s") == 0;
    g_dbus_method_invocation_return_value(
        invocation, returns_string ? g_variant_new("(s)", "") : nullptr);
}

void FakeService::Run(std::string bus_address)
{
    g_main_context_push_thread_default(context_);
    bool ok = false;
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(bus_address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT
            | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(interface_xml_.c_str(), nullptr);
    if (connection && node && node->interfaces && node->interfaces[0]) {
        static const GDBusInterfaceVTable vtable { &FakeService::OnMethodCall, nullptr, nullptr,
            {} };
        const guint id = g_dbus_connection_register_object(
            connection, object_path_.c_str(), node->interfaces[0], &vtable, this, nullptr, nullptr);
        GVariant* reply = g_dbus_connection_call_sync(connection, "org.freedesktop.DBus",
            "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
            g_variant_new("(su)", bus_name_.c_str(), 4u /* do not queue */), G_VARIANT_TYPE("(u)"),
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (reply) {
            guint32 answer = 0;
            g_variant_get(reply, "(u)", &answer);
            ok = id != 0 && answer == 1; // primary owner
            g_variant_unref(reply);
        }
    }
    {
        std::lock_guard lock(mutex_);
        started_ = true;
        ready_ = ok;
    }
    changed_.notify_all();
    g_main_loop_run(loop_);
    for (GDBusMethodInvocation* invocation : unanswered_)
        g_dbus_method_invocation_return_dbus_error(invocation, "org.example.Error.Gone", "gone");
    if (connection) {
        g_dbus_connection_flush_sync(connection, nullptr, nullptr);
        g_dbus_connection_close_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
    }
    if (node)
        g_dbus_node_info_unref(node);
    g_main_context_pop_thread_default(context_);
}

} // namespace tarvenia::testing
